#!/usr/bin/env bash
# Checks a Windows package folder: the DLL (stripped), the Content folder with the
# factory presets and the manual, and the registry settings pointing at it.
set -euo pipefail
package="$1"
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -f "$package/Orvel.dll" ] || fail "no Orvel.dll"
! grep -qa '\.debug_info' "$package/Orvel.dll" || fail "Orvel.dll is not stripped"
[ -f "$package/Content/Presets/default.zuo" ] || fail "no Content/Presets/default.zuo"
[ -d "$package/Content/Presets/User" ] || fail "no Content/Presets/User"
[ -z "$(ls -A "$package/Content/Presets/User")" ] || fail "Content/Presets/User is not empty"
banks=$(find "$package/Content/Presets" -mindepth 1 -maxdepth 1 -type d ! -name User | wc -l)
[ "$banks" -ge 3 ] || fail "only $banks preset folders"
presets=$(find "$package/Content/Presets" -mindepth 2 -name '*.zuo' | wc -l)
[ "$presets" -ge 16 ] || fail "only $presets presets"
[ -f "$package/Content/Manual/Manual.htm" ] || fail "no Content/Manual/Manual.htm"

reg="$package/Orvel.reg"
[ -f "$reg" ] || fail "no Orvel.reg"
[ "$(head -c 10 "$reg" | tr '\r\n' 'RN')" = "REGEDIT4RN" ] || fail "Orvel.reg does not start with REGEDIT4 and CR LF"
grep -q $'^\\[HKEY_CURRENT_USER\\\\Software\\\\Tamblor\\\\Orvel\\]\r$' "$reg" || fail "Orvel.reg names another key"
for value in contentpath installpath; do
  grep -Eq "^\"$value\"=\"[A-Za-z]:(\\\\\\\\[^\\\\\"]+)+\\\\\\\\\""$'\r$' "$reg" ||
    fail "Orvel.reg: $value is not a Windows folder ending in a backslash"
done
cmd="$package/Register Content Folder.cmd"
[ -f "$cmd" ] || fail "no Register Content Folder.cmd"
for value in contentpath installpath; do
  grep -q "reg add \"HKCU\\\\Software\\\\Tamblor\\\\Orvel\" /v $value /t REG_SZ" "$cmd" || fail "the .cmd does not set $value"
done
echo "ok: $package"
