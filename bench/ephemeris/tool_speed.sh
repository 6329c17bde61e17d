#!/usr/bin/env bash
# vireo-ephem lines per second on random dates 1901-2099, every field and the calendar
# fields, the median of several runs. Run by hand:
#   bench/ephemeris/tool_speed.sh [BUILD_DIR] [RUNS] [LINES]
# (defaults: build, 5 runs, 10000 lines; the calendar fields also with ten times as many,
# where the years computed once weigh less).
set -euo pipefail
build=${1:-build}
runs=${2:-5}
lines=${3:-10000}
tool=$build/bin/vireo-ephem
gen=$build/bench/tool_lines
[[ -x $tool && -x $gen ]] || { echo "build vireo-ephem and tool_lines in $build first" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
calendar=at,lunisolar_month,lunisolar_day,leap_month,day_label

# One run: seconds of wall time for the tool over a file, answers checked for errors.
run() {
    local input=$1; shift
    local start end
    start=$(date +%s.%N)
    "$tool" "$@" < "$input" > "$work/out"
    end=$(date +%s.%N)
    if grep -q '"error"' "$work/out"; then echo "errors in the answers" >&2; exit 1; fi
    [[ $(wc -l < "$work/out") -eq $(wc -l < "$input") ]] || { echo "lines missing" >&2; exit 1; }
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", b - a }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

case_() {
    local label=$1 count=$2 observers=$3; shift 3
    local times=()
    for ((r = 1; r <= runs; ++r)); do
        "$gen" "$count" "$r" $observers > "$work/in"
        times+=("$(run "$work/in" "$@")")
    done
    local m
    m=$(printf '%s\n' "${times[@]}" | median)
    printf '%-34s %8d lines  median %7.3f s  %9.0f lines/s   (runs: %s)\n' "$label" "$count" "$m" \
        "$(awk -v c="$count" -v m="$m" 'BEGIN { print c / m }')" "$(printf '%.3f ' "${times[@]}")"
}

case_ "every field, Tokyo" "$lines" ""
case_ "every field, random observers" "$lines" "--observers"
case_ "calendar fields, Tokyo" "$lines" "" --fields "$calendar"
case_ "calendar fields, random observers" "$lines" "--observers" --fields "$calendar"
case_ "calendar fields, Tokyo" "$((lines * 10))" "" --fields "$calendar"
case_ "calendar fields, random observers" "$((lines * 10))" "--observers" --fields "$calendar"
