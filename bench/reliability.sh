#!/usr/bin/env bash
# reliability.sh [BUILD_DIR]: the recorder under long and hostile use, run on demand (not in
# CI; the full run takes about an hour). Prints one table:
#   - CYCLES Record/Stop cycles (1000): memory, handles and GDI/USER objects at start and end,
#     and the slowest Stop;
#   - SOAK_MIN minutes (10) of one recording: memory at 1 minute and at the end, file length
#     against the driver's time;
#   - KILLS recordings (20) ended by killing the program at a random moment: every file parses
#     and plays, and the sound lost against the kill moment;
#   - UNPLUGS unplug/replug cycles (10) of the recorded sink 3 s into a take: the message, a
#     valid file, and the sound kept against the time before the unplug and against what the
#     device had counted when its sound stopped (what the sound system still held went with it);
#   - a full disk, then a recording to another drive;
#   - TAKES takes (5) of 5 s of each kind, their sound kept against the driver's clicks (the
#     take that kept least): the first take of a program, clicked as its window shows; takes
#     while three processes spin beside the recorder; takes while the file writer stalls 3 s;
#     and takes while it stalls from 2 s to 7 s, across Stop (the take farthest from its
#     clicks, either way);
#   - FAST_MIB MiB (4106, past RF64's 4 GiB) of a source that delivers as fast as it is taken,
#     through "WAV Dest" and the File Writer (the filter tests' own case, built with the tests),
#     every byte compared;
#   - FIRST_STOPS program starts (5), each with a 0.4 s take clicked as the window shows: the
#     first Stop's answer time (Stop to "Ready"), median and slowest.
# Smaller counts: CYCLES=100 SOAK_MIN=2 KILLS=5 UNPLUGS=3 TAKES=3 FAST_MIB=200 FIRST_STOPS=3
# bash bench/reliability.sh; a count of 0 leaves its part out.
set -u
source "$(dirname "$0")/../scripts/lib.sh"
BUILD=$(realpath -m "${1:-$CORVALE_ROOT/build}")
CYCLES=${CYCLES:-1000} SOAK_MIN=${SOAK_MIN:-10} KILLS=${KILLS:-20} UNPLUGS=${UNPLUGS:-10}
TAKES=${TAKES:-5} FAST_MIB=${FAST_MIB:-4106} FIRST_STOPS=${FIRST_STOPS:-5}
[ -f "$BUILD/bin/CorvaleRecorder.exe" ] || corvale_build "$BUILD" >/dev/null || exit 1

WORK=$(mktemp -d /tmp/corvale-reliability.XXXXXX)
small=$WORK/small-drive
trap 'recorder_kill; umount "$small" 2>/dev/null; corvale_teardown; rm -rf "$WORK"' EXIT
corvale_ensure_display || exit 1
corvale_ensure_sound force || exit 1
corvale_prepare_prefix "$WORK/prefix" "$BUILD" || exit 1
export CORVALE_BUILD=$BUILD CORVALE_WORK=$WORK
source "$CORVALE_ROOT/tests/e2e/e2e_lib.sh"
keep_sink_running speakers
CORVALE_STARTED_PIDS+=($!)
READY="Status : Ready"
ROWS=()
row() { ROWS+=("$(printf '%-34s %s' "$1" "$2")"); }
# Wine 8 answers 0 to GetProcessMemoryInfo, GetProcessHandleCount and GetGuiResources for
# another process (measured): the driver takes the handle count from the system's process
# list, the resident memory is read from Linux beside them, GDI and USER objects stay 0.
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$RECORDER_PID/status" 2>/dev/null; }

tone "$E2E/bench.wav" 440 $((SOAK_MIN * 60 + 600))
play_into speakers "$E2E/bench.wav"
reset_settings
drv reg-write-dword "$SETTINGS" b_only_once 1 >/dev/null

