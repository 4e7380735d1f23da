#!/usr/bin/env bash
# Builds the Debian package from the build (cpack -G DEB) into a directory of its own and reads it
# back: the programs and the desktop's files under /usr, no test or benchmark, and dependencies on
# Debian's Qt 6 packages with the plugins, translations and font the program needs at run time.
# Usage: deb_package.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build=$1
app_id=$2
version=$3
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || fail "cpack: $(cat "$out/cpack.log")"
debs=("$out"/cuemora_"$version"_*.deb)
[ -f "${debs[0]}" ] || fail "no cuemora_${version}_*.deb: $(ls "$out")"
deb=${debs[0]}

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6charts6 qt6-qpa-plugins qt6-translations-l10n fonts-wqy-microhei; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

files=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sed 's|^\./||' | LC_ALL=C sort)
expected=(usr/bin/cuemora usr/bin/cuemora-grid "usr/share/applications/$app_id.desktop"
          "usr/share/metainfo/$app_id.metainfo.xml")
for size in 16 32 48 64 96 128; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
[ "$files" = "$wanted" ] || fail "package files differ:"$'\n'"$(diff <(echo "$wanted") <(echo "$files"))"

# Stripped: the package carries the programs, not their debugging information.
dpkg-deb -x "$deb" "$out/root"
readelf -S "$out/root/usr/bin/cuemora" | grep -q '\.debug_info' && fail "usr/bin/cuemora is not stripped"
echo "$(basename "$deb"): Depends: $depends"
