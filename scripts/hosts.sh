#!/usr/bin/env bash
# Runs Vesperin inside the real desktop panels users run, each on a private X server with a
# private session bus (and a second private bus standing in for the system bus), and prints one
# table row per panel:
#
#   scripts/hosts.sh [--build DIR] [--starts N] [--pictures DIR] [HOST...]
#
# HOST is one of
#   gnome      GNOME Shell with the AppIndicator extension
#   xfce       Xfce's panel with its status tray
#   mate       MATE's panel with the Ayatana indicator applet
#   mate-tray  MATE's panel with its stock notification area
#   lxqt       LXQt's panel with its status notifier plugin
#   sway       sway (headless, run as an unprivileged user) with waybar's tray
#   swaybar    sway's own bar, its status_command `vesperin --status-line=i3bar`
#   waybar     waybar on sway, a custom module running `vesperin --status-line=waybar`
#   polybar    polybar on X11, a custom/script module running `vesperin --status-line=plain`,
#              whose click starts `vesperin --open=panel`
# and without one, all of them. Each row checks, with a seconds item and a date item:
#   shown   both items registered with the panel's watcher within 2 s of the start
#   labels  the labels' text on the screen (read by OCR), where the panel shows labels
#   order   the items left to right on the screen are in layout order: each icon is clicked
#           and the item the panel calls is noted; where the panel shows no icons, the
#           labels' order on the screen
#   click   that click opens the calendar under the item (where a panel's primary click opens
#           the item's menu, the middle click is used, which those panels give no position)
#   menu    the panel reads the status menu's rows from the item
#   starts  N fresh starts (10 by default) each with both items still shown 4 s after the start
# Headless sway has no pointer, so its row clicks nothing; instead it counts the icons on the
# screen and then ends waybar: with no panel left, a Wayland session gets the main window, never
# a bar of the application's own tiled over the workspace. The rows of the bars that run the
# status line (swaybar, waybar, polybar) check: shown (the line with today's date was written),
# labels (the seconds item and the date read on the screen, in layout order, the seconds moving
# on between two readings), click (on polybar, a click on the text opens the calendar through
# `vesperin --open=panel`; sway has no pointer to click with, and a unit test sends i3bar's
# clicks; every row: the status line ends with the bar), and no menu or starts.
# It exits non-zero when a row has a failure. Needs root (or sudo) the first time, to install
# the panels (through scripts/setup.sh). Writes nothing outside a temporary folder, and --pictures DIR when given.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
starts=10
pictures=
inner=false
hosts=()
while [ $# -gt 0 ]; do
    case $1 in
        --build) build=$2; shift 2 ;;
        --starts) starts=$2; shift 2 ;;
        --pictures) pictures=$(realpath -m "$2"); shift 2 ;;
        # The script calling itself as another user: no packages, no table header.
        --inner) inner=true; shift ;;
        gnome|xfce|mate|mate-tray|lxqt|sway|swaybar|waybar|polybar) hosts+=("$1"); shift ;;
        *) echo "usage: scripts/hosts.sh [--build DIR] [--starts N] [--pictures DIR] [HOST]..." >&2
           exit 2 ;;
    esac
