#!/usr/bin/env bash
# Arbitrary bytes as the settings file (tests/fuzz/SettingsTextFuzz.cpp).
set -euo pipefail
BUILD="${1:-}"
source "$(dirname "$0")/fuzz-common.bash"
run_fuzzer settings_text_fuzz 8192
