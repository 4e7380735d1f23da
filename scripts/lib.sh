# Shared by scripts/run, scripts/test, scripts/screenshots and .ci/run: installs what is missing and
# builds. Sourced, not run.

CUEMORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What building the program needs. Debian's Qt Charts finds its OpenGL modules at configure time
# without depending on their development package, so that is named here too.
CUEMORA_BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
                        qt6-charts-dev libqt6opengl6-dev)
# What a real window needs at run time: the platform plugins, Qt's Chinese texts for the buttons of
# message boxes, a font with Chinese glyphs (its monospaced face prints the receipts), and the
# print support (with its CUPS plugin) and the charts of the statistics window.
CUEMORA_RUN_PACKAGES=(qt6-translations-l10n qt6-qpa-plugins fonts-wqy-microhei libqt6printsupport6 libqt6charts6)
# What the tests need beyond those: the checkers of the AppStream file and the menu entry,
# `file`, which cpack's dependency search of the .deb calls (its dpkg-shlibdeps and the test's
# readelf come with build-essential), and pdftotext, which reads back the printed receipts.
CUEMORA_TEST_PACKAGES=(appstream desktop-file-utils file poppler-utils)
# Only the fuzzing of .ci/run: clang and its sanitizer and libFuzzer runtime (about 256 MiB).
CUEMORA_FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# Only the instruction counts of bench/callgrind_counts.sh.
CUEMORA_BENCH_PACKAGES=(valgrind)

cuemora_as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        echo "need root to run: $*" >&2
        return 1
    fi
}

# cuemora_install_missing PACKAGE...: installs those of the packages that are not installed yet,
# and does nothing (not even apt-get update) when all are.
cuemora_install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    cuemora_as_root apt-get update -qq
    cuemora_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# cuemora_configure DIR [cmake options...]: configures DIR the first time; later, configures it
# again with the options, so that tools installed since (the checkers of scripts/test) are found.
cuemora_configure() {
    local dir=$1
    shift
    local generator=()
    command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$CUEMORA_ROOT" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    else
        cmake "$dir" "$@" >/dev/null
    fi
}

# cuemora_build DIR [cmake options...]: configures DIR, then builds all of it.
cuemora_build() {
    cuemora_configure "$@"
    cmake --build "$1" --parallel "$(nproc)"
}
