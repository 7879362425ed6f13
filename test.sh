#!/usr/bin/env bash
# Sets up, builds and runs every test, headless; then builds and runs them all again under
# AddressSanitizer and UndefinedBehaviorSanitizer (scripts/sanitize.sh, in build-asan/).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
scripts/sanitize.sh
