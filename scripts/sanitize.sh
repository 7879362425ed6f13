#!/usr/bin/env bash
# Builds the whole project and its test suite with gcc under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/, warnings as errors, then runs every test there
# (the fuzz corpus replays included). A sanitizer report ends the process that made it with an
# error, so the test it ran in fails. Extra arguments go to ctest (e.g. -R Preferences).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-asan
sanitizers="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"

source scripts/sanitizer-env.sh

# The "asan" preset. Warnings are errors here too: the sanitizers and -Og make gcc warn of
# things a plain Debug build does not see. -Og and line tables only (-g1) build in half the
# time of -O1 with full debugging information, and the reports still name files and lines.
# A build folder configured with other flags is configured again.
flags="-Og $sanitizers"
if [ ! -f "$build/build.ninja" ] ||
    ! grep -qx 'VESPERIN_WERROR:BOOL=ON' "$build/CMakeCache.txt" ||
    ! grep -qxF "CMAKE_CXX_FLAGS:STRING=$flags" "$build/CMakeCache.txt" ||
    ! grep -qx 'CMAKE_CXX_FLAGS_DEBUG:STRING=-g1' "$build/CMakeCache.txt"; then
    cmake --preset asan >/dev/null
fi
# Building lists each test program's tests by running it, under the same options.
cmake --build --preset asan -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
