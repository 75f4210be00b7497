#!/usr/bin/env bash
# Configures (once) and builds a build folder with the mingw-w64 toolchain.
#   scripts/build.sh [build-folder]
set -eu
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-${KESTRUNE_BUILD_DIR:-$top/build}}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$top" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -- -j"$(nproc)"
