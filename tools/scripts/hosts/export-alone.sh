#!/usr/bin/env bash
# export-alone.sh [RUNS]: how often Ardour's headless session dies on a
# signal after exporting a track with no plug-in on it (default 30 runs), the
# measure behind retry_session's handling of such deaths in the host checks.
set -uo pipefail
HOSTS="$(cd "$(dirname "$0")" && pwd)"
runs="${1:-30}"
"$HOSTS/../setup-machine.sh" ardour >/dev/null
WORK="$(mktemp -d /tmp/orvel-alone.XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
export HOME="$WORK/home" ORVEL_CHECK_DIR="$WORK/ardour"
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME/.config/ardour7/export"
cp "$HOSTS/orvel-check.preset" "$HOME/.config/ardour7/export/"
died=0 before=0
for ((run = 1; run <= runs; run++)); do
  rm -rf "$ORVEL_CHECK_DIR" && mkdir -p "$ORVEL_CHECK_DIR"
  "$HOSTS/watchdog.sh" 120 "$WORK/run.log" ardour7-lua "$HOSTS/ardour-export-alone.lua" 2>/dev/null
  status=$?
  if [ "$status" -gt 128 ] && [ "$status" -ne 124 ]; then
    if grep -qx 'orvel-check: exported' "$WORK/run.log"; then died=$((died + 1)); else before=$((before + 1)); fi
  elif ! grep -qx 'orvel-check: done' "$WORK/run.log"; then
    echo "run $run did not finish (status $status):"; cat "$WORK/run.log"; exit 1
  fi
done
echo "of $runs sessions without Orvel, $died died after the export and $before during it"
