#!/bin/sh
# quillsite-cli generer on a 100 x 20 x 25 site (50,000 pages), against reading the first 2 KiB of every
# page file, warm cache, same run. Usage: run.sh MAKESITE CLI DATA_FOLDER
set -eu
makesite=$1
cli=$2
data=$3
site="$data/generer-100x20x25"
runs=5
. "$(dirname "$0")/../common.sh"

bench_settings generer
bench_site "$site" 100 20 25

reference() { find "$site" -name '*.htm' -exec head -c 2048 {} +; }
candidate() { "$cli" generer "$site"; }

# Warm the cache and write every generated page once, so both timings see the same files.
reference >/dev/null
candidate >/dev/null
bench_race

files=$(find "$site" \( -name 'Index.htm' -o -name 'IndexG.htm' -o -name 'Index.html' \) | wc -l)
awk -v r="$best_reference" -v g="$best_candidate" -v f="$files" 'BEGIN {
    printf "generer, 50 000 pages (%d pages d'\''index) : %.3f s ; lecture de 2 Kio par page : %.3f s ; rapport %.2f (objectif : 2 au plus)\n",
        f, g / 1e9, r / 1e9, g / r
}'