# Record/Stop cycles, a hundred per driver call so that Wine's process start does not count.
if [ "$CYCLES" -gt 0 ]; then
    recorder_start
    start="$(drv resources "$TITLE") rss $(rss_kb)"
    slowest=0 done_cycles=0
    while [ "$done_cycles" -lt "$CYCLES" ]; do
        args=()
        n=$((CYCLES - done_cycles < 100 ? CYCLES - done_cycles : 100))
        for i in $(seq "$n"); do
            f=$E2E/cycle-$i.wav
            args+=(set-text "$TITLE" 1008 "$(winpath "$f")" -- click "$TITLE" 1004 --
                sleep 200 -- click "$TITLE" 1003 stop -- wait-ready "$TITLE" 1035 "$READY" "$f" stop 5000 --)
        done
        out=$(drv "${args[@]}" sleep 0)
        rm -f "$E2E"/cycle-*.wav
        s=$(echo "$out" | awk '/^answered/ && $4 > m { m = $4 } END { print m + 0 }')
        [ "$s" -gt "$slowest" ] && slowest=$s
        done_cycles=$((done_cycles + n))
    done
    end="$(drv resources "$TITLE") rss $(rss_kb)"
    recorder_close
    row "cycles" "$CYCLES"
    row "  at start" "$start"
    row "  at end" "$end"
    row "  slowest Stop to Ready (ms)" "$slowest"
fi

# One long recording.
if [ "$SOAK_MIN" -gt 0 ]; then
    recorder_start
    soak=$E2E/soak.wav
    rm -f "$soak"
    out=$(drv set-text "$TITLE" 1008 "$(winpath "$soak")" -- click "$TITLE" 1004 rec -- sleep 60000 \
        -- resources "$TITLE" -- sleep $(((SOAK_MIN * 60 - 60) * 1000)) -- resources "$TITLE" \
        -- click "$TITLE" 1003 stop -- wait-ready "$TITLE" 1035 "$READY" "$soak" stop 10000 \
        -- between rec stop)
    rss=$(echo "$out" | grep '^memory')
    rss_end=$(rss_kb)
    recorder_close
    row "soak (min)" "$SOAK_MIN"
    row "  at 1 min" "$(echo "$rss" | sed -n 1p)"
    row "  at the end" "$(echo "$rss" | sed -n 2p) rss $rss_end"
    row "  file (s) / Record-to-Stop (s)" "$(wav_seconds "$soak") / $(echo "$out" | tail -n 1 | awk '{ print $1 / 1000 }')"
fi

# Kills at random moments.
if [ "$KILLS" -gt 0 ]; then
    playable=0 worst=0
    for k in $(seq "$KILLS"); do
        recorder_start
        f=$E2E/kill-$k.wav
        rm -f "$f"
        ms=$((1000 + RANDOM % 4000))
        # Record-to-kill is timed by the driver up to its exit; the kill follows at once.
        out=$(drv set-text "$TITLE" 1008 "$(winpath "$f")" -- click "$TITLE" 1004 rec -- sleep "$ms" \
            -- mark kill -- between rec kill)
        kill -9 "$RECORDER_PID" 2>/dev/null
        recorder_kill
        timed=$(echo "$out" | tail -n 1)
        got=$(wav_seconds "$f")
        if [ -n "$got" ] && sox "$f" -n stat >/dev/null 2>&1; then playable=$((playable + 1)); fi
        lost=$(awk -v t="${timed:-0}" -v g="${got:-0}" 'BEGIN { printf "%d", t - g * 1000 }')
        [ "$lost" -gt "$worst" ] && worst=$lost
    done
    row "kills" "$KILLS"
    row "  files that parse and play" "$playable"
    row "  most sound lost (ms)" "$worst"
fi

