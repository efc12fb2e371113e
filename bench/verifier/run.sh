#!/bin/sh
# `quillsite-cli verifier` on a synthetic site of 10,000 pages (10 domains x 20 categories x 50 pages,
# with its generated index pages; the same site as bench_explorer), warm cache, in one run against:
#   (a) reading every page file of the site once: `cat` of all of them (best of the same number of runs);
#   (b) LinkChecker (Debian package linkchecker) on the same site through a file:// address, with its
#       default of not checking external links (no network), one run; installed here when missing.
# Usage: run.sh MAKESITE CLI DATA_FOLDER
set -eu
makesite=$1
cli=$2
data=$3
site="$data/explorer-10x20x50"
runs=5

. "$(dirname "$0")/../common.sh"

bench_settings verifier
if [ ! -f "$site.fait" ]; then
    bench_site "$site" 10 20 50
    "$cli" generer "$site" >/dev/null || { rm -f "$site.fait"; exit 1; }
fi

if ! command -v linkchecker >/dev/null 2>&1; then
    echo "LinkChecker absent : installation du paquet linkchecker..."
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq linkchecker >/dev/null 2>&1 ||
        echo "Installation impossible : pas de comparaison avec LinkChecker."
fi

read_all() { find "$site" -name '*.htm*' -print0 | xargs -0 cat >/dev/null; }
check() { "$cli" verifier "$site" 2>&1 >/dev/null || true; }

# Warm the cache.
read_all
summary=$(check)

reference() { read_all; }
candidate() { check; }
bench_race

checker=0
if command -v linkchecker >/dev/null 2>&1; then
    echo "LinkChecker sur le même site (plusieurs minutes)..."
    t0=$(now)
    linkchecker --no-robots --no-status --no-warnings -o none "file://$site/Index.htm" >/dev/null 2>&1 || true
    t1=$(now)
    checker=$((t1 - t0))
fi

pages=$(find "$site" -name '*.htm*' | wc -l)
echo "verifier : $summary"
awk -v r="$best_reference" -v w="$best_candidate" -v c="$checker" -v p="$pages" 'BEGIN {
    printf "verifier : %.3f s ; lecture des %d fichiers de pages (cat) : %.3f s ; rapport %.2f (objectif : 2 au plus)\n",
        w / 1e9, p, r / 1e9, w / r
    if (c > 0)
        printf "LinkChecker : %.1f s ; verifier est %.0f fois plus rapide (objectif : 100 au moins)\n",
            c / 1e9, c / w
}'
