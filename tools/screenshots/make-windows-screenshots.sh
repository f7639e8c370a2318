#!/bin/sh
# Screenshots of Velodane.exe's two windows as Wine draws them, at 96 and
# 144 dpi, for docs/windows.md: docs/windows-intro.png, docs/windows-menu.png,
# docs/windows-menu-hover.png (the pointer on group 23), and the same two
# windows at 144 dpi. They are taken by the Windows program's own test under
# Wine, which checks each window before it keeps its picture.
#
#   tools/screenshots/make-windows-screenshots.sh [build folder [output folder]]
#
# The build folder defaults to build/windows, the shipped 32-bit program's,
# from the top of the source tree.
set -eu
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build/windows}
out=${2:-$top/docs}
mkdir -p "$out"
exec bash "$top/tests/winforms/forms.sh" "$build/src/Velodane.exe" "$build/tests/winforms/probe.exe" \
    "$build/tests/winforms/look_check.exe" "$(cd "$out" && pwd)"
