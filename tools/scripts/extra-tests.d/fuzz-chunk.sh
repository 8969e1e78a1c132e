#!/usr/bin/env bash
# Arbitrary bytes as host chunks and preset bodies (tests/fuzz/ChunkFuzz.cpp).
set -euo pipefail
BUILD="${1:-}"
source "$(dirname "$0")/fuzz-common.bash"
run_fuzzer chunk_fuzz 4096
