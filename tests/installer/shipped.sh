#!/usr/bin/env bash
# shipped.sh <velodane-setup-1.00.exe> <Velodane.exe, 32-bit>
# The shipped setup program itself, without running it: around the 32-bit
# Velodane.exe (which imports only the system's core libraries at start), it
# is a 32-bit Windows program, carries the island icon (both sizes, the very
# images of the program's icon) and a version record with the program's own
# values and its own file name.
set -euo pipefail

setup=$1
exe=$2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
icon="$root/src/artwork/images/IslandIcon.ico"

for tool in objdump strings perl; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/test installs it)" >&2; exit 1; }
done
for file in "$setup" "$exe"; do
    [ -f "$file" ] || { echo "FAIL: no $file: scripts/windows makes it (scripts/test runs it)" >&2; exit 1; }
done

failures=0
check() {
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what" >&2; failures=$((failures + 1)); fi
}

check "a 32-bit Windows program" eval 'objdump -f "$setup" | grep -q "file format pei-i386"'
# The program starts with the system's core libraries only; COM, the picture
# loader, the shell and the common controls are loaded on first call.
imports() { objdump -p "$1" | awk '/DLL Name:/ {print toupper($3)}' | sort | tr '\n' ' '; }
check "Velodane.exe imports at start only $(imports "$exe")" \
    [ "$(imports "$exe")" = "GDI32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL " ]

# The value of a version record entry: the UTF-16 string after its name.
version_value() { strings -el "$1" | grep -A1 -x "$2" | sed -n 2p; }
same_entry() {
    local value
    value=$(version_value "$exe" "$1")
    [ -n "$value" ] && [ "$(version_value "$setup" "$1")" = "$value" ]
}
for entry in CompanyName ProductName FileVersion ProductVersion; do
    check "version record: $entry as the program's, \"$(version_value "$exe" "$entry")\"" same_entry "$entry"
done
check "version record: OriginalFilename" [ "$(version_value "$setup" OriginalFilename)" = velodane-setup-1.00.exe ]

# Every image of the island icon, byte for byte, among the setup's resources.
icon_images_in() {
    perl -e '
        local $/;
        open my $i, "<:raw", $ARGV[0] or die; my $ico = <$i>;
        open my $e, "<:raw", $ARGV[1] or die; my $exe = <$e>;
        my (undef, undef, $n) = unpack "v3", $ico;
        die "no images\n" unless $n;
        for my $k (0 .. $n - 1) {
            my ($size, $offset) = unpack "V2", substr($ico, 6 + 16 * $k + 8, 8);
            exit 1 if index($exe, substr($ico, $offset, $size)) < 0;
        }' "$icon" "$1"
}
check "the island icon, every size" icon_images_in "$setup"

[ $failures -eq 0 ] || exit 1
echo "all passed"
