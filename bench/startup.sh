#!/usr/bin/env bash
# startup.sh [BUILD_DIR] [RUNS] [BEFORE_EXE]: starts the recorder RUNS times (10) and a bare
# dialog of the same size and caption (bench/BareDialog.cpp) RUNS times, in turn, in one Wine
# session and display, and prints each one's time from process start to its visible window
# (minimum, median, maximum), the ratio of the medians, and the recorder's time to the first
# possible recording (Record enabled and an input line of an opened device selected).
# BEFORE_EXE, another build of CorvaleRecorder.exe, is timed in the same rounds for a
# before/after comparison. The timing is done inside Wine by bench/StartupProbe.cpp.
set -u
source "$(dirname "$0")/../scripts/lib.sh"
BUILD=$(realpath -m "${1:-$CORVALE_ROOT/build}")
RUNS=${2:-10}
BEFORE=${3:-}
corvale_build_bench "$BUILD" startup_probe bare_dialog || exit 1

WORK=$(mktemp -d /tmp/corvale-startup.XXXXXX)
trap 'corvale_teardown; rm -rf "$WORK"' EXIT
corvale_ensure_display || exit 1
corvale_ensure_sound force || exit 1
corvale_prepare_prefix "$WORK/prefix" "$BUILD" || exit 1

BIN=$BUILD/bin
programs=(--program recorder "$(winpath "$BIN/CorvaleRecorder.exe")" --ready 1004,1011
    --program bare "$(winpath "$BIN/bare_dialog.exe")")
if [ -n "$BEFORE" ]; then
    # A copy beside this build's filter DLLs, so that only the program differs.
    cp "$BEFORE" "$BIN/CorvaleRecorder-before.exe"
    programs+=(--program before "$(winpath "$BIN/CorvaleRecorder-before.exe")" --ready 1004,1011)
fi
printf 'machine load before the run: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
(cd "$BIN" && WINEDEBUG=-all "$CORVALE_WINE" "$BIN/startup_probe.exe" --runs "$RUNS" --warmup 1 \
    --caption "Corvale Recorder" "${programs[@]}" --floor bare) | tr -d '\r'
status=${PIPESTATUS[0]}
printf 'machine load after the run: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
[ -n "$BEFORE" ] && rm -f "$BIN/CorvaleRecorder-before.exe"
exit "$status"
