#!/usr/bin/env bash
# Runs Vesperin inside the real desktop panels users run, each on a private X server with a
# private session bus (and a second private bus standing in for the system bus), and prints one
# table row per panel:
#
#   scripts/hosts.sh [--build DIR] [--starts N] [--pictures DIR] [HOST...]
#
# HOST is gnome (GNOME Shell with the AppIndicator extension) or xfce (Xfce's panel with its
# status tray); without one, both. Each row checks, with a seconds item and a date item:
#   shown   both items registered with the panel's watcher within 2 s of the start
#   labels  the labels' text on the screen (read by OCR), where the panel shows labels
#   order   the items' icons left to right on the screen are in layout order (each icon is
#           clicked and the item the panel calls is noted)
#   click   that click opens the calendar under the item (GNOME's primary click opens the
#           item's menu, so there the middle click is used, which GNOME gives no position)
#   menu    the panel reads the status menu's rows from the item
#   starts  N fresh starts (10 by default) each with both items still shown 4 s after the start
# It exits non-zero when a row has a failure. Needs root (or sudo) the first time, to install
# the panels (through scripts/setup.sh). Writes nothing outside a temporary folder, and --pictures DIR when given.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
starts=10
pictures=
hosts=()
while [ $# -gt 0 ]; do
    case $1 in
        --build) build=$2; shift 2 ;;
        --starts) starts=$2; shift 2 ;;
        --pictures) pictures=$(realpath -m "$2"); shift 2 ;;
        gnome|xfce) hosts+=("$1"); shift ;;
        *) echo "usage: scripts/hosts.sh [--build DIR] [--starts N] [--pictures DIR] [gnome|xfce]..." >&2
           exit 2 ;;
    esac
