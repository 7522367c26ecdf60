#!/usr/bin/env bash
# Unloading the null sink whose monitor is being recorded delivers EC_DEVICE_LOST (31) with 0
# within two seconds, and nothing recorded after it joins the file; loading it again delivers
# it with a non-zero second parameter. Uses a sink of its own, so the shared "speakers" sink
# stays.
source "$CORVALE_ROOT/tests/lib/testlib.sh"
source "$CORVALE_ROOT/tests/filters/filterlib.sh"

module=$(load_sink corvale_lost CorvaleLost) || { fail "lost: test sink loaded"; exit 0; }
out=$FWORK/lost.wav
log=$FWORK/lost.log
(graphrec --device "Monitor of CorvaleLost" --out "$(winpath "$out")" --steps run:14 >"$log" 2>&1) &
runner=$!
for _ in $(seq 100); do grep -qs '^STATE run' "$log" && break; sleep 0.1; done
sleep 3
unloaded=$(date +%s%3N)
pactl unload-module "$module"
sleep 4
module=$(load_sink corvale_lost CorvaleLost)
loaded=$(date +%s%3N)
wait "$runner"
[ -n "$module" ] && pactl unload-module "$module"

lost=$(awk '$1 == "EVENT" && $2 == 31 && $4 == 0 { print $5; exit }' "$log")
back=$(awk -v t="$loaded" '$1 == "EVENT" && $2 == 31 && $4 != 0 && $5 >= t { print $5; exit }' "$log")
early=$(awk -v t="$unloaded" '$1 == "EVENT" && $2 == 31 && $5 < t' "$log" | wc -l)
expect_eq "lost: no device event before the sink went away" "$early" 0
if [ -n "$lost" ]; then
    latency=$((lost - unloaded))
    echo "  device lost reported ${latency} ms after the unload"
    if [ "$latency" -ge 0 ] && [ "$latency" -le 2000 ]; then pass "lost: EC_DEVICE_LOST 0 within 2 s"; else
        fail "lost: EC_DEVICE_LOST 0 within 2 s" "got: ${latency} ms"; fi
else
    fail "lost: EC_DEVICE_LOST 0 within 2 s" "no event" "$(grep -E 'EVENT|STATE' "$log")"
fi
ran=$(awk '$1 == "STATE" && $2 == "run" { print $3; exit }' "$log")
expect_between "lost: nothing recorded after the loss joins the file (s)" \
    "$(sox --i -D "$out" 2>/dev/null)" 0 "$(awk -v u="$unloaded" -v r="${ran:-0}" 'BEGIN { print (u - r) / 1000 + 0.3 }')"
if [ "$CORVALE_SOUND_SERVER" = pipewire ]; then
    # PipeWire opens a handle of a source that is gone on the default source, and Wine's device
    # list stays as it was at the program's start (measured on Debian 13): the return of the
    # sink cannot be told from inside the program.
    skip "lost: EC_DEVICE_LOST non-zero when the sink is back" "PipeWire hides a source's return"
elif [ -n "$back" ]; then
    echo "  device back reported $((back - loaded)) ms after the load"
    pass "lost: EC_DEVICE_LOST non-zero when the sink is back"
else
    fail "lost: EC_DEVICE_LOST non-zero when the sink is back" "$(grep -E 'EVENT|STATE' "$log")"
fi
test_done
