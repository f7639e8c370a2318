#!/usr/bin/env bash
# make-installer.sh <Velodane.exe> <velodane-sampledocs> <setup.exe> [amd64-unicode]
# Writes the 62 sample documents with the same generator the Linux program
# uses, then builds the setup program from velodane.nsi around them and the
# given Velodane.exe. The fourth argument builds the 64-bit variant used only
# by the tests under 64-bit Wine.
set -euo pipefail

if [ $# -lt 3 ] || [ $# -gt 4 ]; then
    echo "usage: $0 <Velodane.exe> <velodane-sampledocs> <setup.exe> [amd64-unicode]" >&2
    exit 2
fi
exe=$(realpath "$1")
sampledocs=$2
out=$(realpath -m "$3")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

samples=$(mktemp -d)
trap 'rm -rf "$samples"' EXIT
"$sampledocs" "$samples" >/dev/null
count=$(find "$samples" -maxdepth 1 -name 'vd*.doc' | wc -l)
if [ "$count" -ne 62 ]; then
    echo "$0: the generator wrote $count sample documents, not 62" >&2
    exit 1
fi

# The picture of the welcome and finish pages: the middle of the intro
# window's picture, the emblem between the sky and the forest, 164 x 314 px.
convert "$here/../../src/artwork/images/IntroPicture.jpg" -crop 166x316+200+100 +repage \
    -resize '164x314!' -type TrueColor BMP3:"$samples/welcome.bmp"

defines=(-DVELODANE_EXE="$exe" -DSAMPLES="$samples" -DOUTFILE="$out" -DWELCOME_BITMAP="$samples/welcome.bmp")
[ $# -eq 4 ] && defines+=(-DTARGET="$4")
mkdir -p "$(dirname "$out")"
makensis -V2 -WX -INPUTCHARSET UTF8 "${defines[@]}" "$here/velodane.nsi"
