#!/usr/bin/env bash
# The whole test run on a fresh machine: set up, build every target, run
# every test. Exits non-zero on any failure.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${ORVEL_BUILD_DIR:-$ROOT/build}"

"$ROOT/tools/scripts/setup-machine.sh"
"$ROOT/tools/scripts/build-all.sh"
ctest --test-dir "$BUILD/linux" --output-on-failure -j "${ORVEL_JOBS:-$(nproc)}"
for extra in "$ROOT"/tools/scripts/extra-tests.d/*.sh; do
  [ -e "$extra" ] || continue
  echo "== $(basename "$extra")"
  bash "$extra" "$BUILD"
done
echo "all tests passed"
