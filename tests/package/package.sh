#!/usr/bin/env bash
# The package: its desktop entry and AppStream data validate, the .deb names
# its dependencies, and the program installed from it starts under Xvfb.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
xvfb=""
trap '[ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$source/packaging/linux/velodane.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$source/packaging/linux/io.github.velodane.Velodane.metainfo.xml" || fail "AppStream data"

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
for need in libqt6widgets6 libqt6gui6 libqt6core6 fonts-thai-tlwg; do
    grep -q "$need" <<<"$depends" || fail "Depends lacks $need: $depends"
done
grep -q libreoffice-writer <<<"$recommends" || fail "Recommends lacks libreoffice-writer: $recommends"

root="$work/root"
dpkg -x "$deb" "$root"
for f in usr/bin/velodane usr/share/applications/velodane.desktop \
         usr/share/icons/hicolor/16x16/apps/velodane.png usr/share/icons/hicolor/32x32/apps/velodane.png \
         usr/share/metainfo/io.github.velodane.Velodane.metainfo.xml; do
    [ -e "$root/$f" ] || fail "the package lacks /$f"
done

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
echo "installed program shows its intro window: $geometry"
echo "1 passed, 0 failed"
