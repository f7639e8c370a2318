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
# What the Windows program and its setup need on this machine: the 32-bit
# mingw-w64 cross compiler for Velodane.exe, NSIS for the setup program, a
# virtual display and real input for the tests, and debootstrap for the
# tests' Wine root (need_wine_root). ImageMagick cuts the setup's welcome
# picture from the intro picture; binutils gives the tests strings(1).
windows_packages=(g++-mingw-w64-i686 nsis imagemagick binutils xvfb xauth xdotool debootstrap)

# The Windows tests run Wine from a Debian root of their own (scripts/wine
# runs a command in it): 32-bit Wine for the 32-bit prefix, 64-bit Wine for
# the 64-bit one whose 32-bit programs run under WoW64, the Thai faces that
# stand in for the windows' own, and fontconfig's fc-list. The root comes
# from the main suite alone, so its 32-bit and 64-bit packages always agree,
# whatever this machine's own package lists hold; nothing 32-bit is
# installed on this machine itself. It is made once and kept.
wine_root=$("$here/scripts/wine" --root)
wine_root_packages=(wine wine64 wine32:i386 fonts-thai-tlwg fontconfig)
# Where the kernel refuses 32-bit programs, they run through this user-mode
# emulator (bookworm's own 7.2 can't run Wine; the backport can), registered
# with binfmt_misc under this name.
wine_root_emulator=(-t bookworm-backports qemu-user)
emulator_name=velodane-i386
binfmt=/proc/sys/fs/binfmt_misc

# The first 20 bytes of an i386 ELF program (a printf format), and which of
# their bits the kernel's binfmt_misc compares.
i386_elf='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_elf_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

# Whether the kernel itself runs 32-bit x86 programs: a 93-byte i386 ELF
# program that only exits with status 0 (mov eax,1; xor ebx,ebx; int 0x80).
# Our emulator's entry, if registered, is set aside while it runs.
runs_32bit_programs() {
    local probe status=0 entry=$binfmt/$emulator_name enabled=0
    probe=$(mktemp)
    printf "$i386_elf"'\x01\x00\x00\x00\x54\x80\x04\x08'\
'\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'\
'\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00'\
'\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
    chmod +x "$probe"
    if [ -e "$entry" ] && head -n1 "$entry" | grep -qx enabled; then
        enabled=1
        echo 0 | as_root tee "$entry" >/dev/null
    fi
    "$probe" 2>/dev/null || status=$?
    [ "$enabled" -eq 0 ] || echo 1 | as_root tee "$entry" >/dev/null
    rm -f "$probe"
    return $status
}

# Runs a command in the Wine root as root, with /proc, /sys and /dev, in a
# mount namespace of its own (for making and updating the root).
in_wine_root() {
    as_root "$here/scripts/wine" --make "$@"
}

# Installs packages in the Wine root from fresh lists; says what failed,
# with apt's last words, and returns non-zero where it can't:
#   install_in_wine_root WHAT APT-GET-INSTALL-ARGUMENTS...
install_in_wine_root() {
    local what=$1
    shift
    in_wine_root apt-get update -qq || true
    in_wine_root apt-get install -y -qq --no-install-recommends "$@" >"$wine_root.log" 2>&1 || {
        tail -n 5 "$wine_root.log" >&2
        echo "$what could not be installed in the Wine root (log: $wine_root.log)" >&2
        return 1
    }
}

