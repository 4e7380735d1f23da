#!/usr/bin/env bash
# A power cut just after a save: ext4 on a loop device, a save through cuemora-grid copy, and at
# once, with the filesystem still mounted, a copy of the device's image: what the disk holds if
# the power goes now. The copy is mounted read-only (its journal replayed, as at the next start)
# and must hold the new file whole, both the first file of a day and a file that replaces another.
# A save that said it was done must still be there after the cut.
#
# Needs root, a loop device and mkfs.ext4; without them it says why and exits 77 (skipped).
set -euo pipefail
grid=$1
fixtures=$2

skip() {
    echo "skipped: $*"
    exit 77
}

[ "$(id -u)" -eq 0 ] || skip "a loop device needs root"
for tool in losetup mkfs.ext4 mount umount; do
    command -v "$tool" >/dev/null 2>&1 || skip "no $tool"
done

work=$(mktemp -d)
mounts=()
devices=()
cleanup() {
    local m d
    for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true; done
    for d in "${devices[@]}"; do losetup -d "$d" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# attach IMAGE MOUNTPOINT [mount options]: the image on a loop device of its own, mounted.
attach() {
    local image=$1 at=$2 options=${3:-}
    local device
    device=$(losetup --find --show "$image" 2>/dev/null) || skip "no loop device to be had"
    devices+=("$device")
    mkdir -p "$at"
    mount -t ext4 ${options:+-o "$options"} "$device" "$at" 2>/dev/null || skip "mounting ext4 was refused"
    mounts+=("$at")
}

truncate -s 32M "$work/disk.img"
mkfs.ext4 -q -F -E lazy_itable_init=0,lazy_journal_init=0 "$work/disk.img" >/dev/null 2>&1 || skip "mkfs.ext4 failed"
attach "$work/disk.img" "$work/desk"

day=$work/desk/2013年5月20日收入统计
register=$work/desk/表格设置
# The register was saved long ago: it is on the disk.
"$grid" copy "$fixtures/goods.grd" "$register"
sync
# Two cuts, each taken at once after its save, well inside the five seconds in which ext4 commits
# new names by itself: after the day's first checkout makes the day's file, and after "添加"
# replaces the register.
"$grid" copy "$fixtures/takings.grd" "$day"
cp --sparse=always "$work/disk.img" "$work/first.img"
"$grid" copy "$fixtures/register.grd" "$register"
cp --sparse=always "$work/disk.img" "$work/replace.img"

failed=0
# check IMAGE FILE EXPECTED...: after the cut of IMAGE, each FILE is there whole, and nothing else:
# a finished save leaves no temporary beside its file.
check() {
    local image=$1
    shift
    local after=$work/after-$(basename "$image" .img)
    attach "$image" "$after" ro
    local names=()
    while [ $# -gt 0 ]; do
        local name=$1 expected=$2
        shift 2
        names+=("$name")
        if [ ! -f "$after/$name" ]; then
            echo "$(basename "$image"): after the cut $name is not there" >&2
            failed=1
        elif ! cmp -s "$after/$name" "$expected"; then
            echo "$(basename "$image"): after the cut $name is not the file that was saved" \
                "($(stat -c %s "$after/$name") bytes)" >&2
            failed=1
        fi
    done
    local left wanted
    left=$(cd "$after" && ls -A | grep -v '^lost+found$' | sort | tr '\n' ' ')
    wanted=$(printf '%s\n' "${names[@]}" | sort | tr '\n' ' ')
    if [ "$left" != "$wanted" ]; then
        echo "$(basename "$image"): after the cut the directory holds: $left" >&2
        failed=1
    fi
}
check "$work/first.img" 2013年5月20日收入统计 "$fixtures/takings.grd" 表格设置 "$fixtures/goods.grd"
check "$work/replace.img" 2013年5月20日收入统计 "$fixtures/takings.grd" 表格设置 "$fixtures/register.grd"
[ "$failed" -eq 0 ] || exit 1
echo "the saves are on the disk after the cut"
