#!/usr/bin/env bash
# record_bench.sh [BUILD_DIR] [SECONDS] [BEFORE_EXE]: records SECONDS (60) of a tone played
# into a private PulseAudio null sink, from its monitor, with four recorders at the same time:
#   wavein    the floor: a bare waveIn program (bench/WaveInRecorder.cpp)
#   wasapi    the same through WASAPI, event driven (bench/WasapiRecorder.cpp)
#   wasapi100 the same through WASAPI, collected every 100 ms
#   graph     the recorder's graph alone (tests/filters/graphrec.cpp)
#   recorder  CorvaleRecorder.exe, driven through its window by the test driver
#   parecord  PulseAudio's own recorder, the floor outside Wine
# (and "before", another build's CorvaleRecorder.exe, with that build's filter DLLs when they
# are beside it, when BEFORE_EXE is given).
# Each Wine program runs in a prefix and a wineserver of its own, so that the server's CPU is
# counted to the program it serves. Prints each one's CPU seconds (user + system, from
# /usr/bin/time -v), its wineserver's CPU seconds over the program's life, its peak resident
# memory, the seconds of audio in its file, and the ratios to the waveIn floor.
set -u
source "$(dirname "$0")/../scripts/lib.sh"
BUILD=$(realpath -m "${1:-$CORVALE_ROOT/build}")
SECONDS_TO_RECORD=${2:-60}
BEFORE=${3:-}
[ -x /usr/bin/time ] || { echo "record_bench.sh needs /usr/bin/time (Debian's package time)" >&2; exit 1; }
corvale_build_bench "$BUILD" corvale-driver graphrec wavein_rec wasapi_rec || exit 1
BIN=$BUILD/bin
GRAPHREC=$BUILD/tests/filters/graphrec.exe
DEVICE="Monitor of Speakers"
TITLE="Corvale Recorder"
SETTINGS='HKCU\Software\BrightmoorStudio\CorvaleRecorder\Option'

WORK=$(mktemp -d /tmp/corvale-bench.XXXXXX)
PREFIXES=()
declare -A SERVER
cleanup() {
    local p
    for p in "${PREFIXES[@]}"; do WINEPREFIX=$p "$(dirname "$CORVALE_WINE")/wineserver" -k >/dev/null 2>&1; done
    for p in "${SERVER[@]}"; do kill "$p" 2>/dev/null; done
    corvale_teardown
    rm -rf "$WORK"
}
trap cleanup EXIT
corvale_ensure_display || exit 1
corvale_ensure_sound force || exit 1

COLUMNS_RUN=(wavein wasapi wasapi100 graph recorder)
[ -n "$BEFORE" ] && COLUMNS_RUN+=(before)
# "before" uses the filter DLLs of its own build when they are beside it.
build_of() {
    if [ "$1" = before ] && [ -f "$(dirname "$BEFORE")/corvale_wavdest.dll" ]; then
        dirname "$(dirname "$(realpath "$BEFORE")")"
    else
        echo "$BUILD"
    fi
}
for name in "${COLUMNS_RUN[@]}"; do
    (corvale_prepare_prefix "$WORK/$name" "$(build_of "$name")") || exit 1
    PREFIXES+=("$WORK/$name")
done
if [ -n "$BEFORE" ]; then
    # Under its own name: the program keeps its settings under its file's name, and as
    # CorvaleRecorder-before.exe it would miss b_only_once, stop at the input guidance dialog
    # and not end at its close.
    mkdir -p "$WORK/before-exe"
    cp "$BEFORE" "$WORK/before-exe/CorvaleRecorder.exe"
fi

# Each prefix gets a wineserver of our own, in the foreground and persistent, so that its
# process id is known and its CPU time can still be read after the program has ended.
for name in "${COLUMNS_RUN[@]}"; do
    WINEPREFIX=$WORK/$name "$(dirname "$CORVALE_WINE")/wineserver" -k >/dev/null 2>&1
    WINEPREFIX=$WORK/$name "$(dirname "$CORVALE_WINE")/wineserver" -f -p >/dev/null 2>&1 &
    SERVER[$name]=$!
