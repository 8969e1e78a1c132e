#!/usr/bin/env bash
# The product's main job: build everything, then load the plug-in through its
# entry point as a host does, show what it offers, and render a demo phrase
# through it (the WAV files go to $BUILD/demo).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${ORVEL_BUILD_DIR:-$ROOT/build}"
"$ROOT/tools/scripts/setup-machine.sh"
"$ROOT/tools/scripts/build-all.sh"
"$BUILD/linux/tools/orvel" info --plugin "$BUILD/linux/Orvel.so"
"$BUILD/linux/tools/orvel" demo "$BUILD/demo" --plugin "$BUILD/linux/Orvel.so"
