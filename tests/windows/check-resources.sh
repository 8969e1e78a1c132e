#!/usr/bin/env bash
# Checks that a Windows build of the plug-in carries the skin: BITMAP
# resources 1000..1068, each a 24-bit image of its listed size.
set -euo pipefail
dll="$1"
objdump="$2"
[ -f "$dll" ] || { echo "missing $dll"; exit 1; }

# id width height
sizes="1000 682 425
1008 52 4992
1009 52 4992
1023 52 4992
1026 52 4992
1027 52 4992
1033 52 4992
1034 52 4992
1035 52 4992
1041 52 4992
1042 52 4992
1044 52 4992
1045 52 4992
1046 52 4992
1051 52 4992
1053 52 4992
1010 24 10496
1011 24 10496
1012 24 10496
1017 24 10496
1018 24 10496
1021 24 10496
1022 24 10496
1039 24 10496
1040 24 10496
1056 24 10496
1057 24 10496
1058 24 10496
1061 126 3968
1014 88 3328
1004 51 16
1043 84 3055
1006 72 333
1029 72 333
1054 72 333
1016 144 333
1019 38 1482
1020 38 1482
1038 38 1482
1030 28 896
1059 28 896
1007 10 3400
1025 268 227
1068 266 76
1013 40 154
1064 60 72
1065 60 72
1047 35 96
1048 35 96
1002 35 24
1003 35 24
1005 35 24
1015 35 24
1024 35 24
1028 35 24
1037 35 24
1052 35 24
1060 35 24
1001 54 39
1036 54 39
1050 51 16
1049 66 24
1032 19 38
1066 19 19
1067 19 19
1055 16 32
1031 24 12
1062 12 24
1063 12 24"

# "type id size" for every resource leaf, from the resource directory dump.
leaves="$("$objdump" -p "$dll" | awk '
  function hex(s,   i, n) {
    s = tolower(s); sub(/^0x/, "", s); n = 0
    for (i = 1; i <= length(s); i++) n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
    return n
  }
  /Resource Directory section/ { on = 1; next }
  !on { next }
  /Entry: ID:/ {
    match($0, /^[0-9a-f]+ +/); depth = RLENGTH
    id = $4; sub(/,/, "", id); id = hex(id)
    if (depth <= 6) type = id; else if (depth <= 8) name = id
  }
  /Leaf: Addr:/ { size = $6; sub(/,/, "", size); print type, name, hex(size) }
')"

count="$(printf '%s\n' "$leaves" | awk '$1 == 2' | wc -l)"
if [ "$count" -ne 69 ]; then
  echo "$dll has $count bitmap resources, not 69"; printf '%s\n' "$leaves"; exit 1
fi
bad=0
while read -r id w h; do
  want=$((40 + ((w * 3 + 3) / 4 * 4) * h))
  got="$(printf '%s\n' "$leaves" | awk -v id="$id" '$1 == 2 && $2 == id { print $3 }')"
  if [ "$got" != "$want" ]; then
    echo "bitmap $id: resource of ${got:-no} bytes, want $want (${w}x${h}, 24-bit)"; bad=1
  fi
done <<< "$sizes"
exit $bad
