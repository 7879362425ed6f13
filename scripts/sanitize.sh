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

# Warnings are errors here too: the sanitizers and -O1 make gcc warn of things a plain Debug
# build does not see. Line tables only (-g1): the reports keep their files and lines, and the
# build takes a quarter less time than with full debugging information.
if [ ! -f "$build/build.ninja" ] ||
    ! grep -qx 'VESPERIN_WERROR:BOOL=ON' "$build/CMakeCache.txt" ||
    ! grep -qx 'CMAKE_CXX_FLAGS_DEBUG:STRING=-g1' "$build/CMakeCache.txt"; then
    CC=gcc CXX=g++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="-O1 $sanitizers" -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
        -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" -DVESPERIN_WERROR=ON >/dev/null
fi
# Building lists each test program's tests by running it, under the same options.
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
