#!/bin/sh
# Renders the reference set through a Windows Orvel.dll under wine and
# compares the result with the committed table, line for line.
# usage: check-reference-renders.sh Orvel.dll x86_64-w64-mingw32-g++-posix
set -eu
dll=$1
cxx=$2
here=$(cd "$(dirname "$0")" && pwd)
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cxx" -std=c++20 -O2 -Wall -Wextra -msse2 -mfpmath=sse -ffp-contract=off -static \
    -I"$here/.." -I"$here/../../src" "$here/ReferenceRender.cpp" -o "$work/ReferenceRender.exe"
cp "$dll" "$work/Orvel.dll"
WINEPREFIX="$work/prefix" WINEDEBUG=-all "$wine" "$work/ReferenceRender.exe" 'Orvel.dll' 2>/dev/null \
    | tr -d '\r' >"$work/rendered.txt"
diff -u "$here/../engine/ReferenceRenders.txt" "$work/rendered.txt"
echo "all $(grep -vc '^#' "$work/rendered.txt") renders bit-identical"
