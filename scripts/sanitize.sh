#!/usr/bin/env bash
# Builds the whole project and its test suite with gcc under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/, then runs every test there. A sanitizer report
# ends the process that made it with an error, so the test it ran in fails. Extra arguments go
# to ctest (e.g. -R Preferences).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-asan
sanitizers="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"

source scripts/sanitizer-env.sh

if [ ! -f "$build/build.ninja" ]; then
    CC=gcc CXX=g++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="-O1 $sanitizers" \
        -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
fi
# Building lists each test program's tests by running it, under the same options.
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
