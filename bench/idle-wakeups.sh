#!/usr/bin/env bash
# How often an idle application wakes up: for each vesperin binary given, starts it on a
# private Xvfb with a profile of its own (onboarded, menu-bar mode, one "{HH}:{min}" item,
# written with the vesperin-defaults beside the binary), lets it settle, then counts the
# voluntary context switches of all its threads over a measured interval. With two binaries it
# also prints the ratio of the second's figure to the first's.
#   bench/idle-wakeups.sh build/src/vesperin [other-build/src/vesperin]
# VESPERIN_IDLE_SECONDS sets the measured interval (60 by default), VESPERIN_IDLE_SETTLE the
# time left to settle first (5 by default).
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 BINARY [BINARY...]" >&2
    exit 2
fi
seconds=${VESPERIN_IDLE_SECONDS:-60}
settle=${VESPERIN_IDLE_SETTLE:-5}

work=$(mktemp -d "${TMPDIR:-/tmp}/vesperin-idle-XXXXXX")
pids=()
# Ends the application and its X server, so the next binary is measured alone.
stop_started() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    pids=()
}
trap 'stop_started; rm -rf "$work"' EXIT

# The sum of the voluntary context switches of every thread of a process, one line per
# thread: "<tid> <count>". A thread may end between the listing and the read; it is skipped.
thread_switches() {
    local task
    for task in /proc/"$1"/task/*; do
        awk -v tid="${task##*/}" '/^voluntary_ctxt_switches:/ { print tid, $2 }' \
            "$task/status" 2>/dev/null || true
    done
}

# Switches made during the interval by the threads alive at its end: a thread started during
# it counts from zero. Threads that ended during it are not counted.
switches_between() {
    awk 'NR == FNR { before[$1] = $2; next } { total += $2 - before[$1] } END { print total + 0 }' \
        "$1" "$2"
}

source "$(dirname "$0")/common.sh"

figures=()
for binary in "$@"; do
    binary=$(realpath "$binary")
    defaults="$(dirname "$binary")/vesperin-defaults"
    [ -x "$binary" ] || { echo "$binary: not an executable" >&2; exit 1; }
    [ -x "$defaults" ] || { echo "$defaults: not found beside the binary" >&2; exit 1; }

    home=$(mktemp -d "$work/home-XXXXXX")
    make_profile "$home"
    write_vesperin_profile "$defaults" "{HH}:{min}"

    start_xvfb "$home/display"
    pids+=("$xvfb_pid")

    env "${environment[@]}" DISPLAY="$display" "$binary" 2>"$home/stderr" &
    app=$!
    pids+=("$app")
    sleep "$settle"
    thread_switches "$app" >"$home/before"
    sleep "$seconds"
    thread_switches "$app" >"$home/after"
    if ! kill -0 "$app" 2>/dev/null; then
        echo "$binary ended during the measure:" >&2
        cat "$home/stderr" >&2
        exit 1
    fi

    per_minute=$(awk -v n="$(switches_between "$home/before" "$home/after")" -v s="$seconds" \
        'BEGIN { printf "%.0f", n * 60 / s }')
    figures+=("$per_minute")
    echo "$binary: $per_minute voluntary context switches per minute"
    stop_started
done

if [ ${#figures[@]} -eq 2 ]; then
    awk -v a="${figures[0]}" -v b="${figures[1]}" 'BEGIN {
        if (a == 0) print "ratio (second / first): undefined, the first made none"
        else printf "ratio (second / first): %.2f\n", b / a }'
fi
