# Helpers of the end-to-end tests: the real recorder under Wine, driven by corvale-driver.exe
# in the same Wine session, with the sound of a private sound server (PulseAudio or PipeWire).
source "$CORVALE_ROOT/tests/lib/testlib.sh"
source "$CORVALE_ROOT/tests/lib/sound.sh"

BIN=$CORVALE_BUILD/bin
RECORDER=$BIN/CorvaleRecorder.exe
DRIVER=$BIN/corvale-driver.exe
TITLE="Corvale Recorder"
SETTINGS='HKCU\Software\BrightmoorStudio\CorvaleRecorder\Option'
E2E=$CORVALE_WORK/e2e
mkdir -p "$E2E"
RECORDER_PID=

# drv CMD ARGS... [-- CMD ARGS...]: runs the driver; its output on stdout, status as its own.
drv() { corvale_wine "$DRIVER" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

reset_settings() { corvale_wine reg delete 'HKCU\Software\BrightmoorStudio' /f >/dev/null 2>&1; return 0; }

# setting NAME: "dword N", "string ...", or "missing".
setting() { drv reg-read "$SETTINGS" "$1" | head -n 1; }

# start_wine PROGRAM [ENV=VALUE...]: in the background; its process id is Wine's own, so that
# it can be waited for and killed. E2E_WINEDEBUG (e.g. +debugstr) and E2E_LOG, a file its
# output is added to, are for looking into a failure.
start_wine() {
    local program=$1
    shift
    (exec env WINEDEBUG="${E2E_WINEDEBUG:--all}" "$@" "$CORVALE_WINE" "$program" \
        >>"${E2E_LOG:-/dev/null}" 2>&1) &
}

# recorder_start [ENV=VALUE...]: starts the recorder, with those variables, and waits for its window.
recorder_start() {
    # A recorder left over by an earlier failure would answer in place of the new one.
    [ -n "$RECORDER_PID" ] && recorder_kill
    start_wine "$RECORDER" "$@"
    RECORDER_PID=$!
    drv wait-window "$TITLE" 20000 >/dev/null
}

# recorder_wait_exit SECONDS: true when the recorder's process ended in time.
recorder_wait_exit() {
    local i
    for i in $(seq $((${1:-10} * 10))); do
        kill -0 "$RECORDER_PID" 2>/dev/null || { wait "$RECORDER_PID" 2>/dev/null; return 0; }
        sleep 0.1
    done
    return 1
}

# Ends a recorder left running by a failed test, so the next test starts clean.
recorder_kill() {
    [ -n "$RECORDER_PID" ] && kill "$RECORDER_PID" 2>/dev/null
    kill_in_prefix 'CorvaleRecorder\.exe'
    drv wait-gone "$TITLE" 5000 >/dev/null 2>&1
    RECORDER_PID=
}

recorder_close() {
    drv close "$TITLE" >/dev/null
    recorder_wait_exit 10 || recorder_kill
}

# A sine tone file: tone FILE FREQUENCY SECONDS.
tone() { [ -f "$1" ] || sox -q -n -r 44100 -c 2 -b 16 "$1" synth "$3" sine "$2" vol 0.5; }

wav_seconds() { soxi -D "$1" 2>/dev/null; }
wav_rms() { sox "$1" -n stat 2>&1 | awk '/RMS +amplitude/ { print $3 }'; }
wav_frequency() { sox "$1" -n remix 1 stat 2>&1 | awk '/Rough +frequency/ { print $3 }'; }

# The n-th line (from 1) of a sink's monitor among the recorder's devices is its name.
monitor_name() { echo "Monitor of $1"; }

# shot_origin CAPTION: "X Y" of the client area's origin inside a window screenshot.
shot_origin() { drv client-origin "$1"; }

# region_measure MODE CAPTION ID: image_probe.py's measure of a control in a fresh screenshot.
region_measure() {
    local shot=$E2E/probe.bmp ox oy
    drv screenshot-window "$2" "$(winpath "$shot")" >/dev/null || return 1
    read -r ox oy < <(shot_origin "$2")
    set -- "$1" "$2" $(drv controls "$2" | awk -v id="$3" '$1 == id { print $5, $6, $7, $8 }')
    python3 "$CORVALE_ROOT/tests/e2e/image_probe.py" "$1" "$shot" $(($3 + ox)) $(($4 + oy)) "$5" "$6"
}

# The driver prints texts with backslashes doubled: esc TEXT gives the same form.
esc() { printf '%s' "$1" | sed 's/\\/\\\\/g'; }
