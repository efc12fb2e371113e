# What the benchmark scripts share; each sources it after setting makesite, cli and data.

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

now() { date +%s%N; }

# Runs the functions `reference` and `candidate` in turn, `runs` times each, and keeps the best time of
# each in best_reference and best_candidate (nanoseconds).
bench_race() {
    best_reference=0
    best_candidate=0
    i=0
    while [ $i -lt "$runs" ]; do
        t0=$(now)
        reference >/dev/null
        t1=$(now)
        candidate >/dev/null
        t2=$(now)
        r=$((t1 - t0))
        c=$((t2 - t1))
        if [ $best_reference -eq 0 ] || [ $r -lt $best_reference ]; then best_reference=$r; fi
        if [ $best_candidate -eq 0 ] || [ $c -lt $best_candidate ]; then best_candidate=$c; fi
        i=$((i + 1))
    done
}
