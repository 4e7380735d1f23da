#!/usr/bin/env bash
# Installs the build into a prefix of its own, as a package would lay it out, and starts the
# installed program headless: where the prefix cannot be written (a system install) its room goes
# to the user's data location; where it can (a copy in a folder of its own) the room stays beside
# the program; a directory named with --data-dir wins over both.
# Usage: installed_program.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build=$1
app_id=$2
version=$3

tmp=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT
chmod 755 "$tmp" # another user must reach the installed program (below)
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

# Exactly these files: the two programs, the menu entry, the icons and the AppStream file.
expected=(bin/cuemora bin/cuemora-grid "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml")
for size in 16 32 48 64 96 128; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
[ "$actual" = "$wanted" ] || fail "installed files differ:"$'\n'"$(diff <(echo "$wanted") <(echo "$actual"))"
[ -x "$prefix/bin/cuemora" ] && [ -x "$prefix/bin/cuemora-grid" ] || fail "the programs are not executable"

# Each icon is a PNG of its size (the width and height of the IHDR chunk, big-endian).
for size in 16 32 48 64 96 128; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done

# --help and --version answer on a terminal without a display; an unknown option ends the program.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${no_display[@]}" "$prefix/bin/cuemora" --version | grep -qx "cuemora $version" ||
    fail "--version: $("${no_display[@]}" "$prefix/bin/cuemora" --version 2>&1)"
"${no_display[@]}" "$prefix/bin/cuemora" --help | grep -q -- '--data-dir <DIR>' || fail "--help does not name --data-dir"
export QT_QPA_PLATFORM=offscreen
if "$prefix/bin/cuemora" --data-dir "$tmp/not-made" --no-such-option 2>"$tmp/unknown.log"; then
    fail "an unknown option started the program"
fi
grep -q 'no-such-option' "$tmp/unknown.log" || fail "an unknown option is not named: $(cat "$tmp/unknown.log")"
[ ! -e "$tmp/not-made" ] || fail "an unknown option still made the data directory"
"$prefix/bin/cuemora-grid" 2>/dev/null && fail "cuemora-grid without arguments succeeded"

# A home of its own for each start, owned by the user that starts the program.
new_home() {
    local home=$tmp/$1
    mkdir -p "$home/runtime"
    chmod 700 "$home/runtime"
    [ -n "${as_user:-}" ] && chown -R "$as_user" "$home"
    echo "$home"
}

# start HOME [ARGS...]: the installed program in the background, as the chosen user.
start() {
    local home=$1
    shift
    local runner=()
    [ -n "${as_user:-}" ] && runner=(setpriv --reuid="$as_user" --regid="$as_group" --clear-groups)
    env HOME="$home" XDG_DATA_HOME="$home/.local/share" XDG_RUNTIME_DIR="$home/runtime" \
        "${runner[@]}" "$prefix/bin/cuemora" "$@" >"$home/out.log" 2>&1 &
    pid=$!
}

# Waits for the first start's files (the account file and the lock) in DIR, then ends the program.
expect_room_in() {
    local dir=$1 home=$2
    for _ in $(seq 300); do
        [ -f "$dir/账号密码" ] && [ -f "$dir/.cuemora.lock" ] && break
        kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$home/out.log")"
        sleep 0.1
    done
    [ -f "$dir/账号密码" ] || fail "no account file in $dir after 30 s: $(cat "$home/out.log")"
    kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$home/out.log")"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    pid=
}

bin_files() { (cd "$prefix/bin" && ls -A | LC_ALL=C sort | tr '\n' ' '); }

# 1. The prefix cannot be written: root writes through permission bits, so root starts the
#    program as nobody; anyone else takes the write bit off the program's folder.
if [ "$(id -u)" -eq 0 ]; then
    as_user=nobody
    as_group=nogroup
else
    chmod a-w "$prefix/bin"
fi
home=$(new_home installed)
start "$home"
expect_room_in "$home/.local/share/cuemora" "$home"
[ "$(bin_files)" = "cuemora cuemora-grid " ] || fail "files beside the installed program: $(bin_files)"
unset as_user as_group
chmod u+w "$prefix/bin"

# 2. The prefix can be written: the room stays beside the program, the user's data location is
#    not touched.
home=$(new_home portable)
start "$home"
expect_room_in "$prefix/bin" "$home"
[ ! -e "$home/.local/share/cuemora" ] || fail "a portable program made the user's data location"

# 3. --data-dir names the room, made when missing, whatever the program's folder.
home=$(new_home named)
start "$home" --data-dir "$tmp/named/room"
expect_room_in "$tmp/named/room" "$home"
[ ! -e "$home/.local/share/cuemora" ] || fail "--data-dir made the user's data location too"
echo "installed program: files, icons, --help, --version, installed, portable and named rooms all as expected"
