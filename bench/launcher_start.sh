#!/usr/bin/env bash
# launcher_start.sh [BUILD_DIR] [RUNS] [OTHER_LAUNCHER]: the Debian package's launcher, run from
# the unpacked package RUNS times (3) with a new data folder each time, as a user's first start.
# Prints for each run the seconds spent making the Wine prefix, registering the filters and
# from the program's start to its visible window, the total, then the seconds the wineserver
# takes to save the registry and end once the program is ended, and a second start (no Wine
# process left) to its window; at the end, how many first starts showed no window (20 runs or
# more, and the same beside three spinning processes, tell whether the first start is reliable).
# OTHER_LAUNCHER, another version of packaging/debian/corvale-recorder, runs in the same rounds
# for a before/after comparison.
set -u
source "$(dirname "$0")/../scripts/lib.sh"
BUILD=$(realpath -m "${1:-$CORVALE_ROOT/build}")
RUNS=${2:-3}
OTHER=${3:-}
corvale_build_bench "$BUILD" recorder_help || exit 1

WORK=$(mktemp -d /tmp/corvale-launcher-start.XXXXXX)
LAUNCHED=
declare -A FAILED=()
trap '[ -n "$LAUNCHED" ] && kill "$LAUNCHED" 2>/dev/null; corvale_teardown; rm -rf "$WORK"' EXIT
deb=$(bash "$CORVALE_ROOT/packaging/debian/build-deb.sh" "$BUILD" "$WORK") || exit 1
dpkg -x "$deb" "$WORK/root"
launchers=(this "$WORK/root/usr/bin/corvale-recorder")
if [ -n "$OTHER" ]; then
    # Beside this one, so that it finds the same program folder.
    install -m 0755 "$OTHER" "$WORK/root/usr/bin/corvale-recorder-other"
    launchers+=(other "$WORK/root/usr/bin/corvale-recorder-other")
fi
corvale_ensure_display || exit 1
corvale_ensure_sound force || exit 1

seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }

# wait_window: the recorder's window is visible within 300 s (xwininfo does not join the Wine
# session); a message box of the launcher has the same title and does not count.
wait_window() {
    local id end=$((SECONDS + 300))
    while [ "$SECONDS" -lt "$end" ]; do
        id=$(xwininfo -root -tree 2>/dev/null | awk '/"Corvale Recorder": \("corvalerecorder\.exe"/ { print $1; exit }')
        [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && return 0
        kill -0 "$LAUNCHED" 2>/dev/null || return 1
        sleep 0.05
    done
    return 1
}

# end_program: ends the launched program by its process id and prints the seconds until its
# wineserver has saved the registry and ended.
end_program() {
    local start=$EPOCHREALTIME
    kill "$LAUNCHED" 2>/dev/null
    wait "$LAUNCHED" 2>/dev/null
    LAUNCHED=
    "$(dirname "$CORVALE_WINE")/wineserver" -w
    seconds "$start" "$EPOCHREALTIME"
}

# at TRACE PATTERN: the time stamp of the launcher's first traced command matching PATTERN.
at() { grep -m 1 -E "$2" "$1" | sed 's/^+*\([0-9.]*\) .*/\1/'; }

# launch_row NAME LAUNCHER: one row of figures, or the reason it has none.
launch_row() {
    local name=$1 launcher=$2 data begin start trace shown boot reg run saved second
    data=$(mktemp -d "$WORK/data.XXXXXX")
    export XDG_DATA_HOME=$data WINEPREFIX=$data/corvale-recorder/prefix
    trace=$data/trace
    begin=$EPOCHREALTIME
    # The launcher is POSIX sh; under bash its commands are traced with their start times.
    (exec bash -c 'PS4="+\${EPOCHREALTIME} "; set -x; . "$0"' "$launcher" >"$trace" 2>&1) &
    LAUNCHED=$!
    if ! wait_window; then
        echo "$name: no window; the launcher said: $(grep -v '^+' "$trace" | tail -n 3)"
        FAILED[$name]=$((${FAILED[$name]:-0} + 1))
        kill "$LAUNCHED" 2>/dev/null
        LAUNCHED=
        "$(dirname "$CORVALE_WINE")/wineserver" -k 2>/dev/null
        return
    fi
    shown=$EPOCHREALTIME
    boot=$(at "$trace" 'wineboot -i') reg=$(at "$trace" 'regsvr32') run=$(at "$trace" '^\++[0-9.]+ exec ')
    saved=$(end_program)
    start=$EPOCHREALTIME
    ("$launcher" >/dev/null 2>&1) &
    LAUNCHED=$!
    wait_window && second=$(seconds "$start" "$EPOCHREALTIME")
    end_program >/dev/null
    printf '%-6s %8s %8s %8s %8s %8s %8s\n' "$name" "$(seconds "$boot" "$reg")" "$(seconds "$reg" "$run")" \
        "$(seconds "$run" "$shown")" "$(seconds "$begin" "$shown")" "$saved" "${second:-none}"
    rm -rf "$data"
}

printf 'Wine %s; machine load before the run: %s\n' "$("$CORVALE_WINE" --version)" "$(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-6s %8s %8s %8s %8s %8s %8s\n' "" prefix register window first saved second
for run in $(seq "$RUNS"); do
    for ((i = 0; i < ${#launchers[@]}; i += 2)); do launch_row "${launchers[i]}" "${launchers[i + 1]}"; done
done
for ((i = 0; i < ${#launchers[@]}; i += 2)); do
    printf '%s: %d of %d first starts showed no window\n' "${launchers[i]}" "${FAILED[${launchers[i]}]:-0}" "$RUNS"
done
printf 'machine load after the run: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
