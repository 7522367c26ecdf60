#!/usr/bin/env bash
# session.sh start|stop SESSION_DIR BUILD_DIR: the environment every test runs in, set up once
# for a whole test run: a display (Xvfb when none answers), a private sound server
# (CORVALE_SOUND_SERVER: PulseAudio or PipeWire) with a null sink "speakers", and a throw-away
# Wine prefix with our filters registered. "start"
# writes SESSION_DIR/env.sh for the tests to source; "stop" ends what "start" started, by
# process id, and the prefix's own wineserver.
set -u
action=${1:?usage: session.sh start|stop SESSION_DIR BUILD_DIR}
session=${2:?usage: session.sh start|stop SESSION_DIR BUILD_DIR}
build=${3:?usage: session.sh start|stop SESSION_DIR BUILD_DIR}
source "$(dirname "$0")/../../scripts/lib.sh"
source "$(dirname "$0")/sound.sh"

stop() {
    [ -f "$session/env.sh" ] || return 0
    source "$session/env.sh"
    "$(dirname "$CORVALE_WINE")/wineserver" -k >/dev/null 2>&1
    local pid
    [ -f "$session/pids" ] && for pid in $(cat "$session/pids"); do kill "$pid" 2>/dev/null; done
    rm -f "$session/env.sh" "$session/pids"
}

start() {
    stop
    rm -rf "$session"
    mkdir -p "$session/results"
    export CORVALE_BUILD=$build CORVALE_WORK=$session CORVALE_ROOT
    # Whatever fails below, what was started is recorded for "stop".
    trap 'printf "%s\n" "${CORVALE_STARTED_PIDS[@]}" >"$session/pids"' EXIT
    corvale_ensure_display || return 1
    corvale_ensure_sound force || return 1
    keep_sink_running speakers
    CORVALE_STARTED_PIDS+=($!)
    corvale_prepare_prefix "$session/prefix" "$build" || return 1
    local v
    for v in CORVALE_BUILD CORVALE_WORK CORVALE_ROOT CORVALE_WINE CORVALE_SOUND_SERVER DISPLAY \
        XDG_RUNTIME_DIR PULSE_RUNTIME_PATH WINEPREFIX WINEDEBUG WINEDLLOVERRIDES; do
        printf 'export %s=%q\n' "$v" "${!v}"
    done >"$session/env.sh"
    printf 'unset PULSE_SERVER\n' >>"$session/env.sh"
    corvale_log "test session ready: DISPLAY=$DISPLAY $CORVALE_SOUND_SERVER in $XDG_RUNTIME_DIR WINEPREFIX=$WINEPREFIX"
}

case $action in
start) start ;;
stop) stop ;;
*) echo "usage: session.sh start|stop SESSION_DIR BUILD_DIR" >&2; exit 2 ;;
esac
