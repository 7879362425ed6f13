#!/usr/bin/env bash
# Sets up, checks the formatting (in a second, before anything is built), builds with warnings
# as errors and runs every test, headless; checks what changed with clang-tidy; then builds and
# runs every test again under AddressSanitizer and UndefinedBehaviorSanitizer
# (scripts/sanitize.sh, in build-asan/), and drives that build of the application with a
# minute of random input (scripts/soak-input.sh); last, runs the status items inside the real
# panels of GNOME, Xfce, MATE, LXQt and sway (scripts/hosts.sh). It prints the tests' share of
# the code lines (scripts/test-share.sh) without failing on it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/check-format.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
scripts/test-share.sh
scripts/check-tidy.sh
scripts/sanitize.sh
scripts/soak-input.sh --seconds 60 --seed 1
scripts/hosts.sh --starts 10
