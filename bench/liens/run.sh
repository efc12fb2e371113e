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
    rm -rf "$XDG_DATA_HOME/Trash"
}

# Warm the cache; the first move also writes the two categories' index pages.
read_pages
moved=$(move)
renamed=$(rename)
bench_steps read_pages move rename

echo "liens, 50 000 pages : déplacement d'une page ($moved) ; renommage d'une catégorie de 25 pages ($renamed)"
awk '{ print $1, $2 / 2, $4, $5 / 2 }' "$race" >"$race.2"
race_report "déplacement d'une page, liens suivis" "lecture des pages (cat)" 2 "$race.2"
awk '{ print $1, $3 / 2, $4, $6 / 2 }' "$race" >"$race.2"
race_report "renommage d'une catégorie, liens suivis" "lecture des pages (cat)" 2 "$race.2"
printf '%s\n' "$(race_stats '$3 / $2') $(race_stats '$6 / $5')" | awk '{
    printf "  renommage / déplacement : %.2f (médiane %.2f) ; en temps processeur %.2f (médiane %.2f) ; objectif : une passe, environ 1\n",
        $1, $2, $3, $4
}'
