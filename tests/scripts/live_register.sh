#!/usr/bin/env bash
# Every change of a table reaches "表格设置" at once: the driver starts the real Room, does one
# thing as the operator would (open a table by its number or from the list, charge goods to it,
# move it, check it out), writes the register as it stands in memory beside the room, and ends;
# after each step the file, read back with cuemora-grid dump, is exactly the register in memory,
# and cuemora-grid csv shows what the step did.
#
#   live_register.sh DRIVER GRID
set -euo pipefail
driver=$1
grid=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
room="$dir/room"
screen="$dir/screen"
mkdir "$room"

step() {
    "$driver" step "$room" "$screen" "$@"
    if ! diff <("$grid" dump "$room/表格设置") <("$grid" dump "$screen") >"$dir/diff"; then
        echo "after \"$*\" the file does not hold the register as it stands:" >&2
        cat "$dir/diff" >&2
        exit 1
    fi
}

# Field $2 of table $1 as cuemora-grid csv shows the file (1 序号 ... 9 是否使用; fields from 1).
cell() {
    "$grid" csv "$room/表格设置" | tr -d '\r' | awk -F, -v row="$1" -v f="$2" 'NR == row + 1 { print $f }'
}

expect() {
    local table=$1 field=$2 wanted=$3 actual
    actual=$(cell "$table" "$field")
    if [ "$actual" != "$wanted" ]; then
        echo "after \"$step_name\" table $table field $field reads \"$actual\", expected \"$wanted\"" >&2
        exit 1
    fi
}

step_name="add 4"; step add 4 桌球台 大厅
expect 4 4 "4号大厅"; expect 4 10 "假"
step_name="open 3"; step open 3
expect 3 10 "真"; expect 3 7 "1"
[ -n "$(cell 3 6)" ] || { echo "table 3 has no start time in the file" >&2; exit 1; }
start=$(cell 3 6)
step_name="pick 1"; step pick 1
expect 1 10 "真"
step_name="charge 3"; step charge 3 可乐 3
expect 3 8 "、可乐"; expect 3 9 "3"
step_name="move 3 to 4"; step move 3 4
expect 4 6 "$start"; expect 4 8 "、可乐"; expect 4 9 "3"; expect 4 10 "真"
expect 3 6 ""; expect 3 8 ""; expect 3 10 "假"
step_name="check out 1"; step checkout 1
expect 1 6 ""; expect 1 7 ""; expect 1 10 "假"; expect 4 10 "真"
"$grid" csv "$room/$(ls "$room" | grep '收入统计$')" | tr -d '\r' | grep -q '^1号台收费,' ||
    { echo "the checkout of table 1 is not in the day's takings" >&2; exit 1; }
echo "after each of 6 steps the register file held exactly the register in memory"
