#!/usr/bin/env bash
# Installs the Debian packages Vesperin builds, tests and runs with, and any further packages
# named as arguments (scripts/package.sh adds its packaging tools). Safe to run again: it only
# calls apt-get when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev libxcb-xtest0-dev
    libicu-dev libssl-dev openssl tzdata
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth x11-utils openbox imagemagick fonts-dejavu-core fonts-noto-color-emoji dbus-daemon
    clang
    # the format and static-analysis checks CI makes
    clang-format clang-tidy
    # the checks of the installed files, and of the scalable icon against the drawn one
    desktop-file-utils appstream man-db librsvg2-bin
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
