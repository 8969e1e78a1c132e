#!/usr/bin/env bash
# Checks a Windows build of the plug-in: it exports VSTPluginMain and main,
# and imports nothing but Windows system libraries.
set -euo pipefail
dll="$1"
objdump="$2"
[ -f "$dll" ] || { echo "missing $dll"; exit 1; }
dump="$("$objdump" -p "$dll")"
exports="$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')"
for sym in VSTPluginMain main; do
  if ! printf '%s\n' "$exports" | grep -Eq "\] ${sym}\$"; then
    echo "$dll does not export $sym"; printf '%s\n' "$exports"; exit 1
  fi
done
allowed='^(kernel32|user32|gdi32|advapi32|shell32|comdlg32|ole32|oleaut32|msvcrt|shlwapi|comctl32|uuid|winmm|msimg32|api-ms-win-.*)\.dll$'
bad=0
while read -r lib; do
  lower="$(printf '%s' "$lib" | tr 'A-Z' 'a-z')"
  if ! printf '%s' "$lower" | grep -Eq "$allowed"; then
    echo "$dll imports non-system library $lib"; bad=1
  fi
done < <(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p')
exit $bad
