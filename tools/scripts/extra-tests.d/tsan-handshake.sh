#!/usr/bin/env bash
# Builds the tests with ThreadSanitizer in their own tree and runs the tests
# of the loading handshake (a loader hammering loads while audio runs) under it.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../../.." && pwd)"
BUILD="${1:-$ROOT/build}"
TREE="$BUILD/tsan"

cmake -S "$ROOT" -B "$TREE" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEL_SANITIZE=thread >/dev/null
cmake --build "$TREE" -j "${ORVEL_JOBS:-$(nproc)}" --target orvel_tests
TSAN_OPTIONS="halt_on_error=1 exitcode=66 ${TSAN_OPTIONS:-}" \
  "$TREE/tests/orvel_tests" --gtest_filter='LoadHandshake.*'
