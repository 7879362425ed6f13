#!/usr/bin/env bash
# Prints the tests' share of all code lines: the lines of C++ (.cpp, .h) under tests/ against
# those of the product under src/. The aim is at most a third; the fuzz harnesses (fuzz/) and
# the benchmarks (bench/) are shown beside it, outside the share.
set -euo pipefail
cd "$(dirname "$0")/.."

lines() {
    find "$@" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat | wc -l
}

product=$(lines src)
tests=$(lines tests)
share=$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.1f", 100 * t / (t + p) }')
echo "test share: $share % ($tests test lines, $product product lines; aim: at most 33.3 %)"
echo "beside it: $(lines fuzz) fuzz harness lines, $(lines bench) benchmark lines"
