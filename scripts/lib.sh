# Shared by scripts/run and scripts/test: installs what is missing and builds.
# Sourced, not run.

CUEMORA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The Debian packages a build, its tests and a real window need.
CUEMORA_PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    qt6-translations-l10n qt6-qpa-plugins fonts-wqy-microhei
    clang libclang-rt-14-dev
)
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

# Installs the packages of the list that are not installed yet, and nothing when all are.
cuemora_install_missing() {
    local missing=() p
    for p in "${CUEMORA_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    cuemora_as_root apt-get update -qq
    cuemora_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# cuemora_build DIR [cmake options...]: configures DIR once, then builds it.
cuemora_build() {
    local dir=$1
    shift
    local generator=()
    command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake -S "$CUEMORA_ROOT" -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    else
        cmake "$dir" "$@" >/dev/null
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}
