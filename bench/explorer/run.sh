#!/bin/sh
# The link walk of `quillsite-cli explorer` with no depth limit and every link type, from the home page
# of a synthetic site of 10,000 pages (10 domains x 20 categories x 50 pages, with its generated index
# pages), warm cache, in one run against reading every page file of the site once (`cat` of all of them,
# back to back with each walk) and against LinkChecker on the same site (one run).
# Usage: run.sh MAKESITE CLI DATA_FOLDER
. "$(dirname "$0")/../common.sh"
site="$data/explorer-10x20x50"
runs=5

bench_settings explorer
bench_linked_site "$site" 10 20 50
home="$site/Index.htm"

reference() { read_pages; }
candidate() { "$cli" explorer --profondeur illimite --types images,zip,programmes,cgi,sons --resume "$home"; }

bench_warm_race
bench_linkchecker "file://$home"

pages=$(find "$site" -name '*.htm*' | wc -l)
echo "explorer, parcours illimité depuis la page d'accueil : $summary"
race_report "parcours" "lecture des $pages fichiers de pages (cat)" 3
linkchecker_report "le parcours est" 20