done
sleep 1
# A server's CPU ticks (user + system) so far.
server_ticks() { awk '{ print $14 + $15 }' "/proc/${SERVER[$1]}/stat" 2>/dev/null || echo 0; }
in_prefix() { local prefix=$1; shift; WINEPREFIX=$prefix WINEDEBUG=-all "$@"; }
drive() { in_prefix "$1" "$CORVALE_WINE" "$BIN/corvale-driver.exe" "${@:2}" 2>/dev/null | tr -d '\r'; }

sox -n -r 44100 -c 2 -b 16 "$WORK/tone.wav" synth $((SECONDS_TO_RECORD + 60)) sine 1000 vol 0.5
paplay --latency-msec=20 -d speakers "$WORK/tone.wav" &
player=$!
sleep 1

# The recorders of the whole program: started and set up before the recording begins.
declare -A TICKS0 TICKS1 PIDS
start_recorder() {
    local name=$1 exe=$2 prefix=$WORK/$1 index
    drive "$prefix" reg-write-dword "$SETTINGS" b_only_once 1 >/dev/null
    TICKS0[$name]=$(server_ticks "$name")
    (cd "$BIN" && WINEPREFIX=$prefix WINEDEBUG=-all exec /usr/bin/time -v -o "$WORK/$name.time" \
        "$CORVALE_WINE" "$exe" >/dev/null 2>&1) &
    PIDS[$name]=$!
    drive "$prefix" wait-window "$TITLE" 30000 >/dev/null
    index=$(drive "$prefix" items "$TITLE" 1009 | tail -n +3 | grep -nx "$DEVICE" | cut -d: -f1)
    drive "$prefix" select "$TITLE" 1009 $((${index:-1} - 1)) -- \
        set-text "$TITLE" 1008 "$(winpath "$WORK/$name.wav")" >/dev/null
}
# Ends a recorder after its recording: the close box, once more after 20 s, then a kill.
end_recorder() {
    local name=$1 i
    for i in $(seq 400); do
        kill -0 "${PIDS[$name]}" 2>/dev/null || break
        [ "$i" = 200 ] && drive "$WORK/$name" close "$TITLE" >/dev/null
        sleep 0.1
    done
    if kill -0 "${PIDS[$name]}" 2>/dev/null; then
        echo "$name did not end after its close: killed" >&2
        pkill -P "${PIDS[$name]}"
    fi
    wait "${PIDS[$name]}"
    TICKS1[$name]=$(server_ticks "$name")
}

RECORDERS=(recorder)
[ -n "$BEFORE" ] && RECORDERS+=(before)
start_recorder recorder "$(winpath "$BIN/CorvaleRecorder.exe")"
[ -n "$BEFORE" ] && start_recorder before "$(winpath "$WORK/before-exe/CorvaleRecorder.exe")"

FLOORS=(wavein wasapi wasapi100)
for name in "${FLOORS[@]}" graph; do TICKS0[$name]=$(server_ticks "$name"); done
# A floor recorder: NAME, the program, its options besides the device, file and time.
start_floor() {
    local name=$1 exe=$2
    shift 2
    (cd "$BIN" && WINEPREFIX=$WORK/$name WINEDEBUG=-all exec /usr/bin/time -v -o "$WORK/$name.time" \
        "$CORVALE_WINE" "$exe" --device "$DEVICE" --out "$(winpath "$WORK/$name.wav")" \
        --seconds "$SECONDS_TO_RECORD" "$@" >"$WORK/$name.log" 2>&1) &
    PIDS[$name]=$!
}
start_floor wavein "$BIN/wavein_rec.exe"
start_floor wasapi "$BIN/wasapi_rec.exe"
start_floor wasapi100 "$BIN/wasapi_rec.exe" --poll 100
(cd "$(dirname "$GRAPHREC")" && WINEPREFIX=$WORK/graph WINEDEBUG=-all exec /usr/bin/time -v -o "$WORK/graph.time" \
    "$CORVALE_WINE" "$GRAPHREC" --device "$DEVICE" --out "$(winpath "$WORK/graph.wav")" \
    --steps "run:$SECONDS_TO_RECORD" >"$WORK/graph.log" 2>&1) &
