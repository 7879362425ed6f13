#!/usr/bin/env bash
# Checks an installed Vesperin under ROOT (a DESTDIR whose prefix is /usr): the programs,
# their manual pages, the desktop entry, the AppStream metainfo and every icon (the status
# items' day pages among them) are in their
# standard places; the desktop entry and the metainfo pass their validators, the manual pages
# format without a warning, and each PNG icon has the size its folder names.
#
#   scripts/check-install.sh ROOT [BUILD_DIR]
#
# With BUILD_DIR, first empties ROOT and installs that build into it (cmake --install).
# Needs desktop-file-validate, appstreamcli, man and ImageMagick's identify.
set -euo pipefail
root=$1
usr=$root/usr
id=com.orvennalabs.Vesperin
failures=0

fail() {
    echo "check-install: $*" >&2
    failures=$((failures + 1))
}

if [ $# -ge 2 ]; then
    rm -rf "$root"
    DESTDIR=$root cmake --install "$2" --prefix /usr >/dev/null
fi

# The status line is documented in vesperin(1), whose option starts it.
[ -x "$usr/bin/vesperin-status-line" ] || fail "no program $usr/bin/vesperin-status-line"
# The network helper has no page of its own: only the application starts it.
[ -x "$usr/bin/vesperin-network" ] || fail "no program $usr/bin/vesperin-network"
for program in vesperin vesperin-defaults; do
    [ -x "$usr/bin/$program" ] || fail "no program $usr/bin/$program"
    page=$usr/share/man/man1/$program.1.gz
    if [ ! -f "$page" ]; then
        fail "no manual page $page"
    elif warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" \
                    2>&1 >/dev/null) && [ -n "$warnings" ]; then
        fail "$page: $warnings"
    fi
done

# Errors fail the validator; its hints are printed and pass.
entry=$usr/share/applications/$id.desktop
desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
[ -x "$usr/bin/${exec_line%% *}" ] || fail "$entry starts '$exec_line', which is not installed"
# The metainfo, with its launchable checked against the installed desktop entry.
appstreamcli validate-tree --no-net "$root" || fail "the metainfo under $root does not validate"

icons=$usr/share/icons/hicolor
[ -f "$icons/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
    png=$icons/${size}x${size}/apps/$id.png
    found=$(identify -format '%wx%h' "$png" 2>/dev/null || echo missing)
    [ "$found" = "${size}x${size}" ] || fail "$png: $found"
done
# The status items' day pages, by name, for the panels that read only names.
for size in 16 22 24 32 48; do
    for name in vesperin-calendar vesperin-day-1 vesperin-day-31; do
        png=$icons/${size}x${size}/status/$name.png
        found=$(identify -format '%wx%h' "$png" 2>/dev/null || echo missing)
        [ "$found" = "${size}x${size}" ] || fail "$png: $found"
    done
done
[ ! -e "$icons/index.theme" ] || fail "the install would replace the hicolor theme's index"

if [ "$failures" -gt 0 ]; then
    echo "check-install: $failures problems under $root" >&2
    exit 1
fi
echo "check-install: every file in place under $root, and valid"
