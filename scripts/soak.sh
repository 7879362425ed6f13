#!/usr/bin/env bash
# Runs one test program again and again while two busy loops keep both cores loaded, under
# the sanitizer build's options, and fails when any run fails. A timing or end-to-end test
# should pass here many times before it is trusted on a busy CI machine.
#   scripts/soak.sh 20 build-asan/tests/scenarios/end_to_end_tests [--gtest_filter=...]
# The log of each failed run is kept in out/soak/.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=$1
shift
source scripts/sanitizer-env.sh
mkdir -p out/soak
busy=()
for _ in 1 2; do
    (while :; do :; done) &
    busy+=($!)
done
trap 'kill "${busy[@]}" 2>/dev/null || true' EXIT
failed=0
for run in $(seq "$runs"); do
    if ! "$@" >"out/soak/run-$run.log" 2>&1; then
        echo "run $run failed: out/soak/run-$run.log"
        failed=$((failed + 1))
    else
        rm -f "out/soak/run-$run.log"
    fi
done
echo "$((runs - failed)) of $runs runs passed"
[ "$failed" -eq 0 ]