PIDS[graph]=$!
/usr/bin/time -v -o "$WORK/parecord.time" timeout -s INT "$SECONDS_TO_RECORD" \
    parecord -d speakers.monitor --file-format=wav "$WORK/parecord.wav" 2>/dev/null &
PIDS[parecord]=$!
DRIVERS=()
for name in "${RECORDERS[@]}"; do
    drive "$WORK/$name" click "$TITLE" 1004 -- sleep $((SECONDS_TO_RECORD * 1000)) -- \
        click "$TITLE" 1003 -- sleep 1000 -- close "$TITLE" >/dev/null &
    DRIVERS+=($!)
done
sleep $((SECONDS_TO_RECORD / 2))
load_during=$(cut -d' ' -f1-3 /proc/loadavg)
# Resident memory in the middle of the recording, per mapped file and anonymous, of the Wine
# process under each /usr/bin/time.
for name in wavein recorder; do
    pid=$(pgrep -P "${PIDS[$name]}" | head -1)
    awk '/^[0-9a-f]+-[0-9a-f]+ / { n = $6 == "" ? "[anonymous]" : $6; sub(".*/", "", n); next }
        /^Rss:/ { r[n] += $2 } END { for (k in r) print k, r[k] }' "/proc/$pid/smaps" 2>/dev/null |
        sort >"$WORK/$name.smaps"
done
for name in "${FLOORS[@]}" graph; do
    wait "${PIDS[$name]}"
    TICKS1[$name]=$(server_ticks "$name")
done
wait "${PIDS[parecord]}" "${DRIVERS[@]}"
for name in "${RECORDERS[@]}"; do end_recorder "$name"; done
kill "$player" 2>/dev/null

cpu_of() { awk -F': ' '/User time/ { u = $2 } /System time/ { s = $2 } END { printf "%.2f", u + s }' "$1"; }
rss_of() { awk -F': ' '/Maximum resident set size/ { print $2 }' "$1"; }
hz=$(getconf CLK_TCK)

printf 'recorded %s s of a 1 kHz tone from "%s"; load average %s during the run\n' \
    "$SECONDS_TO_RECORD" "$DEVICE" "$load_during"
printf '%-10s %8s %9s %8s %13s %8s %10s %10s\n' program "cpu s" "server s" "total s" "peak rss KiB" \
    "audio s" "cpu/floor" "mem/floor"
floor_total= floor_rss=
for name in wavein wasapi wasapi100 graph recorder before parecord; do
    [ -f "$WORK/$name.time" ] || continue
    cpu=$(cpu_of "$WORK/$name.time")
    rss=$(rss_of "$WORK/$name.time")
    server=0.00
    if [ "$name" != parecord ]; then
        server=$(awk -v a="${TICKS0[$name]:-0}" -v b="${TICKS1[$name]:-0}" -v hz="$hz" 'BEGIN { printf "%.2f", (b - a) / hz }')
    fi
    total=$(awk -v a="$cpu" -v b="$server" 'BEGIN { printf "%.2f", a + b }')
    [ -z "$floor_total" ] && floor_total=$total floor_rss=$rss
    awk -v n="$name" -v c="$cpu" -v s="$server" -v t="$total" -v r="$rss" -v ft="$floor_total" -v fr="$floor_rss" \
        -v a="$(sox --i -D "$WORK/$name.wav" 2>/dev/null)" 'BEGIN {
        printf "%-10s %8s %9s %8s %13s %8s %10s %10.2f\n", n, c, s, t, r, (a == "" ? "-" : a),
            (ft > 0 ? sprintf("%.2f", t / ft) : "n/a"), r / fr }'
done
printf 'total s = the program plus its wineserver; the recorders include their start-up and window.\n'
printf '\nresident KiB in the middle of the recording, per mapping (the largest differences)\n'
printf '%-28s %10s %10s %10s\n' mapping wavein recorder extra
join -a 1 -a 2 -e 0 -o 0,1.2,2.2 "$WORK/wavein.smaps" "$WORK/recorder.smaps" |
    awk '{ printf "%-28s %10d %10d %10d\n", $1, $2, $3, $3 - $2; w += $2; r += $3 }
        END { printf "%-28s %10d %10d %10d\n", "(all)", w, r, r - w }' | sort -k4,4nr | head -21
