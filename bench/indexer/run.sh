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

. "$(dirname "$0")/../common.sh"

bench_settings indexer
rm -rf "$XDG_DATA_HOME/Trash"

make_site() {
    bench_site "$1" 100 20 25
    if [ "$2" = recent ] && [ ! -f "$1.recent" ]; then
        find "$1" -name '*.htm' -exec touch -d '2025-12-31 12:00' {} +
        touch "$1.recent"
    fi
}

reference() { find "$site" -name '*.htm' -exec head -c 2048 {} +; }
candidate() { "$cli" indexer --maintenant "$moment" --sans-texte "$site"; }

measure() {
    site=$1
    label=$2
    # Warm the cache, and index once so that both timings see the same files.
    reference >/dev/null
    counts=$(candidate | tr '\n' ' ')
    bench_race
    rm -rf "$XDG_DATA_HOME/Trash"
    awk -v r="$best_reference" -v x="$best_candidate" -v l="$label" -v c="$counts" 'BEGIN {
        printf "indexer, 50 000 pages, %s (%s) : %.3f s ; lecture de 2 Kio par page : %.3f s ; rapport %.2f (objectif : 1,5 au plus)\n",
            l, c, x / 1e9, r / 1e9, x / r
    }'
}

make_site "$data/indexer-100x20x25" spread
make_site "$data/indexer-100x20x25-recent" recent
measure "$data/indexer-100x20x25" "dates du fabricant"
measure "$data/indexer-100x20x25-recent" "toutes les pages récentes"
