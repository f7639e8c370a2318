# Shared by the scripts: run as root or, through sudo, as a normal user.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# apt-get update. A list that can't be fetched (a mirror in the middle of a
# sync) leaves apt the lists it has; whether they hold the packages, the
# install that follows says.
apt_update() {
    as_root apt-get update -qq || echo "(apt-get update could not fetch every list; going on with the lists it has)"
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
    apt_update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Every command that the scripts, the build and the tests run comes from one
# of these packages or from Debian's essential set (bash, coreutils, dpkg,
# grep, gzip, sed, tar, util-linux...).

# Building the program (and the artwork generator, tools/artgen):
build_packages=(
    build-essential # g++, make, and the sanitizers' run-time libraries
    cmake           # cmake, ctest, cpack
    qt6-base-dev    # Qt 6 Core, Gui, Widgets, Test and their tools (moc)
    libgl-dev       # the OpenGL headers that Qt 6 Gui's CMake files ask for
    libxcb1-dev     # the benchmark's X client that stamps a window's MapNotify
    pkg-config      # finds libxcb for it
)
# Building the Debian package (scripts/package, the package test):
package_packages=(
    dpkg-dev # dpkg-buildflags (Debian's hardening flags), dpkg-shlibdeps (Depends)
    file     # CPack runs it on every file to find the ones dpkg-shlibdeps reads
    binutils # strip: the packaged program carries no debug information
)
# Running the program:
run_packages=(
    fonts-thai-tlwg    # the Thai faces the windows are drawn with
    libreoffice-writer # the word processor that shows a group's document
    xdg-utils          # xdg-open, the desktop's opener when Writer is missing
)
# Running the tests, besides the above:
test_packages=(
    xvfb               # Xvfb: the private virtual displays of the window tests
    xauth              # xvfb-run, which scripts/run suggests without a display
    xdotool            # real pointer and key input, finding windows
    x11-utils          # xprop: the windows' icons
    imagemagick        # import and convert: screenshots, the screen at a failure
    strace             # the end-to-end test that traces the program's file calls
    desktop-file-utils # desktop-file-validate: the desktop entry
    appstream          # appstreamcli validate: the AppStream data
    appstream-compose  # appstreamcli compose: the software-centre catalogue entry
    lintian            # Debian's checks of the .deb
    dbus-daemon        # dbus-run-session: the screen-reader test's own session bus
    at-spi2-core       # the accessibility bus a screen reader reads through
    python3-pyatspi    # Debian's Python bindings to it, for the screen-reader test
)
# What the Windows program and its setup need: the 32-bit mingw-w64 cross
# compiler for Velodane.exe, NSIS for the setup program, and Wine (its 64-bit
# half for the 64-bit prefix that stands for 64-bit Windows) with a virtual
# display and real input for the tests. ImageMagick cuts the setup's welcome picture
# from the intro picture; binutils gives the tests strings(1). The Thai fonts
# stand in for the windows' Thai faces under Wine.
windows_packages=(g++-mingw-w64-i686 nsis imagemagick wine wine64 binutils xvfb xauth xdotool
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

# Installs Wine's 32-bit half where the kernel runs 32-bit programs. Returns 0
# when it can run them, 1 when the kernel can't run 32-bit programs, 2 when
# Wine's 32-bit half couldn't be installed (apt has said why).
need_wine32() {
    runs_32bit_programs || return 1
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
        apt_update
    fi
    need_packages "${windows32_packages[@]}" || return 2
}

# Why need_wine32 returned its status $1, for a message.
wine32_failure() {
    if [ "$1" -eq 1 ]; then
        echo "this machine can't run 32-bit programs"
    else
        echo "Wine's 32-bit half (${windows32_packages[*]}) could not be installed (apt's messages above say why)"
    fi
}

configure_and_build() {
    local preset=$1
    cmake --preset "$preset" -S "$here" >/dev/null
    cmake --build --preset "$preset"
}

# Builds the program as Debian builds its packages and makes the .deb:
#   velodane_build_deb BUILD-FOLDER OUTPUT-FOLDER
# The build folder is its own (no tests), configured with Debian's hardening
# flags as dpkg-buildflags gives them with every hardening feature on (bindnow
# too). CMake reads no CPPFLAGS, so the preprocessor's flags go in with the
# compiler's.
velodane_build_deb() {
    local build=$1 out=$2 cxxflags ldflags
    cxxflags="$(cd "$here" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS) $(
        cd "$here" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)"
    ldflags=$(cd "$here" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)
    cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
        "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" \
        "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags" >/dev/null
    cmake --build "$build" -j2
    cpack --config "$build/CPackConfig.cmake" -B "$out"
}
