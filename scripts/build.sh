#!/usr/bin/env bash
# Configures (once, or again where warnings are not yet errors) and builds into build/, with
# compiler warnings as errors. Extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/build.ninja ] || ! grep -qx 'VESPERIN_WERROR:BOOL=ON' build/CMakeCache.txt; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESPERIN_WERROR=ON "$@"
fi
cmake --build build -j "$(nproc)"
