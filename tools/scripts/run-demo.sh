#!/usr/bin/env bash
# The product's main job: build everything, then load the plug-in through its
# entry point as a host does and show what it offers.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${ORVEL_BUILD_DIR:-$ROOT/build}"
"$ROOT/tools/scripts/setup-machine.sh"
"$ROOT/tools/scripts/build-all.sh"
"$BUILD/linux/tools/orvel" info --plugin "$BUILD/linux/Orvel.so"
