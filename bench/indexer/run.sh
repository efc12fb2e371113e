#!/bin/sh
# quillsite-cli indexer on a 100 x 20 x 25 site (50,000 pages), against reading the first 2 KiB of every
# page file, warm cache, same run, best of several. Two sites: the maker's page dates (spread over two
# years, so the index holds about 40 % of the pages), and a copy whose every page is a day old (every
# title is read, every page is in both lists: the most work a run can have).
# Usage: run.sh MAKESITE CLI DATA_FOLDER
set -eu
makesite=$1
cli=$2
data=$3
runs=5
moment="2026-01-01 12:00"

mkdir -p "$data"
# The program's settings and trash of this run stay beside the data, never the user's own.
XDG_CONFIG_HOME="$data/config-indexer"
XDG_DATA_HOME="$data/data-indexer"
export XDG_CONFIG_HOME XDG_DATA_HOME
rm -rf "$XDG_DATA_HOME"
mkdir -p "$XDG_DATA_HOME"

make_site() {
    if [ ! -f "$1.fait" ]; then
        rm -rf "$1"
        echo "Fabrication du site de 50 000 pages $1..."
        "$makesite" --domaines 100 --categories 20 --pages 25 --graine 1 "$1" >/dev/null
        if [ "$2" = recent ]; then
            find "$1" -name '*.htm' -exec touch -d '2025-12-31 12:00' {} +
        fi
        touch "$1.fait"
    fi
}

now() { date +%s%N; }

measure() {
    site=$1
    label=$2
    # Warm the cache, and index once so that both timings see the same files.
    find "$site" -name '*.htm' -exec head -c 2048 {} + >/dev/null
    counts=$("$cli" indexer --maintenant "$moment" "$site" | tr '\n' ' ')
    best_read=0
    best_index=0
    i=0
    while [ $i -lt $runs ]; do
        t0=$(now)
        find "$site" -name '*.htm' -exec head -c 2048 {} + >/dev/null
        t1=$(now)
        "$cli" indexer --maintenant "$moment" "$site" >/dev/null
        t2=$(now)
        read=$((t1 - t0))
        index=$((t2 - t1))
        if [ $best_read -eq 0 ] || [ $read -lt $best_read ]; then best_read=$read; fi
        if [ $best_index -eq 0 ] || [ $index -lt $best_index ]; then best_index=$index; fi
        i=$((i + 1))
    done
    rm -rf "$XDG_DATA_HOME/Trash"
    awk -v r="$best_read" -v x="$best_index" -v l="$label" -v c="$counts" 'BEGIN {
        printf "indexer, 50 000 pages, %s (%s) : %.3f s ; lecture de 2 Kio par page : %.3f s ; rapport %.2f (objectif : 1,5 au plus)\n",
            l, c, x / 1e9, r / 1e9, x / r
    }'
}

make_site "$data/indexer-100x20x25" spread
make_site "$data/indexer-100x20x25-recent" recent
measure "$data/indexer-100x20x25" "dates du fabricant"
measure "$data/indexer-100x20x25-recent" "toutes les pages récentes"
