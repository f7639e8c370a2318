#!/bin/sh
# Rebuilds every artwork file from its sources:
#   src/artwork/pixels/*.txt      -> src/artwork/images/*.ico
#   (painted by the generator)    -> src/artwork/images/IntroPicture.jpg, MenuBanner.bmp
#   IslandIcon.ico                -> packaging/linux/icons/{16x16,32x32}/velodane.png
#   (drawn by the generator)      -> packaging/linux/icons/{48x48,64x64,128x128,256x256}/velodane.png
# The output is byte-for-byte the same on every run.  Needs cmake, a C++20
# compiler, Qt 6 Gui (qt6-base-dev) and the Thai TLWG fonts (fonts-thai-tlwg).
# Extra arguments go to the generator, e.g. --preview /tmp/artwork-preview.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
fonts=/usr/share/fonts/truetype/tlwg

for f in Kinnari-Bold.ttf Garuda-Bold.ttf; do
    if [ ! -f "$fonts/$f" ]; then
        echo "regenerate.sh: $fonts/$f is missing; install the Debian package fonts-thai-tlwg" >&2
        exit 1
    fi
done

build=${ARTGEN_BUILD_DIR:-"${TMPDIR:-/tmp}/velodane-artgen-build"}
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 >/dev/null

cd "$repo"
QT_QPA_PLATFORM=offscreen "$build/velodane_artgen" "$repo" --fonts "$fonts" "$@"
