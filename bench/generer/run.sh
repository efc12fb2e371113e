#!/bin/sh
# quillsite-cli generer on a 100 x 20 x 25 site (50,000 pages) whose index pages are already current,
# against reading the first 2 KiB of every page file, warm cache, back to back in each run.
# Usage: run.sh MAKESITE CLI DATA_FOLDER
. "$(dirname "$0")/../common.sh"
site="$data/generer-100x20x25"
runs=5

bench_settings generer
bench_site "$site" 100 20 25

reference() { find "$site" -name '*.htm' -exec head -c 2048 {} +; }
candidate() { "$cli" generer "$site"; }

# The first run writes every generated page, so that the timed ones find them current.
bench_warm_race

files=$(find "$site" \( -name 'Index.htm' -o -name 'IndexG.htm' -o -name 'Index.html' \) | wc -l)
race_report "generer, 50 000 pages ($files pages d'index)" "lecture de 2 Kio par page" 1,5