done
[ ${#hosts[@]} -gt 0 ] || hosts=(gnome xfce mate mate-tray lxqt sway swaybar waybar polybar)
app=$(realpath "$build/src/vesperin")
defaults=$(realpath "$build/src/vesperin-defaults")

declare -A packages=(
    [gnome]="gnome-shell gnome-shell-extension-appindicator"
    [xfce]="xfce4-panel xfwm4 xfconf"
    [mate]="mate-panel mate-indicator-applet ayatana-indicator-application xfwm4 dconf-gsettings-backend"
    [mate-tray]="mate-panel xfwm4 dconf-gsettings-backend"
    [lxqt]="lxqt-panel xfwm4"
    [sway]="sway waybar xwayland grim qt6-wayland util-linux"
    [swaybar]="sway grim util-linux"
    [waybar]="sway waybar grim util-linux"
    [polybar]="polybar"
)
common="xdotool tesseract-ocr tesseract-ocr-eng libglib2.0-bin"
if ! $inner; then
    # shellcheck disable=SC2046 # one package a word
    scripts/setup.sh $common $(for host in "${hosts[@]}"; do echo "${packages[$host]}"; done)
fi

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

# Private folders and buses for one session; exports what a session's programs read.
start_buses() {
    local home=$work/$1
    mkdir -p "$home"/{home,config,data,cache,runtime}
    chmod 700 "$home/runtime"
    export HOME=$home/home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
    export XDG_CACHE_HOME=$home/cache XDG_RUNTIME_DIR=$home/runtime
    local bus
    for bus in session system; do
        dbus-daemon --session --fork --print-address=1 --print-pid=1 >"$home/$bus.bus"
        pids+=("$(sed -n 2p "$home/$bus.bus")")
    done
    export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p "$home/session.bus")
    export DBUS_SYSTEM_BUS_ADDRESS=$(sed -n 1p "$home/system.bus")
    session=$home
}

# A private X server, then the buses, which hand DISPLAY on to what they start (panel applets).
start_x_session() {
    local display=90
    while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do display=$((display + 1)); done
    mkdir -p "$work/$1"
    Xvfb :$display -screen 0 1366x768x24 -nolisten tcp >"$work/$1/xvfb.log" 2>&1 &
    pids+=($!)
    export DISPLAY=:$display
    wait_for 10 xdotool getdisplaygeometry
    start_buses "$1"
}

# Writes the top rows of the screen, or the part WxH+X+Y of them, to $1.
grab() {
    local geometry=${2:-1366x40+0+0}
    if [ -n "${WAYLAND_DISPLAY:-}" ]; then
        local size=${geometry%%+*} offset=${geometry#*+}
        grim -g "${offset%+*},${offset#*+} $size" "$1"
    else
        import -window root -crop "$geometry" "$1"
    fi
}

watcher_present() {
    bus_call --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher | grep -q true
}

start_gnome() {
    start_x_session gnome
    gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']"
    start_panel 60 gnome-shell --x11 --replace
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

start_window_manager() {
    xfwm4 >"$session/wm.log" 2>&1 &
    pids+=($!)
}

# Starts the panel, the command that follows $1, and waits up to $1 seconds for its watcher.
start_panel() {
    local seconds=$1
    shift
    "$@" >"$session/panel.log" 2>&1 &
    pids+=($!)
    wait_for "$seconds" watcher_present
}

start_xfce() {
    start_x_session xfce
    local channel=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
    mkdir -p "$channel"
    cp /etc/xdg/xfce4/panel/default.xml "$channel/xfce4-panel.xml"
    start_window_manager
    start_panel 30 xfce4-panel
}

# One top panel holding one applet, $1, at its right end.
start_mate_panel() {
    gsettings set org.mate.panel toplevel-id-list "['top']"
    gsettings set org.mate.panel.toplevel:/org/mate/panel/toplevels/top/ orientation top
    gsettings set org.mate.panel object-id-list "['status']"
    local object=org.mate.panel.object:/org/mate/panel/objects/status/
    gsettings set $object object-type applet
    gsettings set $object applet-iid "$1"
    gsettings set $object toplevel-id top
    gsettings set $object panel-right-stick true
    start_window_manager
    start_panel 30 mate-panel
}

start_mate() {
    start_x_session mate
    # The applet shows what this service, the watcher, collects.
    /usr/libexec/ayatana-indicator-application/ayatana-indicator-application-service \
        >"$session/indicators.log" 2>&1 &
    pids+=($!)
    start_mate_panel IndicatorAppletFactory::IndicatorApplet
}

start_mate-tray() {
    start_x_session mate-tray
    start_mate_panel NotificationAreaAppletFactory::NotificationArea
}

start_lxqt() {
    start_x_session lxqt
    mkdir -p "$XDG_CONFIG_HOME/lxqt"
    printf '[panel1]\nplugins=statusnotifier\nposition=Top\npanelSize=28\n[statusnotifier]\ntype=statusnotifier\n' \
        >"$XDG_CONFIG_HOME/lxqt/panel.conf"
    start_window_manager
    start_panel 30 lxqt-panel
}

# Headless sway with the bar given as the lines of its config's bar block, and waybar's
# config when given: written before sway starts, which starts the bar at once.
start_sway_with_bar() {
    unset DISPLAY
    start_buses "$1"
    mkdir -p "$XDG_CONFIG_HOME"/{sway,waybar}
    printf 'output HEADLESS-1 resolution 1366x768\nbar {\n%s\n}\n' "$2" >"$XDG_CONFIG_HOME/sway/config"
    [ -z "${3:-}" ] || printf '%s\n' "$3" >"$XDG_CONFIG_HOME/waybar/config"
    export XDG_SESSION_TYPE=wayland WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
    sway >"$session/panel.log" 2>&1 &
    pids+=($!)
    wait_for 20 ls "$XDG_RUNTIME_DIR"/wayland-1
    export WAYLAND_DISPLAY=wayland-1
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
    export SWAYSOCK
}

start_sway() {
    start_sway_with_bar sway '    swaybar_command waybar' \
        '{"layer": "top", "position": "top", "height": 28, "modules-left": ["tray"], "tray": {"spacing": 10}}'
    wait_for 30 watcher_present
}

# A user in the bar, past the first question, with the seconds item and the date item.
store_layout() {
    "$defaults" write com.orvennalabs.vesperin VSPMenuBarMode -bool true
    "$defaults" write com.orvennalabs.vesperin VSPOnboarded -bool true
    "$defaults" write com.orvennalabs.vesperin VSPMenuBarLayout -data \
        "$(printf '%s' "$layout" | od -An -v -tx1 | tr -d ' \n')"
}

start_app() {
    pkill -f "^$app" 2>/dev/null || true
    rm -rf "$XDG_CONFIG_HOME/com.orvennalabs.vesperin"* "$XDG_DATA_HOME/Vesperin" "$XDG_CACHE_HOME/Vesperin"
    store_layout
    local run="env QT_LOGGING_RULES='vesperin.*.debug=true' $app >$session/app.log 2>&1"
    if [ -n "${SWAYSOCK:-}" ]; then
        # From the compositor, as a user's launcher starts it: with sway's XWayland display.
        swaymsg exec "$run" >/dev/null
    else
        sh -c "exec $run" &
        pids+=($!)
    fi
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
    grab "$session/bar.png"
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

# The text in the right part of the top bar, where the panels put the items, read three times
# enlarged: the words, one "left right text" a line, in screen columns.
label_words() {
    local left=766
    grab "$session/labels.png" "600x28+$left+0"
    convert "$session/labels.png" -resize 300% -colorspace Gray -negate "$session/labels-ocr.png"
    tesseract "$session/labels-ocr.png" - tsv 2>/dev/null |
        awk -F'\t' -v left=$left 'NR > 1 && $12 ~ /[^ ]/ {
            print int(left + $7 / 3), int(left + ($7 + $9) / 3), $12 }'
}

# Where to click each label when a panel shows no icons: inside the first label's left end and
# the last label's right end (a panel may leave no space between two labels).
label_ends() {
    label_words >"$session/words"
    [ -s "$session/words" ] || return 0
    echo $(($(head -1 "$session/words" | cut -d' ' -f1) + 8))
    echo $(($(tail -1 "$session/words" | cut -d' ' -f2) - 8))
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

# Prints "labels order click" for a panel on an X server.
check_on_screen() {
    local host=$1 items=$2 labels=- click=ok names=() centre bus
    if [[ $host =~ ^(gnome|mate|mate-tray)$ ]]; then
        local text
        text=$(label_words | cut -d' ' -f3- | tr -d ' \n')
        if [[ $text =~ [0-9]{2}:[0-9]{2}:[0-9]{2}.*$(LC_ALL=C date +%a%-d%b) ]]; then
            labels=ok
        else
            labels="FAIL(${text:-nothing})"
        fi
    fi
    # The panels whose primary click opens the item's menu.
    local button=1
    [[ $host =~ ^(gnome|mate)$ ]] && button=2
    local centres
    if [ "$host" = mate-tray ]; then centres=$(label_ends); else centres=$(icon_centres); fi
    for centre in $centres; do
        bus=$(clicked_item "$centre" $button)
        names+=("$(echo "$items" | awk -v bus="$bus" '$1 == bus { print $2 }')")
        local geometry
        if geometry=$(wait_for 2 calendar_window && calendar_window); then
            eval "$(echo "$geometry" | tr ' ' '\n' | grep -E '^(X|Y|WIDTH)=')"
            if [ "$centre" -lt "$X" ] || [ "$centre" -gt $((X + WIDTH)) ] || [ "$Y" -gt 60 ]; then
                click="FAIL(at:$X,$Y)"
            fi
            [ -z "$pictures" ] || import -window root "$pictures/$host-calendar.png"
        else
            click=FAIL
        fi
        xdotool key Escape
        sleep 0.5
    done
    local order=ok
    local clicked
    clicked=$(IFS=,; echo "${names[*]}")
    [ "$clicked" = "VSP-$seconds_id,VSP-$date_id" ] || order="FAIL(${clicked:-nothing})"
    echo "$labels $order $click"
}

# Windows of the application that sway manages, "name" a line.
sway_windows() {
    swaymsg -t get_tree | tr ',' '\n' | grep -o '"name": "Vesperin[^"]*"' | cut -d'"' -f4
}

# Prints "labels order click" for sway, where nothing can be clicked: the icons on the screen,
# then what the application does when the tray goes.
check_on_sway() {
    local icons alone
    icons=$(icon_centres | wc -l)
    pkill -x waybar || true
    if wait_for 8 sway_windows && sway_windows | grep -qx Vesperin &&
        ! sway_windows | grep -q "status bar"; then
        alone=ok
    else
        alone="FAIL($(sway_windows | tr ' \n' '_,'))"
    fi
    [ -z "$pictures" ] || grim "$pictures/sway-without-tray.png"
    [ "$icons" -eq 2 ] && icons=ok || icons="FAIL($icons)"
    echo "- icons:$icons alone:$alone"
}

# The bars that run the status line: each is started with the command that runs it (which
# keeps a copy of what the bar reads), and named with its process and the line's format.
start_swaybar() {
    start_sway_with_bar swaybar "    position top
    font monospace 12
    status_command $1"
}

start_waybar() {
    start_sway_with_bar waybar '    swaybar_command waybar' \
        "{\"layer\": \"top\", \"position\": \"top\", \"height\": 28, \"modules-right\": [\"custom/vesperin\"],
 \"custom/vesperin\": {\"exec\": \"$1\", \"return-type\": \"json\"}}"
}

start_polybar() {
    start_x_session polybar
    cat >"$session/polybar.ini" <<INI
[bar/top]
width = 100%
height = 28
background = #000000
foreground = #ffffff
modules-right = vesperin
font-0 = DejaVu Sans Mono:size=12

[module/vesperin]
type = custom/script
exec = $1
tail = true
click-left = $app --open=panel
click-right = $app --open=menu
INI
    polybar -q -c "$session/polybar.ini" top >"$session/panel.log" 2>&1 &
    pids+=($!)
}

declare -A line_format=([swaybar]=i3bar [waybar]=waybar [polybar]=plain)

check_text_bar() {
    local host=$1 shown=FAIL labels=FAIL click=FAIL log=$work/$1/status.log
    local day clock='[0-9][0-9]:[0-9][0-9]:[0-9][0-9]'
    day=$(LC_ALL=C date +'%a %-d %b')
    mkdir -p "$work/$host/config"
    XDG_CONFIG_HOME=$work/$host/config store_layout
    # The copy is made without the descriptors a bar leaks into its command (waybar's include
    # the reading end of its own pipe), and ends when the bar is gone even where the bar left
    # SIGPIPE ignored, so that it ends with the bar, as the status line does.
    printf '#!/bin/bash\nfor fd in $(ls /proc/$$/fd); do [ "$fd" -gt 2 ] && eval "exec $fd>&-"; done\nexec tee --output-error=exit "$@"\n' \
        >"$work/$host/copy"
    chmod +x "$work/$host/copy"
    "start_$host" "$app --status-line=${line_format[$host]} | $work/$host/copy $log"
    wait_for 15 grep -q "$day" "$log" && shown=ok
    [ "$shown" = ok ] || { echo "$host: the status line wrote nothing the bar took" >&2; tail -15 "$session/panel.log" >&2; }
    local first second
    sleep 1
    first=$(label_words | cut -d' ' -f3 | tr '\n' ' ')
    sleep 1.5
    second=$(label_words | cut -d' ' -f3 | tr '\n' ' ')
    [ -z "$pictures" ] || { mkdir -p "$pictures"; grab "$pictures/$host-top-bar.png"; }
    if [[ "$first" =~ ^$clock\ $day ]] && [[ "$second" =~ ^$clock\ $day ]] &&
        [ "${first%% *}" != "${second%% *}" ]; then
        labels=ok
    else
        labels="FAIL(${first// /_}/${second// /_})"
    fi
    local opened=
    if [ "$host" = polybar ]; then
        # The application starts with the click (none runs) and opens the panel there.
        xdotool mousemove "$(label_words | head -1 | awk '{ print int(($1 + $2) / 2) }')" 12 click 1
        wait_for 15 calendar_window && opened="open:ok " || opened="open:FAIL "
        pkill -f "^$app" 2>/dev/null || true
    fi
    pkill -x "$host" || true
    # The pattern does not match the shell that runs pgrep.
    wait_for 3 sh -c '! pgrep -f "vesperin-status-lin[e]" >/dev/null' && click="${opened}exit:ok"
    printf '%-9s | %-5s | %-14s | %-8s | %-10s | %-12s | %s\n' "$host" "$shown" "$labels" - "$click" - -
    ! grep -q FAIL <<<"$shown $labels $click" && [[ $click == *exit:ok ]]
}

check_host() {
    local host=$1 shown=ok menu=- good=0
    "start_$host"
    start_app
    wait_for 2 both_registered || shown=FAIL
    sleep 3
    local items
    items=$(registered_items)
    [ -z "$pictures" ] || { mkdir -p "$pictures"; grab "$pictures/$host-top-bar.png"; }

    # The rows the panel reads, the calendar's first and Quit last.
    local first rows
    first=$(echo "$items" | head -1 | cut -d' ' -f1)
    rows=$(bus_call --dest "$first" --object-path /MenuBar --method com.canonical.dbusmenu.GetLayout \
           -- 0 -1 "[]" 2>/dev/null | grep -o "'label': <'[^']*'>")
    rows=$( (echo "$rows" | head -1 | grep -q "Open the Calendar" &&
             echo "$rows" | tail -1 | grep -q "Quit Vesperin" && echo "$rows" | wc -l) || echo 0)
    if [ "$rows" -ge 5 ]; then menu="ok($rows rows)"; else menu="FAIL($rows rows)"; fi

    for start in $(seq "$starts"); do
        start_app
        if wait_for 2 both_registered && sleep 4 && both_registered; then
            good=$((good + 1))
        else
            { echo "$host, start $start: $(registered_items | wc -l) items"; tail -15 "$session/app.log"; } >&2
        fi
    done
    local labels order click
    items=$(registered_items) # the last start's
    if [ "$host" = sway ]; then
        read -r labels order click < <(check_on_sway)
    else
        read -r labels order click < <(check_on_screen "$host" "$items")
    fi
    printf '%-9s | %-5s | %-14s | %-8s | %-10s | %-12s | %s/%s\n' \
        "$host" "$shown" "$labels" "$order" "$click" "$menu" "$good" "$starts"
    pkill -f "^$app" 2>/dev/null || true
    ! grep -q FAIL <<<"$shown $labels $order $click $menu" && [ "$good" -eq "$starts" ]
}

# sway refuses to run as root: its row runs as nobody, from copies in a folder of nobody's (the
# checkout may be in a home that nobody cannot read).
check_unprivileged() {
    # A folder a row, so that nothing a row left running holds the next row's copies.
    local folder=$work/unprivileged-$1
    mkdir -p "$folder"/{pictures,scripts,build/src}
    cp scripts/hosts.sh "$folder/scripts/"
    cp "$app" "$defaults" "$(dirname "$app")/vesperin-status-line" "$(dirname "$app")/vesperin-network" \
        "$folder/build/src/"
    chown -R 65534:65534 "$folder"
    chmod o+x "$work"
    local status=0
    setpriv --reuid=65534 --regid=65534 --clear-groups \
        "$folder/scripts/hosts.sh" --inner --starts "$starts" \
        ${pictures:+--pictures "$folder/pictures"} "$1" || status=1
    [ -z "$pictures" ] || cp "$folder/pictures/"* "$pictures/" 2>/dev/null || true
    return $status
}

$inner || printf '%-9s | %-5s | %-14s | %-8s | %-10s | %-12s | %s\n' host shown labels order click menu starts
status=0
for host in "${hosts[@]}"; do
    if [[ $host == sway* || $host == waybar ]] && [ "$(id -u)" -eq 0 ]; then
        check_unprivileged "$host" || status=1
        continue
    fi
    # Each host in a shell of its own: its exports and processes stay there.
    (
        trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT
        if [ -n "${line_format[$host]:-}" ]; then check_text_bar "$host"; else check_host "$host"; fi
    ) || status=1
done
exit $status
