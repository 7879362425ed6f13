#!/usr/bin/env bash
# Builds the fuzz targets (all, or those named) with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each one for the given number of seconds
# (default 30) on a fresh copy of its seed corpus under fuzz/corpus/, with the words of
# fuzz/dictionaries/. Prints one line per target and fails when any target crashed or broke an
# invariant; the input that did it is kept in build-fuzz/artifacts/ and the target's output in
# build-fuzz/logs/. Once the fault is fixed, copy the input into fuzz/corpus/<target>/: the
# test suite replays every corpus (FuzzReplay.<target>).
#
#   scripts/fuzz.sh [SECONDS [TARGET...]]
#   build-fuzz/fuzz/<target> build-fuzz/artifacts/<target>-crash-...   # replay one input
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
shift || true
build=build-fuzz
scripts/setup.sh

if [ ! -f "$build/build.ninja" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS="-O1" -DVESPERIN_BUILD_FUZZ=ON -DVESPERIN_BUILD_TESTS=OFF >/dev/null
fi

if [ $# -gt 0 ]; then
    targets="$*"
else
    targets=$(sed -n '/^set(VESPERIN_FUZZ_TARGETS/,/)/{s/set(VESPERIN_FUZZ_TARGETS//;s/)//;p}' \
        fuzz/CMakeLists.txt)
fi
# shellcheck disable=SC2086 # one target per word
cmake --build "$build" -j "$(nproc)" --target $targets
mkdir -p "$build/artifacts" "$build/logs"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen
# Two targets write files on every input (one syncs them); on a memory file system that costs
# nothing, on a disk shared with builds it costs most of the run.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

failed=0
for target in $targets; do
    corpus="$build/corpus/$target"
    rm -rf "$corpus"
    mkdir -p "$corpus"
    cp fuzz/corpus/"$target"/* "$corpus"/
    log="$build/logs/$target.log"
    dictionary=()
    [ -f "fuzz/dictionaries/$target.dict" ] && dictionary=(-dict="fuzz/dictionaries/$target.dict")
    if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=25 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" "${dictionary[@]}" \
        "$corpus" >"$log" 2>&1; then
        result="ok"
    else
        result="FAILED: $(grep -m1 -o "$build/artifacts/$target-[^ ]*" "$log" || echo "see $log")"
        failed=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    printf '%-20s %-8s runs %-10s corpus %-5s %s\n' "$target" "${seconds}s" "${runs:-?}" \
        "$(find "$corpus" -type f | wc -l)" "$result"
done
exit "$failed"
