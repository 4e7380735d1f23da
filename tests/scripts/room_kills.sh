#!/usr/bin/env bash
# The room survives a crash: the driver runs the real Room headless with 200 tables, opening,
# charging, moving and checking out tables with its clock running, and is killed with SIGKILL at a
# random moment, again and again. After each kill the room is started again and checked: every
# table that was open before the kill is open, with its start time, its goods and a count within
# 2 s of the wall clock since its opening; the register and the day's takings are each the file as
# it was before the operation under way, or after it, whole.
#
#   room_kills.sh DRIVER [KILLS]
set -euo pipefail
driver=$1
kills=${2:-200}
dir=$(mktemp -d)
trap 'rm -rf "$dir"; [ -n "${pid:-}" ] && kill -9 "$pid" 2>/dev/null || true' EXIT
summary="$dir/summary"
mkdir "$dir/room"

started=$(date +%s)
for ((k = 1; k <= kills; k++)); do
    if ! "$driver" check "$dir/room" >>"$summary"; then
        echo "after kill $((k - 1)) the room did not come back as it was" >&2
        exit 1
    fi
    "$driver" run "$dir/room" "$k" >/dev/null &
    pid=$!
    # Long enough for the start (about 50 ms), then a moment anywhere in the operations.
    sleep "0.$(printf '%03d' $((80 + RANDOM % 320)))"
    if ! kill -9 "$pid" 2>/dev/null; then
        echo "the driver ended before it was killed" >&2
        wait "$pid" || true
        exit 1
    fi
    wait "$pid" 2>/dev/null || true
    pid=
done
"$driver" check "$dir/room" >>"$summary" || { echo "after the last kill the room did not come back as it was" >&2; exit 1; }

during=$(grep -c '^killed during' "$summary" || true)
tables=$(grep -o '[0-9]* tables in use came back' "$summary" | awk '{s += $1} END {print s + 0}')
echo "$kills kills in $(($(date +%s) - started)) s, $during of them during an operation" \
    "($(grep -c 'during an opening' "$summary" || true) openings," \
    "$(grep -c 'during a charge' "$summary" || true) charges," \
    "$(grep -c 'during a checkout' "$summary" || true) checkouts," \
    "$(grep -c 'during a change of table' "$summary" || true) changes of table;" \
    "$(grep -c 'the new register' "$summary" || true) left the new register," \
    "$(grep -c 'the old register' "$summary" || true) the old one);" \
    "$tables tables in use came back over all restarts, tables lost: 0"
