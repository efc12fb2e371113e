#!/bin/sh
# The full-text part of quillsite-cli indexer on a 100 x 20 x 25 site (50,000 pages): the run with it
# less the run without it (--sans-texte), against reading every page file whole (cat), warm cache, same
# run, best of several; then the size of "recherche/" against the pages, its largest file, and queries
# timed in Qt WebEngine offscreen.
# Usage: run.sh MAKESITE CLI QUERYTIME DATA_FOLDER
set -eu
makesite=$1
cli=$2
querytime=$3
data=$4
runs=3
moment="2026-01-01 12:00"

. "$(dirname "$0")/../common.sh"

bench_settings recherche
site="$data/indexer-100x20x25"
bench_site "$site" 100 20 25

reference() { find "$site" -name '*.htm' -exec cat {} +; }
candidate() { "$cli" indexer --maintenant "$moment" --sans-texte "$site"; }
reference >/dev/null
candidate >/dev/null
bench_race
rm -rf "$XDG_DATA_HOME/Trash"
cat_ns=$best_reference
lists_ns=$best_candidate

candidate() { "$cli" indexer --maintenant "$moment" "$site"; }
candidate >/dev/null
bench_race
rm -rf "$XDG_DATA_HOME/Trash"
full_ns=$best_candidate
cat2_ns=$best_reference

pages_bytes=$(find "$site" -name '*.htm' ! -name 'Recherche.htm' -printf '%s\n' | awk '{ s += $1 } END { print s }')
index_bytes=$(find "$site/recherche" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
largest=$(find "$site/recherche" -type f -printf '%s %f\n' | sort -n | tail -1)
files=$(find "$site/recherche" -type f | wc -l)

awk -v c="$cat_ns" -v c2="$cat2_ns" -v l="$lists_ns" -v f="$full_ns" -v p="$pages_bytes" -v i="$index_bytes" \
    -v big="$largest" -v n="$files" 'BEGIN {
    if (c2 < c) c = c2
    printf "recherche, 50 000 pages : cat %.3f s ; indexer --sans-texte %.3f s ; indexer %.3f s\n", c / 1e9, l / 1e9, f / 1e9
    printf "  part du texte intégral : %.3f s, rapport à cat %.2f (objectif : 3 au plus)\n", (f - l) / 1e9, (f - l) / c
    printf "  dossier recherche/ : %d fichiers, %.1f Mo pour %.1f Mo de pages, %.1f %% (objectif : 40 %% au plus)\n", n, i / 1e6, p / 1e6, 100 * i / p
    printf "  plus gros fichier : %s octets (objectif : 1 Mo au plus)\n", big
}'
"$querytime" "$site" modele "reseau fichier" co oeuvre "page 17" 2>/dev/null | grep '^requête'