# This machine's Debian mirror, from its own apt sources.
debian_mirror() {
    { awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/*.sources 2>/dev/null || true
      awk '$1 == "deb" && $2 !~ /^\[/ {print $2; exit}' /etc/apt/sources.list 2>/dev/null || true; } | head -n1
}

# How the 32-bit programs run: "native" where the kernel runs them,
# "emulated" where it refuses them. VELODANE_WINE32=native or emulated
# chooses; emulated works on either kind of kernel (our entry then serves
# every 32-bit program of this machine until it is removed or the machine
# restarts).
wine32_way() {
    case "${VELODANE_WINE32:-auto}" in
    native | emulated) echo "$VELODANE_WINE32" ;;
    auto) if runs_32bit_programs; then echo native; else echo emulated; fi ;;
    *) echo "VELODANE_WINE32 is ${VELODANE_WINE32}, not auto, native or emulated" >&2; return 1 ;;
    esac
}

# Registers the root's qemu-i386 for i386 ELF programs. Flag F opens the
# emulator now, so it serves programs inside the root too.
register_emulator() {
    local qemu=$wine_root/usr/bin/qemu-i386 entry=$binfmt/$emulator_name
    if [ -e "$entry" ]; then
        grep -qx "interpreter $qemu" "$entry" && { echo 1 | as_root tee "$entry" >/dev/null; return 0; }
        echo -1 | as_root tee "$entry" >/dev/null
    fi
    [ -e "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt" || return 1
    # The kernel reads the escapes itself: written as text, or a 0 byte would
    # end the magic there.
    printf ':%s:M::%s:%s:%s:F' "$emulator_name" "$i386_elf" "$i386_elf_mask" "$qemu" |
        as_root tee "$binfmt/register" >/dev/null
}

# Makes the Wine root (the first time: about a minute here, a few more where
# its 32-bit packages are set up through the emulator), brings it up to date
# with wine_root_packages, and, where the 32-bit programs are emulated,
# registers the emulator. Sets wine32 to "native" or "emulated". Returns
# non-zero with the reason on stderr where the 32-bit Wine can't run here.
need_wine_root() {
    local mirror stamp=$wine_root/.velodane-wine-root
    wine32=$(wine32_way) || return 1
    if [ ! -f "$stamp" ]; then
        mirror=$(debian_mirror)
        [ -n "$mirror" ] || { echo "no Debian mirror in this machine's apt sources, to make the Wine root from" >&2; return 1; }
        echo "Making the Wine root in $wine_root from $mirror (bookworm, main)"
        as_root rm -rf --one-file-system "$wine_root"
        as_root mkdir -p "$wine_root"
        as_root debootstrap --variant=minbase --arch=amd64 bookworm "$wine_root" "$mirror" >"$wine_root.log" 2>&1 ||
            { tail -n 5 "$wine_root.log" >&2; echo "debootstrap could not make the Wine root (log: $wine_root.log)" >&2; return 1; }
        printf 'deb %s bookworm main\ndeb %s bookworm-backports main\n' "$mirror" "$mirror" |
            as_root tee "$wine_root/etc/apt/sources.list" >/dev/null
        in_wine_root dpkg --add-architecture i386
    fi
    if [ "$wine32" = native ] && [ -e "$binfmt/$emulator_name" ]; then
        # Left by an earlier run that emulated them: natively from now on.
        echo -1 | as_root tee "$binfmt/$emulator_name" >/dev/null
        echo "(removed the binfmt_misc entry $emulator_name of an earlier run)"
    fi
    if [ "$wine32" = emulated ]; then
        [ -x "$wine_root/usr/bin/qemu-i386" ] ||
            install_in_wine_root "The emulator" "${wine_root_emulator[@]}" || return 1
        register_emulator || { echo "qemu-i386 could not be registered with binfmt_misc" >&2; return 1; }
    fi
    if [ "$(cat "$stamp" 2>/dev/null)" != "${wine_root_packages[*]}" ]; then
        echo "Installing in the Wine root: ${wine_root_packages[*]}"
        install_in_wine_root Wine "${wine_root_packages[@]}" || return 1
        echo "${wine_root_packages[*]}" | as_root tee "$stamp" >/dev/null
    fi
    local version
    version=$("$here/scripts/wine" /usr/lib/wine/wine --version 2>&1) ||
        { echo "the 32-bit Wine of the Wine root does not run ($wine32): $version" >&2; return 1; }
    echo "32-bit programs: $(wine32_said), $version"
}

# What the way the 32-bit programs run is, in words.
wine32_said() {
    if [ "$wine32" = emulated ]; then
        echo "emulated by $("$wine_root/usr/bin/qemu-i386" --version | head -n1) (binfmt_misc entry $emulator_name)"
    else
        echo "native"
    fi
}

# Ends the step under way, saying how many seconds it took, and starts the
# one named (none: the last has ended).
step() {
    local now
    now=$(date +%s)
    [ -z "${step_name:-}" ] || echo "-- $step_name: $((now - step_start)) s"
    step_name=$1 step_start=$now
    [ -z "$step_name" ] || echo "== $step_name"
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
