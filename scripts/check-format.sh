#!/usr/bin/env bash
# Fails when a tracked C++ file (.cpp, .h) is not as clang-format, with the repository's
# .clang-format, would write it, and shows where. It takes a second or two, so ./test.sh runs
# it before building. Fix a file with: clang-format -i FILE
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "check-format: the files above are not formatted; run clang-format -i on them" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted"
