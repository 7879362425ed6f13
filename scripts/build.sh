#!/usr/bin/env bash
# Configures (once) and builds into build/. Extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/build.ninja ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@"
fi
cmake --build build -j "$(nproc)"
