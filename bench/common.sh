# What the benchmark scripts share; each sources it first. Their first arguments are always the site
# maker, quillsite-cli and the data folder.
set -eu
makesite=$1
cli=$2
data=$3

# The program's settings (and trash) of a run stay beside the data, never the user's own.
# Usage: bench_settings NAME
bench_settings() {
    mkdir -p "$data"
    XDG_CONFIG_HOME="$data/config-$1"
    XDG_DATA_HOME="$data/data-$1"
    export XDG_CONFIG_HOME XDG_DATA_HOME
    mkdir -p "$XDG_DATA_HOME"
}

# Makes a synthetic site once (kept between runs, marked by FOLDER.fait).
# Usage: bench_site FOLDER DOMAINS CATEGORIES PAGES
bench_site() {
    if [ ! -f "$1.fait" ]; then
        rm -rf "$1"
        echo "Fabrication du site $1 ($2 x $3 x $4 pages)..."
        "$makesite" --domaines "$2" --categories "$3" --pages "$4" --graine 1 "$1" >/dev/null
        touch "$1.fait"
    fi
}

# The same, with its generated index pages: the home page then reaches every page through links.
# Usage: bench_linked_site FOLDER DOMAINS CATEGORIES PAGES
bench_linked_site() {
    if [ ! -f "$1.fait" ]; then
        bench_site "$@"
        "$cli" generer "$1" >/dev/null || { rm -f "$1.fait"; exit 1; }
    fi
}

now() { date +%s%N; }

# Reads every page file of the site in $site once, whole.
read_pages() { find "$site" -name '*.htm*' -print0 | xargs -0 cat >/dev/null; }

# Stores in the variable named $1 the processor time (user + system, nanoseconds) of the finished
# children of this shell. `times` must run in this shell itself, hence the file.
cpu_mark() {
    times >"$data/.times"
    eval "$1=$(awk 'NR == 2 { gsub(/s/, ""); split($1, u, "m"); split($2, s, "m");
                              printf "%.0f", (u[1] * 60 + u[2] + s[1] * 60 + s[2]) * 1e9 }' "$data/.times")"
}

# Runs the functions named as arguments one after the other, `runs` times. Each run is one line of the
# file $race: the wall time of each function, then the processor time of each (ns).
race="${TMPDIR:-/tmp}/quillsite-bench-race.$$"
trap 'rm -f "$race" "$race.2"' EXIT
bench_steps() {
    : >"$race"
    i=0
    while [ $i -lt "$runs" ]; do
        walls=""
        cpus=""
        for step in "$@"; do
            cpu_mark c0
            t0=$(now)
            "$step" >/dev/null
            t1=$(now)
            cpu_mark c1
            walls="$walls $((t1 - t0))"
            cpus="$cpus $((c1 - c0))"
        done
        echo "$walls$cpus" >>"$race"
        i=$((i + 1))
    done
}

# The functions `reference` and `candidate` back to back, `runs` times; the best wall time of each side
# is also left in best_reference and best_candidate.
bench_race() {
    bench_steps reference candidate
    best_reference=$(race_stats '$1' | cut -d' ' -f1)
    best_candidate=$(race_stats '$2' | cut -d' ' -f1)
}

# The minimum and the median over the runs of an awk expression of the race file's columns.
# Usage: race_stats EXPRESSION [FILE]
race_stats() {
    awk "{ print $1 }" "${2:-$race}" | sort -g |
        awk '{ v[NR] = $1 } END { printf "%s %s\n", v[1], NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Two lines of figures from a file of lines "reference candidate reference-cpu candidate-cpu" ($race by
# default): the candidate's and the reference's wall times, their ratio (min / median of the per-run
# ratios) against a target, and the same ratio in processor time, which the load of a shared machine
# disturbs less. Usage: race_report LABEL REFERENCE_LABEL TARGET [FILE]
race_report() {
    set -- "$1" "$2" "$3" "${4:-$race}"
    printf '%s\n' "$(race_stats '$2' "$4") $(race_stats '$1' "$4") $(race_stats '$2 / $1' "$4") $(race_stats '$4 / $3' "$4")" |
        awk -v l="$1" -v r="$2" -v t="$3" '{
            printf "%s : %.3f s (médiane %.3f) ; %s : %.3f s (médiane %.3f)\n", l, $1 / 1e9, $2 / 1e9, r, $3 / 1e9, $4 / 1e9
            printf "  rapport %.2f (médiane %.2f ; objectif : %s au plus) ; en temps processeur %.2f (médiane %.2f)\n",
                $5, $6, t, $7, $8
        }'
}

# Warms the cache (and keeps the candidate's output of that first run in $summary), then races.
bench_warm_race() {
    reference >/dev/null
    summary=$(candidate)
    bench_race
}

# LinkChecker (Debian package linkchecker, installed here when missing) on ADDRESS, one run, with its
# default of not checking external links (no network); its wall time in checker (ns), 0 without it.
# Usage: bench_linkchecker ADDRESS [OPTION...]
bench_linkchecker() {
    checker=0
    if ! command -v linkchecker >/dev/null 2>&1; then
        echo "LinkChecker absent : installation du paquet linkchecker..."
        sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq linkchecker >/dev/null 2>&1 ||
            { echo "Installation impossible : pas de comparaison avec LinkChecker."; return 0; }
    fi
    echo "LinkChecker sur le même site (plusieurs minutes)..."
    address=$1
    shift
    t0=$(now)
    linkchecker "$@" --no-status --no-warnings -o none "$address" >/dev/null 2>&1 || true
    checker=$(($(now) - t0))
}

# How many times faster than LinkChecker the candidate's best run was. Usage: linkchecker_report WHAT TARGET
linkchecker_report() {
    awk -v c="$checker" -v w="$best_candidate" -v what="$1" -v t="$2" 'BEGIN {
        if (c > 0)
            printf "LinkChecker : %.1f s ; %s %.0f fois plus rapide (objectif : %s au moins)\n", c / 1e9, what, c / w, t
    }'
}
