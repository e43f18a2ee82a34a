# Shell helpers for the tests and benchmarks that show Windows programs under
# Wine on an X server of their own. Source this file, then:
#
#   x_start <folder>           starts Xvfb on a display number nobody uses
#                              (Xvfb picks it itself) and exports DISPLAY;
#                              its log goes to <folder>/xvfb.log. Non-zero
#                              when no server came up within 30 seconds.
#   x_window <title> <seconds> prints the id of the visible window titled
#                              exactly <title> once there is one; nothing
#                              when none appears in time.
#   x_stop                     ends the server x_start started.
#   x_wine_stop <wine-run> [pid]
#                              ends the Windows program with that process id
#                              (none when empty), the wineserver of the
#                              exported WINEPREFIX (through the project's
#                              launcher, tools/wine-run), then the X server.
#
# Nothing here waits without a limit.

x_server_pid=""

x_start() {
    x_folder=$1
    rm -f "$x_folder/xvfb.display"
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$x_folder/xvfb.display" >"$x_folder/xvfb.log" 2>&1 &
    x_server_pid=$!
    x_tries=0
    # The number arrives once the server accepts connections.
    while [ ! -s "$x_folder/xvfb.display" ]; do
        kill -0 "$x_server_pid" 2>/dev/null || { x_server_pid=""; return 1; }
        x_tries=$((x_tries + 1))
        [ "$x_tries" -lt 300 ] || { x_stop; return 1; }
        sleep 0.1
    done
    DISPLAY=":$(head -n 1 "$x_folder/xvfb.display")"
    export DISPLAY
}

x_window() {
    timeout "$2" xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1
}

x_stop() {
    if [ -n "$x_server_pid" ]; then
        kill "$x_server_pid" 2>/dev/null
        wait "$x_server_pid" 2>/dev/null
        x_server_pid=""
    fi
}

x_wine_stop() {
    if [ -n "${2:-}" ]; then
        kill "$2" 2>/dev/null
        wait "$2" 2>/dev/null
    fi
    # The prefix is the caller's own, so its wineserver serves nobody else.
    timeout 20 "$1" wineserver -k 2>/dev/null
    x_stop
}
