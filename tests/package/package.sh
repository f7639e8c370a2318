#!/usr/bin/env bash
# The package, built as scripts/package builds it (its own build with Debian's
# hardening flags): Debian's checks (lintian) pass with no error and no
# warning; the desktop entry and the AppStream data validate without a single
# remark; a software-centre catalogue can be composed from the installed
# files, icon included; the manual pages tell what the program reads; and the
# program installed from it starts under Xvfb.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
xvfb=""
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
checks=0
pass() { checks=$((checks + 1)); echo "ok: $*"; }

metainfo=$source/packaging/linux/io.github.velodane.velodane.metainfo.xml

# desktop-file-validate exits 0 on hints too (two main categories are one).
out=$(desktop-file-validate "$source/packaging/linux/velodane.desktop" 2>&1) && [ -z "$out" ] ||
    fail "desktop entry: $out"
for key in Keywords 'Keywords\[th\]'; do
    grep -q "^$key=..*;" "$source/packaging/linux/velodane.desktop" || fail "the desktop entry has no $key"
done
pass "desktop entry"

out=$(appstreamcli validate --pedantic --no-net --no-color "$metainfo" 2>&1) || fail "AppStream data: $out"
! grep -qE '^[EWIP]: ' <<<"$out" || fail "AppStream data, remarks: $out"
# The screenshots are the README's of this package's program (not those of
# the Windows program), under the project's address.
mapfile -t shots < <(grep -oE '\(docs/[^)]+\.png\)' "$source/README.md" | tr -d '()' | grep -v '^docs/windows-' | sort -u)
mapfile -t urls < <(grep -oE '<image[^>]*>[^<]+</image>' "$metainfo" | sed -E 's/<[^>]*>//g')
[ ${#shots[@]} -gt 0 ] && [ ${#urls[@]} -eq ${#shots[@]} ] || fail "screenshots: README ${shots[*]}, metainfo ${urls[*]}"
for s in "${shots[@]}"; do
    [ -f "$source/$s" ] || fail "the README's $s is missing"
    printf '%s\n' "${urls[@]}" | grep -qx "https://[^ ]*/$s" || fail "the metainfo lacks the screenshot $s: ${urls[*]}"
done
pass "AppStream data"

source "$source/scripts/lib.sh"
velodane_build_deb "$build/deb" "$work/out" >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log"; fail "building the package"; }
deb=$(ls "$work"/out/*.deb)

# The hardening flags reached every compilation (lintian sees the linker's
# and the stack protector's in the binary, not the source fortification).
commands=$(grep -c '"command":' "$build/deb/compile_commands.json" || true)
[ "$commands" -gt 0 ] || fail "no compilation in $build/deb/compile_commands.json"
for flag in -D_FORTIFY_SOURCE=2 -fstack-protector-strong -Werror=format-security; do
    [ "$(grep '"command":' "$build/deb/compile_commands.json" | grep -c -- "$flag ")" -eq "$commands" ] ||
        fail "not every compilation has $flag"
done
lintian --fail-on error,warning --pedantic -I --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian"; }
! grep -E ': (hardening-|no-manual-page|desktop-entry-lacks)' "$work/lintian.log" || fail "lintian notes"
pass "lintian: $(grep -cE '^[EWIPX]: ' "$work/lintian.log" || true) notes at most informational"

depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
for need in libqt6widgets6 libqt6gui6 libqt6core6 fonts-thai-tlwg; do
    grep -qE "(^|, )$need( |,|$)" <<<"$depends" || fail "Depends lacks $need: $depends"
done
twice=$(sed -E 's/ *\([^)]*\)//g; s/, */\n/g' <<<"$depends" | sort | uniq -d)
[ -z "$twice" ] || fail "Depends names $twice more than once: $depends"
grep -q libreoffice-writer <<<"$recommends" || fail "Recommends lacks libreoffice-writer: $recommends"
pass "Depends: $depends"

root="$work/root"
dpkg -x "$deb" "$root"
for f in usr/bin/velodane usr/share/applications/velodane.desktop \
         usr/share/metainfo/io.github.velodane.velodane.metainfo.xml \
         usr/share/doc/velodane/copyright usr/share/doc/velodane/changelog.gz \
         usr/share/man/man1/velodane.1.gz usr/share/man/th/man1/velodane.1.gz; do
    [ -e "$root/$f" ] || fail "the package lacks /$f"
done
for size in 16 32 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/velodane.png
    [ -e "$icon" ] || fail "the package lacks the $size px icon"
    file -b "$icon" | grep -q "^PNG image data, $size x $size," || fail "the $size px icon is $(file -b "$icon")"
done
pass "files and icons"

# Both manual pages name every environment variable the program reads.
mapfile -t variables < <(grep -rhoE '\benv\("[A-Z_]+"\)' "$source/src" | sed -E 's/.*"(.*)".*/\1/' | sort -u)
[ ${#variables[@]} -ge 4 ] || fail "found only ${variables[*]} read by the program"
for page in man1/velodane.1.gz th/man1/velodane.1.gz; do
    text=$(zcat "$root/usr/share/man/$page")
    for v in "${variables[@]}"; do
        grep -q "^\.B $v\$" <<<"$text" || fail "$page does not describe $v"
    done
done
grep -q '^\.SH ไฟล์' <(zcat "$root/usr/share/man/th/man1/velodane.1.gz") || fail "the Thai manual page is not in Thai"
pass "manual pages: ${variables[*]}"

# A software centre's catalogue of the installed files: it takes the program
# only with an icon of at least 64 px.
appstreamcli compose --no-net --no-color --origin=velodane --result-root="$work/catalogue" "$root" \
    >"$work/compose.log" 2>&1 || { cat "$work/compose.log"; fail "appstreamcli compose"; }
catalogue=$(zcat "$work/catalogue/usr/share/swcatalog/xml/velodane.xml.gz")
grep -q '<id>io.github.velodane.velodane</id>' <<<"$catalogue" || fail "the catalogue lacks Velodane: $catalogue"
grep -q '<icon type="cached" width="64" height="64">' <<<"$catalogue" || fail "the catalogue entry has no 64 px icon"
[ -s "$work/catalogue/usr/share/swcatalog/icons/velodane/64x64/io.github.velodane.velodane.png" ] ||
    fail "the catalogue's icon file is missing"
pass "software-centre catalogue"

# The installed program starts and shows its intro window.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
"$root/usr/bin/velodane" >"$work/run.log" 2>&1 &
program=$!
shown=""
for _ in $(seq 300); do
    shown=$(xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | head -n1) && [ -n "$shown" ] && break
    sleep 0.1
done
kill -0 $program 2>/dev/null || fail "the installed program ended: $(cat "$work/run.log")"
[ -n "$shown" ] || fail "the installed program showed no intro window"
geometry=$(xdotool getwindowgeometry "$shown" | grep Geometry)
kill $program
pass "installed program shows its intro window: $geometry"
echo "$checks passed, 0 failed"
