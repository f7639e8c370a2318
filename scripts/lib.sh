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
build_packages=(build-essential cmake qt6-base-dev libgl-dev)
# What running it needs: Thai fonts, a word processor, the desktop's opener.
run_packages=(fonts-thai-tlwg libreoffice-writer xdg-utils)
# What the tests need besides: a virtual display, real input, screenshots,
# system-call tracing and the validators of the desktop files.
test_packages=(xvfb xauth xdotool x11-utils imagemagick strace desktop-file-utils appstream
               # and what a screen reader reads through: a session bus, the
               # accessibility bus and Debian's Python bindings to it
               dbus-daemon at-spi2-core python3-pyatspi)
# What the Windows program and its setup need: the mingw-w64 cross compilers
# (32-bit for the shipped Velodane.exe, 64-bit for the build tested under
# 64-bit Wine), NSIS for the setup program, and Wine with a virtual display
# and real input for the tests. ImageMagick cuts the setup's welcome picture
# from the intro picture; binutils gives the tests strings(1). The Thai fonts
# stand in for the windows' Thai faces under Wine.
windows_packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 nsis imagemagick wine wine64 binutils xvfb xauth xdotool
                  fonts-thai-tlwg)
# The 32-bit Wine loader, for running the 32-bit programs themselves; it
# needs the i386 architecture and is installed only where the kernel runs
# 32-bit programs at all (runs_32bit_programs).
windows32_packages=(wine32:i386)

# Whether the kernel runs 32-bit x86 programs: a 93-byte i386 ELF program
# that only exits with status 0 (mov eax,1; xor ebx,ebx; int 0x80).
runs_32bit_programs() {
    local probe status=0
    probe=$(mktemp)
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08'\
'\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00'\
'\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    return $status
}

# Installs Wine's 32-bit half where the kernel runs 32-bit programs; true
# when it can run them.
need_wine32() {
    runs_32bit_programs || return 1
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
        as_root apt-get update -qq
    fi
    need_packages "${windows32_packages[@]}"
}

configure_and_build() {
    local preset=$1
    cmake --preset "$preset" -S "$here" >/dev/null
    cmake --build --preset "$preset"
}
