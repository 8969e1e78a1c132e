#!/usr/bin/env bash
# Arbitrary bytes as preset files on disk (tests/fuzz/PresetFileFuzz.cpp).
set -euo pipefail
BUILD="${1:-}"
source "$(dirname "$0")/fuzz-common.bash"
run_fuzzer preset_file_fuzz 4096
