#!/usr/bin/env bash
# Counts the instructions of the grid load and of the checkout's road under callgrind, each beside
# its raw baseline: figures that do not move with the machine's load, as the timings do.
# Usage: bench/callgrind_counts.sh [BUILD_DIR]   (default: build; bench_grid_file built there)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/lib.sh"
cuemora_install_missing "${CUEMORA_BENCH_PACKAGES[@]}"
build=${1:-$root/build}
bench="$build/bin/bench_grid_file"
[ -x "$bench" ] || { echo "no $bench: build the bench_grid_file target first" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

count() {
    valgrind --tool=callgrind --toggle-collect=measuredWork --callgrind-out-file="$out/$1" \
        "$bench" --once "$1" >/dev/null 2>&1
    sed -n 's/^summary: *//p' "$out/$1"
}

line() {
    local work=$1 base=$2 what=$3 n b
    n=$(count "$work")
    b=$(count "$base")
    awk -v w="$what" -v n="$n" -v b="$b" -v base="$base" \
        'BEGIN { printf "%-28s %12d instructions | %-12s %10d | ratio %6.1f\n", w, n, base, b, n / b }'
}

line load raw-read "load of the takings grid"
line checkout raw-checkout "load + insert row 1 + save"
