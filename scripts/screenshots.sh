#!/usr/bin/env bash
# Makes the pictures of docs/images/ from the real program: each is taken on a private Xvfb
# with a profile of its own (two items in the top bar, Paris time, US English), with the
# debug switch that opens what it shows.
#   scripts/screenshots.sh [OUTPUT_FOLDER]      (docs/images/ by default)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/images}")
scripts/setup.sh
scripts/build.sh >/dev/null
source bench/common.sh
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/vesperin-shots-XXXXXX")
trap 'kill "${app:-}" "${xvfb_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

layout='[{"id":"0F3C9A52-6B1E-4D7A-8C2F-5E9B1A7D3C40","enabled":true,"template":"{wd} {day} {mon}"},
{"id":"7A1D2E3F-4B5C-4D6E-9F80-1A2B3C4D5E6F","enabled":true,"template":"{flag} {city} {HH}:{min}"}]'
layout_hex=$(printf '%s' "$layout" | od -An -v -tx1 | tr -d ' \n')

# shoot NAME MENU_BAR_MODE CROP [VARIABLE=VALUE...]: CROP is ImageMagick's WxH+X+Y, or "full".
shoot() {
    local name=$1 menu_bar=$2 crop=$3 setting
    shift 3
    local home=$work/$name
    make_profile "$home"
    for setting in "VSPOnboarded -bool true" "VSPMenuBarMode -bool $menu_bar" \
                   "VSPShowInMenuBar -bool true" "VSPMenuBarLayout -data $layout_hex"; do
        # shellcheck disable=SC2086 # the setting is three words on purpose
        env "${environment[@]}" build/src/vesperin-defaults write com.orvennalabs.vesperin $setting
    done
    start_xvfb "$home/display"
    env "${environment[@]}" DISPLAY="$display" "$@" build/src/vesperin 2>/dev/null &
    app=$!
    sleep 3
    DISPLAY="$display" import -window root "$home/screen.png"
    if [ "$crop" = full ]; then
        cp "$home/screen.png" "$out/$name.png"
    else
        convert "$home/screen.png" -crop "$crop" +repage "$out/$name.png"
    fi
    # Kept in the repository for the README: small, without metadata.
    convert "$out/$name.png" -strip -define png:compression-level=9 "$out/$name.png"
    kill "$app" "$xvfb_pid" 2>/dev/null || true
    wait "$app" "$xvfb_pid" 2>/dev/null || true
    echo "$out/$name.png"
}

shoot bar true 640x24+640+0
shoot panel true 640x420+640+0 ORVENNA_DEBUG_PANEL=1
shoot editor true full ORVENNA_DEBUG_MENUBAR=1
shoot settings false full ORVENNA_DEBUG_SETTINGS=1
