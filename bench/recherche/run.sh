#!/bin/sh
# The full-text part of quillsite-cli indexer on a 100 x 20 x 25 site (50,000 pages): in each run, the
# indexer with it less the indexer without it (--sans-texte), against reading every page file whole
# (cat) just before, warm cache; then the size of "recherche/" against the pages, its largest file, and
# queries timed in Qt WebEngine offscreen, in fresh browsers (cold) and again.
# Usage: run.sh MAKESITE CLI DATA_FOLDER QUERYTIME
. "$(dirname "$0")/../common.sh"
querytime=$4
runs=5
moment="2026-01-01 12:00"

bench_settings recherche
site="$data/indexer-100x20x25"
bench_site "$site" 100 20 25

reference() { find "$site" -name '*.htm' ! -name 'Recherche.htm' -exec cat {} +; }
lists() { "$cli" indexer --maintenant "$moment" --sans-texte "$site"; }
full() {
    "$cli" indexer --maintenant "$moment" "$site"
    rm -rf "$XDG_DATA_HOME/Trash"
}
reference >/dev/null
full >/dev/null
bench_steps reference lists full
# The full-text part: the indexer with it less the indexer without it.
awk '{ print $1, $3 - $2, $4, $6 - $5 }' "$race" >"$race.2"
race_report "recherche, 50 000 pages : part du texte intégral de l'indexeur" "lecture des pages (cat)" 3 "$race.2"

pages_bytes=$(find "$site" -name '*.htm' ! -name 'Recherche.htm' -printf '%s\n' | awk '{ s += $1 } END { print s }')
index_bytes=$(find "$site/recherche" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
largest=$(find "$site/recherche" -type f -printf '%s %f\n' | sort -n | tail -1)
files=$(find "$site/recherche" -type f | wc -l)
awk -v p="$pages_bytes" -v i="$index_bytes" -v big="$largest" -v n="$files" 'BEGIN {
    printf "  dossier recherche/ : %d fichiers, %.1f Mo pour %.1f Mo de pages, %.1f %% (objectif : 40 %% au plus)\n", n, i / 1e6, p / 1e6, 100 * i / p
    split(big, b, " ")
    printf "  plus gros fichier : %s, %d octets (objectif : 1 Mo au plus)\n", b[2], b[1]
}'

# In `runs` fresh browsers: the time until the page is ready (the index and the title files it
# preloads), then each query's list the first time (its data files loaded then; the excerpts follow in
# their own files) and again. A browser's first query also pays for its script engine warming up.
queries="$data/.queries"
: >"$queries"
i=0
while [ $i -lt "$runs" ]; do
    "$querytime" "$site" modele "reseau fichier" co oeuvre "page 17" 2>/dev/null | grep -E '^(page|requête)' |
        tee -a "$queries" | { [ $i -eq 0 ] && cat || cat >/dev/null; }
    i=$((i + 1))
done
# "page prête : X ms ..." then "requête « q » : L ms (dans la page ...), extraits à E ms (...), de nouveau A ms ; ..."
sed -n 's/^page prête : \([0-9.]*\) ms.*$/\1/p' "$queries" >"$race.2"
sed -n 's/^.* : \([0-9.]*\) ms (dans la page [^)]*), extraits à \([0-9.]*\) ms ([^)]*), de nouveau \([0-9.]*\) ms.*$/\1 \2 \3/p' \
    "$queries" >"$race"
worst() { sort -g -k"$1","$1" "$2" | tail -1 | cut -d' ' -f"$1"; }
printf '%s\n' "$(race_stats '$1' "$race.2")" |
    awk -v n="$runs" '{ printf "  page prête (%d navigateurs) : %.1f ms (médiane %.1f)\n", n, $1, $2 }'
awk '/^page/ { fresh = 1; next } fresh { print; fresh = 0 }' "$queries" |
    sed -n 's/^.* : \([0-9.]*\) ms (dans la page [^)]*), extraits à \([0-9.]*\) ms.*$/\1 \2/p' >"$race.2"
printf '%s\n' "$(race_stats '$1' "$race.2") $(worst 1 "$race.2") $(race_stats '$2' "$race.2")" |
    awk -v n="$(wc -l <"$race.2")" '{
        printf "  première requête de chaque navigateur (%d) : liste en %.1f ms (médiane %.1f, pire %.1f), extraits en %.1f ms (médiane %.1f) ; objectif : moins de 100 ms\n",
            n, $1, $2, $3, $4, $5
    }'
printf '%s\n' "$(race_stats '$1') $(worst 1 "$race") $(race_stats '$2') $(race_stats '$3') $(worst 3 "$race")" |
    awk -v n="$(wc -l <"$race")" '{
        printf "  requêtes (%d) : première fois liste en %.1f ms (médiane %.1f, pire %.1f), extraits en %.1f ms (médiane %.1f) ; de nouveau %.1f ms (médiane %.1f, pire %.1f) ; objectif : moins de 100 ms\n",
            n, $1, $2, $3, $4, $5, $6, $7, $8
    }'