# Unplug and replug the recorded sink.
if [ "$UNPLUGS" -gt 0 ]; then
    removed=0 valid=0 unplugged=()
    for u in $(seq "$UNPLUGS"); do
        module=$(load_sink bench Bench)
        play_into bench "$E2E/bench.wav"
        sleep 1
        E2E_WINEDEBUG=+debugstr E2E_LOG=$E2E/unplug-$u.log recorder_start
        index=$(drv items "$TITLE" 1009 | tail -n +3 | grep -nx "Monitor of Bench" | cut -d: -f1)
        f=$E2E/unplug-$u.wav
        rm -f "$f"
        # Record-to-unplug is timed by the driver up to its exit; the unplug follows at once.
        out=$(drv select "$TITLE" 1009 $((index - 1)) -- set-text "$TITLE" 1008 "$(winpath "$f")" \
            -- click "$TITLE" 1004 rec -- sleep 3000 -- mark unplug -- between rec unplug)
        pactl unload-module "$module"
        drv answer "DirectShow Audio Capture Sample" OK 15000 >/dev/null && removed=$((removed + 1))
        soxi "$f" >/dev/null 2>&1 && valid=$((valid + 1))
        counted=$(grep -ao 'with [0-9]* ms of sound counted' "$E2E/unplug-$u.log" | awk '{ print $2 }' | head -n 1)
        unplugged+=("$(awk -v s="$(wav_seconds "$f")" 'BEGIN { printf "%d", s * 1000 }') $(echo "$out" | tail -n 1) ${counted:-0}")
        recorder_close
        kill "$PLAYER_PID" 2>/dev/null
    done
    row "unplug/replug cycles" "$UNPLUGS"
    row "  removal reported" "$removed"
    row "  valid files" "$valid"
    # Of the lines "kept before", the take that kept least of what was captured before the unplug.
    row "  kept / captured before it" "$(printf '%s\n' "${unplugged[@]}" | awk '{ d = $1 - $2;
        if (NR == 1 || d < w) { w = d; k = $1; c = $2 } } END { printf "%d / %d ms (worst of %d)", k, c, NR }')"
    row "  takes short of it by over 100 ms" "$(printf '%s\n' "${unplugged[@]}" | awk '$2 - $1 > 100 { n++ } END { print n + 0 }')"
    # What Wine's waveIn had counted when the sound stopped coming: the rest was still in the
    # sound system when the sink went away, and never reached the program.
    row "  kept / counted before it" "$(printf '%s\n' "${unplugged[@]}" | awk '{ d = $1 - $3;
        if (NR == 1 || d < w) { w = d; k = $1; c = $3 } } END { printf "%d / %d ms (worst of %d)", k, c, NR }')"
fi

# A full disk, then another drive.
mkdir -p "$small"
if mount -t tmpfs -o size=256k corvale-bench "$small" 2>/dev/null; then
    ln -sfn "$small" "$WINEPREFIX/dosdevices/q:"
    play_into speakers "$E2E/bench.wav"
    recorder_start
    out=$(drv set-text "$TITLE" 1008 'Q:\full.wav' -- click "$TITLE" 1004 \
        -- answer "Start Recording Error" OK 8000 -- wait-text "$TITLE" 1035 "$READY" 3000)
    after=$E2E/after.wav
    drv set-text "$TITLE" 1008 "$(winpath "$after")" -- click "$TITLE" 1004 -- sleep 2000 \
        -- click "$TITLE" 1003 -- wait-text "$TITLE" 1035 "$READY" 3000 >/dev/null
    recorder_close
    row "full disk: message / valid file" "$(echo "$out" | grep -c '^text "1. Your') / $(soxi -D "$small/full.wav" 2>/dev/null)"
    row "  next recording elsewhere (s)" "$(wav_seconds "$after")"
else
    row "full disk" "skipped (cannot mount a tmpfs)"
fi

