#!/usr/bin/env bash
# record_bench.sh [BUILD_DIR] [SECONDS]: records SECONDS (60) of a tone played into a private
# PulseAudio null sink, at the same time with the recorder's graph under Wine (graphrec) and
# with parecord from the same monitor source, and prints each one's CPU seconds (user + system)
# and peak memory (maximum resident set) from /usr/bin/time -v, and their ratios. The
# wineserver's CPU time over the run is printed apart: it serves the Wine process.
set -u
source "$(dirname "$0")/../scripts/lib.sh"
BUILD=${1:-$CORVALE_ROOT/build}
SECONDS_TO_RECORD=${2:-60}
GRAPHREC=$BUILD/tests/filters/graphrec.exe
if [ ! -f "$GRAPHREC" ]; then corvale_build "$BUILD" >/dev/null || exit 1; fi

WORK=$(mktemp -d /tmp/corvale-bench.XXXXXX)
trap 'corvale_teardown; rm -rf "$WORK"' EXIT
corvale_ensure_display || exit 1
corvale_ensure_pulse force || exit 1
corvale_prepare_prefix "$WORK/prefix" "$BUILD" || exit 1

sox -n -r 44100 -c 2 -b 16 "$WORK/tone.wav" synth $((2 * SECONDS_TO_RECORD + 40)) sine 1000 vol 0.5
paplay --latency-msec=20 -d speakers "$WORK/tone.wav" &
player=$!
sleep 1

# wineserver's CPU ticks (user + system) from /proc.
server_ticks() {
    local pid
    pid=$(pgrep -n -x wineserver) || { echo 0; return; }
    awk '{ print $14 + $15 }' "/proc/$pid/stat"
}
ticks_before=$(server_ticks)

(cd "$(dirname "$GRAPHREC")" && WINEDEBUG=-all /usr/bin/time -v -o "$WORK/graph.time" "$CORVALE_WINE" "$GRAPHREC" \
    --device "Monitor of Speakers" --out "Z:${WORK//\//\\}\\graph.wav" --steps "run:$SECONDS_TO_RECORD" \
    >"$WORK/graph.log" 2>&1) &
graph=$!
/usr/bin/time -v -o "$WORK/parecord.time" timeout -s INT "$SECONDS_TO_RECORD" \
    parecord -d speakers.monitor --file-format=wav "$WORK/parecord.wav" 2>/dev/null &
pa=$!
wait "$graph" "$pa"
ticks_after=$(server_ticks)

cpu_of() { awk -F': ' '/User time/ { u = $2 } /System time/ { s = $2 } END { printf "%.2f", u + s }' "$1"; }
rss_of() { awk -F': ' '/Maximum resident set size/ { print $2 }' "$1"; }

graph_cpu=$(cpu_of "$WORK/graph.time")
pa_cpu=$(cpu_of "$WORK/parecord.time")
graph_rss=$(rss_of "$WORK/graph.time")
pa_rss=$(rss_of "$WORK/parecord.time")
server_cpu=$(awk -v a="$ticks_before" -v b="$ticks_after" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f", (b - a) / hz }')

printf 'recorded %s s of a 1 kHz tone from "Monitor of Speakers"\n' "$SECONDS_TO_RECORD"
printf '%-22s %10s %14s %12s\n' recorder "cpu s" "peak rss KiB" "audio s"
printf '%-22s %10s %14s %12s\n' "graph (graphrec/Wine)" "$graph_cpu" "$graph_rss" "$(sox --i -D "$WORK/graph.wav" 2>/dev/null)"
printf '%-22s %10s %14s %12s\n' parecord "$pa_cpu" "$pa_rss" "$(sox --i -D "$WORK/parecord.wav" 2>/dev/null)"
printf '%-22s %10s\n' "wineserver (extra)" "$server_cpu"
awk -v gc="$graph_cpu" -v pc="$pa_cpu" -v gr="$graph_rss" -v pr="$pa_rss" 'BEGIN {
    printf "ratio graph/parecord: cpu %s, peak memory %.1f\n", (pc > 0 ? sprintf("%.1f", gc / pc) : "n/a (parecord used < 0.01 s)"), gr / pr }'

# The whole program: the recorder's window records the same source through its own graph,
# driven by the test driver, with parecord beside it again.
DRIVER=$BUILD/bin/corvale-driver.exe
drive() { WINEDEBUG=-all "$CORVALE_WINE" "$DRIVER" "$@" >/dev/null 2>&1; }
if [ -f "$DRIVER" ]; then
    title="Corvale Recorder"
    drive reg-write-dword 'HKCU\Software\BrightmoorStudio\CorvaleRecorder\Option' b_only_once 1
    (WINEDEBUG=-all exec /usr/bin/time -v -o "$WORK/app.time" "$CORVALE_WINE" "$BUILD/bin/CorvaleRecorder.exe" \
        >/dev/null 2>&1) &
    app=$!
    drive wait-window "$title" 20000
    index=$(WINEDEBUG=-all "$CORVALE_WINE" "$DRIVER" items "$title" 1009 2>/dev/null | tr -d '\r' | tail -n +3 |
        grep -nx "Monitor of Speakers" | cut -d: -f1)
    drive select "$title" 1009 $((${index:-1} - 1)) -- set-text "$title" 1008 "Z:${WORK//\//\\}\\app.wav"
    /usr/bin/time -v -o "$WORK/parecord2.time" timeout -s INT "$SECONDS_TO_RECORD" \
        parecord -d speakers.monitor --file-format=wav "$WORK/parecord2.wav" 2>/dev/null &
    pa=$!
    drive click "$title" 1004 -- sleep $((SECONDS_TO_RECORD * 1000)) -- click "$title" 1003 -- sleep 1000 -- close "$title"
    wait "$app" "$pa"
    app_cpu=$(cpu_of "$WORK/app.time"); app_rss=$(rss_of "$WORK/app.time")
    pa2_cpu=$(cpu_of "$WORK/parecord2.time"); pa2_rss=$(rss_of "$WORK/parecord2.time")
    printf '%-22s %10s %14s %12s\n' "CorvaleRecorder.exe" "$app_cpu" "$app_rss" "$(sox --i -D "$WORK/app.wav" 2>/dev/null)"
    printf '%-22s %10s %14s %12s\n' "parecord (beside it)" "$pa2_cpu" "$pa2_rss" "$(sox --i -D "$WORK/parecord2.wav" 2>/dev/null)"
    awk -v gc="$app_cpu" -v pc="$pa2_cpu" -v gr="$app_rss" -v pr="$pa2_rss" 'BEGIN {
        printf "ratio recorder/parecord: cpu %s, peak memory %.1f (the recorder includes its start-up and window)\n",
            (pc > 0 ? sprintf("%.1f", gc / pc) : "n/a"), gr / pr }'
fi
kill "$player" 2>/dev/null
