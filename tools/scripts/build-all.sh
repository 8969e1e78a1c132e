#!/usr/bin/env bash
# Configures and builds the Linux plug-in, tools and tests, and both Windows DLLs,
# with warnings as errors: the project's own test build.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
BUILD="${ORVEL_BUILD_DIR:-$ROOT/build}"
JOBS="${ORVEL_JOBS:-$(nproc)}"

for arch in i686 x86_64; do
  cmake -S "$ROOT" -B "$BUILD/win-$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVEL_WERROR=ON \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$arch.cmake" >/dev/null
  cmake --build "$BUILD/win-$arch" -j "$JOBS"
done

cmake -S "$ROOT" -B "$BUILD/linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEL_WERROR=ON \
  -DORVEL_WIN32_DLL="$BUILD/win-i686/Orvel.dll" -DORVEL_WIN64_DLL="$BUILD/win-x86_64/Orvel.dll" >/dev/null
cmake --build "$BUILD/linux" -j "$JOBS"
