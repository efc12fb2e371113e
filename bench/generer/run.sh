#!/bin/sh
# quillsite-cli generer on a 100 x 20 x 25 site (50,000 pages), against reading the first 2 KiB of every
# page file, warm cache, same run. Usage: run.sh MAKESITE CLI DATA_FOLDER
set -eu
makesite=$1
cli=$2
data=$3
site="$data/generer-100x20x25"
runs=5

mkdir -p "$data"
# The program's settings of this run stay beside the data, never the user's own.
XDG_CONFIG_HOME="$data/config"
export XDG_CONFIG_HOME

if [ ! -f "$site.fait" ]; then
    rm -rf "$site"
    echo "Fabrication du site de 50 000 pages..."
    "$makesite" --domaines 100 --categories 20 --pages 25 --graine 1 "$site"
    touch "$site.fait"
fi

now() { date +%s%N; }

# Warm the cache and write every generated page once, so both timings see the same files.
find "$site" -name '*.htm' -exec head -c 2048 {} + >/dev/null
"$cli" generer "$site" >/dev/null

best_read=0
best_gen=0
i=0
while [ $i -lt $runs ]; do
    t0=$(now)
    find "$site" -name '*.htm' -exec head -c 2048 {} + >/dev/null
    t1=$(now)
    "$cli" generer "$site" >/dev/null
    t2=$(now)
    read=$((t1 - t0))
    gen=$((t2 - t1))
    if [ $best_read -eq 0 ] || [ $read -lt $best_read ]; then best_read=$read; fi
    if [ $best_gen -eq 0 ] || [ $gen -lt $best_gen ]; then best_gen=$gen; fi
    i=$((i + 1))
done

files=$(find "$site" \( -name 'Index.htm' -o -name 'IndexG.htm' -o -name 'Index.html' \) | wc -l)
awk -v r="$best_read" -v g="$best_gen" -v f="$files" 'BEGIN {
    printf "generer, 50 000 pages (%d pages d'\''index) : %.3f s ; lecture de 2 Kio par page : %.3f s ; rapport %.2f (objectif : 2 au plus)\n",
        f, g / 1e9, r / 1e9, g / r
}'
