#!/usr/bin/env bash
# Configures the cross build in build/ (or $QM_BUILD_DIR) once; later calls reuse it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${QM_BUILD_DIR:-$root/build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
