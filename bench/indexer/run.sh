#!/bin/sh
# quillsite-cli indexer on a 100 x 20 x 25 site (50,000 pages), against reading the first 2 KiB of every
# page file, warm cache, same run, best of several. Two sites: the maker's page dates (spread over two
# years, so the index holds about 40 % of the pages), and a copy whose every page is a day old (every
# title is read, every page is in both lists: the most work a run can have).
# Usage: run.sh MAKESITE CLI DATA_FOLDER
. "$(dirname "$0")/../common.sh"
runs=5
moment="2026-01-01 12:00"

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
    # Index once first so that every timed run sees the same files.
    bench_warm_race
    rm -rf "$XDG_DATA_HOME/Trash"
    race_report "indexer, 50 000 pages, $2 ($(echo "$summary" | tr '\n' ' '))" "lecture de 2 Kio par page" 1,5
}

make_site "$data/indexer-100x20x25" spread
make_site "$data/indexer-100x20x25-recent" recent
measure "$data/indexer-100x20x25" "dates du fabricant"
measure "$data/indexer-100x20x25-recent" "toutes les pages récentes"
