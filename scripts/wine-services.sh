#!/usr/bin/env bash
# start|stop the X server and the persistent wineserver the tests share.
# Starting is idempotent and safe to call from many processes at once.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/env.sh"

display="${TARSEL_DISPLAY:-:91}"
lock="/tmp/tarsel-wine-services.lock"

x_running() {
    local pid
    pid=$(tr -d ' ' 2>/dev/null <"/tmp/.X${display#:}-lock") || return 1
    [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null
}

start() {
    exec 9>"$lock"
    flock 9
    if ! x_running; then
        rm -f "/tmp/.X${display#:}-lock" "/tmp/.X11-unix/X${display#:}"
        setsid Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
        for _ in $(seq 100); do x_running && break; sleep 0.05; done
    fi
    # A wineserver that stays for the whole run: an exe then starts in tens of
    # milliseconds instead of most of a second.
    export DISPLAY="$display"
    if ! pgrep -u "$(id -u)" -f 'wineserver.* -p' >/dev/null; then
        # A short-lived server (say, from the set-up) must end first.
        timeout 30 wineserver -w 2>/dev/null || true
        setsid wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
    fi
    # Wine's first process starts the session's helper processes (services.exe
    # and the services it starts), which inherit its output and never exit.
    # Start them here, detached, or they would hold a test's output pipe open
    # and CTest would wait for them forever. Only when they are not running:
    # starting a program for nothing costs every caller about 0.3 s.
    if ! helpers_running; then
        setsid "${tarsel_wine_command[@]}" cmd /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
}

# services.exe of this prefix (each prefix has its own).
helpers_running() {
    local pid
    for pid in $(pgrep -u "$(id -u)" -f 'system32.services\.exe' || true); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
    done
    return 1
}

stop() {
    wineserver -k 2>/dev/null || true
    local pid
    pid=$(tr -d ' ' < "/tmp/.X${display#:}-lock" 2>/dev/null || true)
    [[ -n $pid ]] && kill "$pid" 2>/dev/null || true
}

case "${1:-start}" in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
