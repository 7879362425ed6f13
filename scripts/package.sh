#!/usr/bin/env bash
# Makes the Debian package and checks it:
#  1. a Release build in build-package/ with Debian's hardening flags (no tests);
#  2. installed into build-package/staging and checked there (scripts/check-install.sh: files
#     in place, desktop-file-validate, appstreamcli, man);
#  3. packed by CPack (build-package/vesperin_<version>_<arch>.deb) and checked by lintian,
#     which must report no error;
#  4. unpacked with dpkg -x into a temporary root and checked as in 2, then installed and
#     removed again with dpkg in another temporary root of its own (its own dpkg database;
#     dependencies are not there, so they are not enforced), which must leave nothing;
#  5. its control fields listed with dpkg-deb -f.
# Installs the packaging tools it needs. Extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh dpkg-dev lintian
build=build-package

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
if [ ! -f "$build/build.ninja" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        -DVESPERIN_BUILD_TESTS=OFF \
        -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
        -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" "$@" >/dev/null
fi
cmake --build "$build" -j "$(nproc)"

echo "== the installed files"
scripts/check-install.sh "$build/staging" "$build"

echo "== the package"
rm -f "$build"/vesperin_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/vesperin_*.deb)
echo "$deb"
echo "== lintian"
lintian --fail-on error "$deb"

roots=$(mktemp -d)
trap 'rm -rf "$roots"' EXIT
echo "== unpacked with dpkg -x"
dpkg-deb -x "$deb" "$roots/unpacked"
scripts/check-install.sh "$roots/unpacked"

echo "== installed and removed with dpkg"
installed=$roots/installed
mkdir -p "$installed/var/lib/dpkg/info" "$installed/var/lib/dpkg/updates"
touch "$installed/var/lib/dpkg/status"
# Only what dpkg says of the missing dependencies is left out of the output.
if ! log=$(dpkg --root="$installed" --force-depends --install "$deb" 2>&1); then
    echo "$log" >&2
    exit 1
fi
dpkg --root="$installed" --status vesperin | grep -x "Status: install ok installed"
dpkg --root="$installed" --purge vesperin >/dev/null
left=$(find "$installed" -mindepth 1 -not -path "$installed/var/lib/dpkg*" -not -type d)
if [ -n "$left" ]; then
    echo "package.sh: removing the package left files behind:" >&2
    echo "$left" >&2
    exit 1
fi
echo "removed without a trace"

echo "== control"
dpkg-deb -f "$deb" Package Version Architecture Section Installed-Size Depends Recommends \
    Suggests