done
[ ${#hosts[@]} -gt 0 ] || hosts=(gnome xfce)
app=$(realpath "$build/src/vesperin")
defaults=$(realpath "$build/src/vesperin-defaults")

declare -A packages=(
    [gnome]="gnome-shell gnome-shell-extension-appindicator"
    [xfce]="xfce4-panel xfwm4 xfconf"
)
common="xdotool tesseract-ocr tesseract-ocr-eng libglib2.0-bin"
# shellcheck disable=SC2046 # one package a word
scripts/setup.sh $common $(for host in "${hosts[@]}"; do echo "${packages[$host]}"; done)

work=$(mktemp -d /tmp/vesperin-hosts.XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

seconds_id=11111111-1111-4111-8111-111111111111
date_id=22222222-2222-4222-8222-222222222222
layout="[{\"id\":\"$seconds_id\",\"enabled\":true,\"template\":\"{HH}:{min}:{sec}\"},"
layout+="{\"id\":\"$date_id\",\"enabled\":true,\"template\":\"{wd} {day} {mon}\"}]"

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
    local deadline=$((SECONDS + $1)); shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

bus_call() { gdbus call --session --timeout 3 "$@"; }

# A private X server and buses; exports what a session's programs read.
start_session() {
    local home=$work/$1
    mkdir -p "$home"/{home,config,data,cache,runtime}
    chmod 700 "$home/runtime"
    local display=90
    while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
    Xvfb :$display -screen 0 1366x768x24 -nolisten tcp >"$home/xvfb.log" 2>&1 &
    pids+=($!)
    export DISPLAY=:$display HOME=$home/home XDG_CONFIG_HOME=$home/config
    export XDG_DATA_HOME=$home/data XDG_CACHE_HOME=$home/cache XDG_RUNTIME_DIR=$home/runtime
    wait_for 10 xdotool getdisplaygeometry
    local bus
    for bus in session system; do
        dbus-daemon --session --fork --print-address=1 --print-pid=1 >"$home/$bus.bus"
        pids+=("$(sed -n 2p "$home/$bus.bus")")
    done
    export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p "$home/session.bus")
    export DBUS_SYSTEM_BUS_ADDRESS=$(sed -n 1p "$home/system.bus")
    session=$home
}

watcher_present() {
    bus_call --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher | grep -q true
}

start_gnome() {
    gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']"
    gnome-shell --x11 --replace >"$session/panel.log" 2>&1 &
    pids+=($!)
    wait_for 60 watcher_present
    # GNOME opens the overview once it has started; the desktop is what matters.
    wait_for 20 overview_closed
}

overview_closed() {
    local shell=(--dest org.gnome.Shell --object-path /org/gnome/Shell)
    bus_call "${shell[@]}" --method org.freedesktop.DBus.Properties.Set org.gnome.Shell \
        OverviewActive "<false>"
    sleep 1
    bus_call "${shell[@]}" --method org.freedesktop.DBus.Properties.Get org.gnome.Shell \
        OverviewActive | grep -q false
}

start_xfce() {
    local channel=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
    mkdir -p "$channel"
    cp /etc/xdg/xfce4/panel/default.xml "$channel/xfce4-panel.xml"
    xfwm4 >"$session/wm.log" 2>&1 &
    pids+=($!)
    xfce4-panel >"$session/panel.log" 2>&1 &
    pids+=($!)
    wait_for 30 watcher_present
}

start_app() {
    pkill -f "^$app" 2>/dev/null || true
    rm -rf "$XDG_CONFIG_HOME/com.orvennalabs.vesperin"* "$XDG_DATA_HOME/Vesperin" "$XDG_CACHE_HOME/Vesperin"
    "$defaults" write com.orvennalabs.vesperin VSPMenuBarMode -bool true
    "$defaults" write com.orvennalabs.vesperin VSPOnboarded -bool true
    "$defaults" write com.orvennalabs.vesperin VSPMenuBarLayout -data \
        "$(printf '%s' "$layout" | od -An -v -tx1 | tr -d ' \n')"
    QT_LOGGING_RULES="vesperin.*.debug=true" "$app" >>"$session/app.log" 2>&1 &
    app_pid=$!
    pids+=($app_pid)
}

# "BUS ID" for each of the application's items the watcher has, in the watcher's order.
registered_items() {
    local entry name
    for entry in $(bus_call --dest org.kde.StatusNotifierWatcher --object-path /StatusNotifierWatcher \
                   --method org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierWatcher \
                   RegisteredStatusNotifierItems | grep -o "[:a-zA-Z0-9._-]*[/@]*[/A-Za-z]*" |
                   grep -E "^(:|org)"); do
        name=${entry%%[/@]*}
        id=$(bus_call --dest "$name" --object-path /StatusNotifierItem --method \
             org.freedesktop.DBus.Properties.Get org.kde.StatusNotifierItem Id 2>/dev/null |
             grep -o "VSP-[0-9a-f-]*" || true)
        [ -n "$id" ] && echo "$name $id"
    done
}

both_registered() { [ "$(registered_items | wc -l)" -eq 2 ]; }

# The centres of our icons in the top 40 rows, left to right: runs of the page's blue band.
icon_centres() {
    import -window root -crop 1366x40+0+0 "$session/bar.png"
    # Lines read "x,y: (r,g,b)  #RRGGBB  name".
    convert "$session/bar.png" -depth 8 txt:- | awk -F'[,: ()]+' '
        NR > 1 && $3 < 90 && $4 > 100 && $4 < 150 && $5 > 200 { hit[$1] = 1 }
        END {
            start = -1
            for (x = 0; x <= 1366; x++) {
                if (x in hit) { if (start < 0) start = x; last = x }
                else if (start >= 0 && x - last > 6) { print int((start + last) / 2); start = -1 }
            }
        }'
}

# Clicks at ($1, 12) with button $2 and prints the bus name of the item the panel called.
clicked_item() {
    dbus-monitor --session "type='method_call',interface='org.kde.StatusNotifierItem'" \
        >"$session/monitor.log" 2>&1 &
    local monitor=$!
    sleep 0.3
    xdotool mousemove "$1" 12 click "$2"
    sleep 1
    kill $monitor 2>/dev/null || true
    grep -E "member=(Activate|SecondaryActivate|XAyatanaSecondaryActivate)" "$session/monitor.log" |
        grep -o "destination=[^ ]*" | head -1 | cut -d= -f2
}

# "x left right top" of the calendar panel when it is shown.
calendar_window() {
    local window
    window=$(xdotool search --onlyvisible --name "^Vesperin calendar$" | head -1)
    [ -n "$window" ] || return 1
    xdotool getwindowgeometry --shell "$window" | tr '\n' ' '
}

check_host() {
    local host=$1 failures=0 shown=ok labels=- order=- click=- menu=- good=0
    start_session "$host"
    "start_$host"
    start_app
    if ! wait_for 2 both_registered; then shown=FAIL; failures=$((failures + 1)); fi
    sleep 3
    local items
    items=$(registered_items)
    [ -z "$pictures" ] || { mkdir -p "$pictures"; import -window root -crop 1366x40+0+0 "$pictures/$host-top-bar.png"; }

    if [ "$host" = gnome ]; then
        import -window root -crop 600x32+766+0 "$session/labels.png"
        convert "$session/labels.png" -resize 300% -colorspace Gray -negate "$session/labels-ocr.png"
        local text
        text=$(tesseract "$session/labels-ocr.png" - 2>/dev/null | tr -d ' \n')
        if [[ $text =~ [0-9]{2}:[0-9]{2}:[0-9]{2} ]] && [[ $text == *"$(LC_ALL=C date +%a%-d%b)"* ]]; then
            labels=ok
        else
            labels="FAIL($text)"; failures=$((failures + 1))
        fi
    fi

    # Left to right, which item each icon is; the click also opens the calendar.
    local button=1 names=() centre bus
    [ "$host" = gnome ] && button=2
    click=ok
    for centre in $(icon_centres); do
        bus=$(clicked_item "$centre" $button)
        names+=("$(echo "$items" | awk -v bus="$bus" '$1 == bus { print $2 }')")
        local geometry
        if geometry=$(wait_for 2 calendar_window && calendar_window); then
            eval "$(echo "$geometry" | tr ' ' '\n' | grep -E '^(X|Y|WIDTH)=')"
            if [ "$centre" -lt "$X" ] || [ "$centre" -gt $((X + WIDTH)) ] || [ "$Y" -gt 60 ]; then
                click="FAIL(at $X,$Y)"; failures=$((failures + 1))
            fi
            [ -z "$pictures" ] || import -window root "$pictures/$host-calendar.png"
        else
            click=FAIL; failures=$((failures + 1))
        fi
        xdotool key Escape
        sleep 0.5
    done
    if [ "${names[*]}" = "VSP-$seconds_id VSP-$date_id" ]; then
        order=ok
    else
        order="FAIL(${names[*]:-no icons})"; failures=$((failures + 1))
    fi

    # The rows the panel reads, the calendar's first and Quit last.
    local first rows
    first=$(echo "$items" | head -1 | cut -d' ' -f1)
    rows=$(bus_call --dest "$first" --object-path /MenuBar --method com.canonical.dbusmenu.GetLayout \
           -- 0 -1 "[]" 2>/dev/null | grep -o "'label': <'[^']*'>")
    rows=$( (echo "$rows" | head -1 | grep -q "Open the Calendar" &&
             echo "$rows" | tail -1 | grep -q "Quit Vesperin" && echo "$rows" | wc -l) || echo 0)
    if [ "$rows" -ge 5 ]; then menu="ok($rows rows)"; else menu="FAIL($rows rows)"; failures=$((failures + 1)); fi

    for _ in $(seq "$starts"); do
        start_app
        wait_for 2 both_registered && sleep 4 && both_registered && good=$((good + 1))
    done
    [ "$good" -eq "$starts" ] || failures=$((failures + 1))
    printf '%-6s | %-5s | %-14s | %-8s | %-10s | %-12s | %s/%s\n' \
        "$host" "$shown" "$labels" "$order" "$click" "$menu" "$good" "$starts"
    pkill -f "^$app" 2>/dev/null || true
    return $((failures > 0))
}

printf '%-6s | %-5s | %-14s | %-8s | %-10s | %-12s | %s\n' host shown labels order click menu starts
status=0
for host in "${hosts[@]}"; do
    # Each host in a shell of its own: its exports and processes stay there.
    (
        trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT
        check_host "$host"
    ) || status=1
done
exit $status
