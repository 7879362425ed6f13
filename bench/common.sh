# Shared by the benchmark scripts that run real programs: a world of their own for each
# program measured, and a private X server. Source it; it defines functions only.

# A profile as the tests have: home and XDG folders, no system applications, no session bus
# (so it never hands over to a Vesperin the user runs), an unreachable service, an in-memory
# desktop settings store, empty crash stores. Fills the array `environment`.
#   make_profile DIR
make_profile() {
    local home=$1
    mkdir -p "$home"/{config,data,cache,config-dirs,data-dirs,crash,bin,runtime}
    chmod 700 "$home/runtime"
    printf '#!/bin/sh\nexit 1\n' >"$home/bin/coredumpctl"
    chmod +x "$home/bin/coredumpctl"
    environment=(HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data"
                 XDG_CACHE_HOME="$home/cache" XDG_CONFIG_DIRS="$home/config-dirs"
                 XDG_DATA_DIRS="$home/data-dirs" XDG_RUNTIME_DIR="$home/runtime"
                 DBUS_SESSION_BUS_ADDRESS="unix:path=$home/no-bus"
                 APPORT_REPORT_DIR="$home/crash" PATH="$home/bin:$PATH"
                 GSETTINGS_BACKEND=memory VESPERIN_SERVICE_URL=http://127.0.0.1:9
                 LANG=en_US.UTF-8 TZ=Europe/Paris QT_QPA_PLATFORM=xcb)
}

# Writes a Vesperin profile that lives in the menu bar with one item of `template`.
#   write_vesperin_profile DEFAULTS_BINARY TEMPLATE
write_vesperin_profile() {
    local layout layout_hex setting
    layout="[{\"id\":\"5B0E8F6A-3C1D-4E2F-9A7B-1C2D3E4F5A6B\",\"enabled\":true,\"template\":\"$2\"}]"
    layout_hex=$(printf '%s' "$layout" | od -An -v -tx1 | tr -d ' \n')
    for setting in "VSPOnboarded -bool true" "VSPMenuBarMode -bool true" \
                   "VSPMenuBarLayout -data $layout_hex"; do
        # shellcheck disable=SC2086 # the setting is three words on purpose
        env "${environment[@]}" "$1" write com.orvennalabs.vesperin $setting
    done
}

# Starts Xvfb on a free display, whose number it writes to FILE once it accepts connections;
# sets `xvfb_pid` and `display`.
#   start_xvfb FILE
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$1" 2>/dev/null &
    xvfb_pid=$!
    local _
    for _ in $(seq 100); do
        [ -s "$1" ] && break
        sleep 0.1
    done
    [ -s "$1" ] || { echo "Xvfb did not start" >&2; return 1; }
    display=":$(head -n1 "$1")"
}

# Ends a process that is not a child of this shell, and waits until it is gone.
#   stop_process PID
stop_process() {
    kill "$1" 2>/dev/null || return 0
    local _
    for _ in $(seq 100); do
        kill -0 "$1" 2>/dev/null || return 0
        sleep 0.05
    done
    kill -9 "$1" 2>/dev/null || true
}
