#!/bin/sh
# Links that follow moves on a 100 x 20 x 25 site (50,000 pages, about 6 links each), warm cache. In
# each run, back to back: reading every page file once (cat); `deplacer-page --liens` of one page to
# the next category and back (each move finds the links to it in every page and rewrites them); then
# `renommer --liens` of that category of 25 pages and back. Each figure is the mean of the two ways.
# A rename that read the site once a page would cost 25 moves; once in all, about one.
# Usage: run.sh MAKESITE CLI DATA_FOLDER
. "$(dirname "$0")/../common.sh"
site="$data/liens-100x20x25"
runs=3

bench_settings liens
bench_site "$site" 100 20 25

move() {
    there=$("$cli" deplacer-page "$site" Domaine050 Categorie10 7.htm --vers Domaine050/Categorie11 --liens)
    "$cli" deplacer-page "$site" Domaine050 Categorie11 "$(echo "$there" | sed -n 2p)" --vers Domaine050/Categorie10 \
        --liens >/dev/null
    echo "$there" | tail -1
}
rename() {
    "$cli" renommer "$site" Domaine050 Categorie10 --nom Categorie10b --liens
    "$cli" renommer "$site" Domaine050 Categorie10b --nom Categorie10 --liens >/dev/null
}

# Warm the cache; the first move also writes the two categories' index pages.
read_pages
moved=$(move)
renamed=$(rename)
: >"$race"
i=0
while [ $i -lt "$runs" ]; do
    cpu_mark c0
    t0=$(now)
    read_pages
    t1=$(now)
    cpu_mark c1
    move >/dev/null
    t2=$(now)
    cpu_mark c2
    rename >/dev/null
    t3=$(now)
    cpu_mark c3
    rm -rf "$XDG_DATA_HOME/Trash"
    echo "$((t1 - t0)) $(((t2 - t1) / 2)) $((c1 - c0)) $(((c2 - c1) / 2)) $(((t3 - t2) / 2)) $(((c3 - c2) / 2))" >>"$race"
    i=$((i + 1))
done

echo "liens, 50 000 pages : déplacement d'une page ($moved) ; renommage d'une catégorie de 25 pages ($renamed)"
race_report "déplacement d'une page, liens suivis" "lecture des pages (cat)" 2
awk '{ print $1, $5, $3, $6 }' "$race" >"$race.renommage"
race_report "renommage d'une catégorie, liens suivis" "lecture des pages (cat)" 2 "$race.renommage"
rm -f "$race.renommage"
printf '%s\n' "$(race_stats '$5 / $2') $(race_stats '$6 / $4')" | awk '{
    printf "  renommage / déplacement : %.2f (médiane %.2f) ; en temps processeur %.2f (médiane %.2f) ; objectif : une passe, environ 1\n",
        $1, $2, $3, $4
}'
