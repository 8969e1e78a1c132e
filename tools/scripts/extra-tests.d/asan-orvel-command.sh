#!/usr/bin/env bash
# Runs the orvel command's tests on the command built with AddressSanitizer
# and UndefinedBehaviorSanitizer (the fuzz tree): the tests of the Linux tree
# start that build instead of their own. Any memory error, leak or undefined
# behaviour in the command fails the test that met it.
set -euo pipefail
BUILD="${1:-}"
source "$(dirname "$0")/fuzz-common.bash"
build_fuzz_tree orvel factory_presets
cmake --build "$BUILD/linux" -j "${ORVEL_JOBS:-$(nproc)}" --target orvel_tests

# every suite of the command's tests
FILTER="$(grep -ho '^TEST\(_F\)\?([A-Za-z0-9_]*' "$ROOT"/tests/tools/*.cpp | sed 's/.*(//; s/$/.*/' | sort -u | paste -sd:)"
# The peer plug-in (a Debian package, not ours) leaks when it is unloaded.
FILTER="$FILTER-PeerPlugin.*"
ORVEL_COMMAND="$FUZZ_TREE/tools/orvel" "$BUILD/linux/tests/orvel_tests" --gtest_filter="$FILTER"
