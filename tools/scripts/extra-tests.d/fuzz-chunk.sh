#!/usr/bin/env bash
# Builds the chunk reader with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (clang) in its own tree and feeds it arbitrary
# bytes for a bounded time (ORVEL_FUZZ_SECONDS, default 60). Any crash,
# sanitizer report or failed check fails the step; the input that caused it
# is left in the tree's artifacts folder.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../../.." && pwd)"
BUILD="${1:-$ROOT/build}"
TREE="$BUILD/fuzz"

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$TREE" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEL_SANITIZE=address,undefined -DORVEL_FUZZ=ON -DORVEL_WERROR=OFF >/dev/null
cmake --build "$TREE" -j "${ORVEL_JOBS:-$(nproc)}" --target chunk_fuzz

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/corpus" "$WORK/home" "$TREE/artifacts"
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config" XDG_DATA_HOME="$WORK/home/.local/share"
export ORVEL_FUZZ_SEED_DIR="$WORK/corpus"
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1 ${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1 ${UBSAN_OPTIONS:-}"
"$TREE/tests/fuzz/chunk_fuzz" -max_total_time="${ORVEL_FUZZ_SECONDS:-60}" -max_len=4096 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$TREE/artifacts/" "$WORK/corpus"
