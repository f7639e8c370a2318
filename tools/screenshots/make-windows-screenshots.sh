#!/bin/sh
# Screenshots of Velodane.exe's two windows as Wine draws them, at 96 and
# 144 dpi, for the README: docs/windows-intro.png, docs/windows-menu.png,
# docs/windows-menu-hover.png (the pointer on group 23), and the same two
# windows at 144 dpi. They are taken by the Windows program's own test under
# Wine, which checks each window before it keeps its picture.
#
#   tools/screenshots/make-windows-screenshots.sh [build folder [output folder]]
#
# The build folder defaults to build/windows64 (or build/windows where this
# machine runs 32-bit programs), from the top of the source tree.
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-}
if [ -z "$build" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then build=$top/build/windows; else build=$top/build/windows64; fi
fi
out=${2:-$top/docs}
mkdir -p "$out"
exec bash "$top/tests/winforms/forms.sh" "$build/src/Velodane.exe" "$build/tests/winforms/probe.exe" \
    "$build/tests/winforms/look_check.exe" "$(cd "$out" && pwd)"
