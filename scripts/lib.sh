# Shared by the scripts: run as root or, through sudo, as a normal user.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the Debian packages that are not installed yet, and only those.
need_packages() {
    local missing=() p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building the program needs.
# libxcb1-dev and pkg-config: the benchmark's X client that stamps a window's MapNotify.
build_packages=(build-essential cmake qt6-base-dev libgl-dev libxcb1-dev pkg-config)
# What running it needs: Thai fonts, a word processor, the desktop's opener.
run_packages=(fonts-thai-tlwg libreoffice-writer xdg-utils)
# What the tests need besides: a virtual display, real input, screenshots,
# system-call tracing and the validators of the desktop files.
test_packages=(xvfb xauth xdotool x11-utils imagemagick strace desktop-file-utils appstream)

# What building and testing the Windows program needs: the cross compilers
# (32-bit for the program, 64-bit for testing where 32-bit programs can't
# run), Wine's 64-bit loader, and its 32-bit one where it can run.
windows_packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xauth xdotool imagemagick fonts-thai-tlwg)

# Whether this machine runs 32-bit x86 programs (some virtual machines and
# sandboxes refuse them): then Wine's 32-bit loader can run Velodane.exe.
runs_32bit_programs() {
    [ -e /lib/ld-linux.so.2 ] && [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Installs Wine's 32-bit half where it can run.
need_wine32() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
        as_root apt-get update -qq
    fi
    need_packages wine32:i386
}

configure_and_build() {
    local preset=$1
    cmake --preset "$preset" -S "$here" >/dev/null
    cmake --build --preset "$preset"
}