# Takes kept against the clicks. timed_take FILE: a 5 s take in the running recorder; prints
# the ms the file holds and the ms between the driver's Record and Stop clicks.
timed_take() {
    local out
    rm -f "$1"
    out=$(drv set-text "$TITLE" 1008 "$(winpath "$1")" -- click "$TITLE" 1004 rec -- sleep 5000 \
        -- click "$TITLE" 1003 stop -- wait-ready "$TITLE" 1035 "$READY" "$1" stop 20000 \
        -- between rec stop)
    printf '%s %s\n' "$(awk -v s="$(wav_seconds "$1")" 'BEGIN { printf "%d", s * 1000 }')" \
        "$(echo "$out" | tail -n 1)"
}
# worst_row NAME: of the lines "kept clicked" on stdin, the take that kept least against its clicks.
worst_row() {
    row "$1" "$(awk '{ d = $1 - $2; if (NR == 1 || d < w) { w = d; k = $1; c = $2 } }
        END { printf "%d / %d ms (worst of %d)", k, c, NR }')"
}
# farthest_row NAME: the same, the take farthest from its clicks either way.
farthest_row() {
    row "$1" "$(awk '{ d = $1 - $2; d = d < 0 ? -d : d; if (NR == 1 || d > w) { w = d; k = $1; c = $2 } }
        END { printf "%d / %d ms (farthest of %d)", k, c, NR }')"
}
first_takes() {
    for t in $(seq "$TAKES"); do
        recorder_start "$@"
        timed_take "$E2E/first-$t.wav"
        recorder_close
    done
}
if [ "$TAKES" -gt 0 ]; then
    worst_row "first take kept / clicked" < <(first_takes)
    spinners=()
    for _ in 1 2 3; do
        bash -c 'while :; do :; done' &
        spinners+=($!)
    done
    recorder_start
    worst_row "takes under load kept / clicked" < <(for t in $(seq "$TAKES"); do
        timed_take "$E2E/loaded-$t.wav"
    done)
    recorder_close
    kill "${spinners[@]}"
    worst_row "writer stalled 3 s: kept / clicked" < <(first_takes CORVALE_FILEWRITER_STALL=1000:3000)
    farthest_row "stalled across Stop: kept / clicked" < <(first_takes CORVALE_FILEWRITER_STALL=2000:5000)
fi

# A fast source's bytes, compared by the filter tests' own case in this prefix.
FILTER_TESTS=$BUILD/tests/filters/filters_tests.exe
if [ "$FAST_MIB" -gt 0 ] && [ -f "$FILTER_TESTS" ]; then
    start=$(date +%s)
    out=$(cd "$(dirname "$FILTER_TESTS")" && CORVALE_FAST_SOURCE_MIB=$FAST_MIB WINEDEBUG=-all \
        "$CORVALE_WINE" "$FILTER_TESTS" --gtest_filter='*AFastSourcesFileHoldsEveryByteItSent*' 2>&1)
    verdict=$(echo "$out" | grep -q '^\[  PASSED  \] 2 tests' && echo "every byte" ||
        echo "$out" | grep -m 1 -o 'first wrong data byte at [0-9]*\|Which is: .*' || echo failed)
    row "fast source $FAST_MIB MiB x2: bytes kept" "$verdict ($(($(date +%s) - start)) s)"
elif [ "$FAST_MIB" -gt 0 ]; then
    row "fast source" "skipped (build with -DCORVALE_BUILD_TESTS=ON)"
fi

# The first Stop of a program, its take started in the same driver run as the program, so that
# no Wine process start gives the device time a user's quick click would not. The driver writes
# to a file: the recorder it starts inherits its output and would hold a pipe open.
first_stop() {
    local f=$E2E/first-stop.wav out=$WORK/first-stop.out
    rm -f "$f"
    corvale_wine "$DRIVER" start "$(winpath "$RECORDER")" -- wait-window "$TITLE" 20000 \
        -- set-text "$TITLE" 1008 "$(winpath "$f")" -- click "$TITLE" 1004 rec -- sleep 400 \
        -- click "$TITLE" 1003 stop -- wait-ready "$TITLE" 1035 "$READY" "$f" stop 10000 \
        </dev/null >"$out" 2>/dev/null
    tr -d '\r' <"$out" | awk '/^answered/ { print $4 }'
    drv close "$TITLE" >/dev/null
    drv wait-gone "$TITLE" 10000 >/dev/null
}
if [ "$FIRST_STOPS" -gt 0 ]; then
    row "first Stop's answer time (ms)" "$(for _ in $(seq "$FIRST_STOPS"); do first_stop; done |
        sort -n | awk '{ v[NR] = $1 } END { printf "median %d, slowest %d (of %d)", v[int((NR + 1) / 2)], v[NR], NR }')"
fi

printf '%s\n' "${ROWS[@]}"
