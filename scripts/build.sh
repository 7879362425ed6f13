#!/usr/bin/env bash
# Configures (once, or again where warnings are not yet errors) and builds into build/, with
# compiler warnings as errors: the "debug" preset. Extra arguments go to the configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/build.ninja ] || ! grep -qx 'VESPERIN_WERROR:BOOL=ON' build/CMakeCache.txt; then
    cmake --preset debug "$@"
fi
cmake --build --preset debug -j "$(nproc)"
