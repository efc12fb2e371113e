#!/bin/sh
# `quillsite-cli verifier` on the 10,000-page site of bench_explorer (10 domains x 20 categories x 50
# pages, with its generated index pages), warm cache, against reading every page file of the site once
# (`cat` of all of them, back to back with each check) and against LinkChecker on the same site (one run).
# Usage: run.sh MAKESITE CLI DATA_FOLDER
. "$(dirname "$0")/../common.sh"
site="$data/explorer-10x20x50"
runs=5

bench_settings verifier
bench_linked_site "$site" 10 20 50

reference() { read_pages; }
candidate() { "$cli" verifier "$site" 2>&1 >/dev/null || true; }

bench_warm_race
bench_linkchecker "file://$site/Index.htm" --no-robots

pages=$(find "$site" -name '*.htm*' | wc -l)
echo "verifier : $summary"
race_report "verifier" "lecture des $pages fichiers de pages (cat)" 2
linkchecker_report "verifier est" 100
