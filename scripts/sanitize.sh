#!/usr/bin/env bash
# Builds the whole project and its test suite with gcc under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/, then runs every test there. A sanitizer report
# ends the process that made it with an error, so the test it ran in fails. Extra arguments go
# to ctest (e.g. -R Preferences).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-asan
sanitizers="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"

# The tests' own programs (the crash child, the preferences writer, the app) inherit these.
# The crash capture tests make children die of SIGSEGV, SIGBUS, SIGFPE ... on purpose: the
# child's own handlers, installed after the sanitizer's, must be let in to record the crash.
# Leaks of libraries we do not build are listed in scripts/leak-suppressions.txt.
asan=(halt_on_error=1 detect_leaks=1 allow_user_segv_handler=1 check_initialization_order=1
      detect_stack_use_after_return=1)
ASAN_OPTIONS=$(IFS=:; echo "${asan[*]}")
export ASAN_OPTIONS
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/leak-suppressions.txt:print_suppressions=0"

if [ ! -f "$build/build.ninja" ]; then
    CC=gcc CXX=g++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="-O1 $sanitizers" \
        -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
fi
# Building lists each test program's tests by running it, under the same options.
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"
