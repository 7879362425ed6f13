#!/usr/bin/env bash
# Drives the application of the sanitizer build (build-asan/, which scripts/sanitize.sh makes)
# with random input on a private X server with openbox (tests/soak/InputSoak.cpp), one seed
# after another, and stops at the first crash, sanitizer report or hang, naming its seed.
#   scripts/soak-input.sh [--seconds N] [--seed FIRST] [--seeds COUNT] [--build DIR]
# CI runs one minute of seed 1; before a change to the shell lands, run ten minutes or more.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=60
seed=1
seeds=1
build=build-asan
while [ $# -gt 0 ]; do
    case "$1" in
    --seconds) seconds=$2 ;;
    --seed) seed=$2 ;;
    --seeds) seeds=$2 ;;
    --build) build=$2 ;;
    *)
        echo "usage: scripts/soak-input.sh [--seconds N] [--seed FIRST] [--seeds COUNT] [--build DIR]" >&2
        exit 2
        ;;
    esac
    shift 2
done
source scripts/sanitizer-env.sh
cmake --build "$build" --target input_soak
for current in $(seq "$seed" $((seed + seeds - 1))); do
    "$build/tests/input_soak" --program "$build/src/vesperin" \
        --defaults "$build/src/vesperin-defaults" --seconds "$seconds" --seed "$current"
done
