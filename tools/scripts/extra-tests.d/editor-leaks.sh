#!/usr/bin/env bash
# Opens and closes the editor 100 times in a build with AddressSanitizer and
# its leak checker (the same clang tree as the chunk fuzzing); any leak or
# memory error fails the step.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../../.." && pwd)"
BUILD="${1:-$ROOT/build}"
TREE="$BUILD/fuzz"

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$TREE" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEL_SANITIZE=address,undefined -DORVEL_FUZZ=ON -DORVEL_WERROR=OFF >/dev/null
cmake --build "$TREE" -j "${ORVEL_JOBS:-$(nproc)}" --target editor_leak_check

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
export HOME="$WORK" XDG_CONFIG_HOME="$WORK/.config" XDG_DATA_HOME="$WORK/.local/share"
unset DISPLAY WAYLAND_DISPLAY
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1 ${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1 ${UBSAN_OPTIONS:-}"
"$TREE/tests/fuzz/editor_leak_check"
