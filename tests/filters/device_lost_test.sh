#!/usr/bin/env bash
# Unloading the null sink whose monitor is being recorded delivers EC_DEVICE_LOST (31) with 0
# within two seconds; loading it again delivers it with a non-zero second parameter. The same
# loss comes when the default sink goes while "Stereo Mix" of the default source records it.
# Uses a sink of its own, so the shared "speakers" sink stays.
source "$CORVALE_ROOT/tests/lib/testlib.sh"
source "$CORVALE_ROOT/tests/filters/filterlib.sh"

# lose NAME DEVICE: records DEVICE, unloads the sink 3 s into the recording and loads it again
# 4 s later; sets LOG, UNLOADED and LOADED (epoch ms).
lose() {
    LOG=$FWORK/lost-$1.log
    module=$(load_sink corvale_lost CorvaleLost) || { fail "$1: test sink loaded"; return 1; }
    pactl set-default-sink corvale_lost
    (graphrec --device "$2" --out "$(winpath "$FWORK/lost-$1.wav")" --steps run:14 >"$LOG" 2>&1) &
    local runner=$!
    for _ in $(seq 100); do grep -q '^STATE run' "$LOG" 2>/dev/null && break; sleep 0.1; done
    sleep 3
    UNLOADED=$(date +%s%3N)
    pactl unload-module "$module"
    sleep 4
    module=$(load_sink corvale_lost CorvaleLost)
    LOADED=$(date +%s%3N)
    wait "$runner"
    pactl set-default-sink speakers
    [ -n "$module" ] && pactl unload-module "$module"
    expect_eq "$1: no device event before the sink went away" \
        "$(awk -v t="$UNLOADED" '$1 == "EVENT" && $2 == 31 && $5 < t' "$LOG" | wc -l)" 0
    local lost
    lost=$(awk '$1 == "EVENT" && $2 == 31 && $4 == 0 { print $5; exit }' "$LOG")
    if [ -z "$lost" ]; then
        fail "$1: EC_DEVICE_LOST 0 within 2 s" "no event" "$(grep -E 'EVENT|STATE' "$LOG")"
        return
    fi
    echo "  $1: device lost reported $((lost - UNLOADED)) ms after the unload"
    expect_between "$1: EC_DEVICE_LOST 0 within 2 s (ms)" "$((lost - UNLOADED))" 0 2000
}

lose monitor "Monitor of CorvaleLost"
back=$(awk -v t="$LOADED" '$1 == "EVENT" && $2 == 31 && $4 != 0 && $5 >= t { print $5; exit }' "$LOG")
if [ -n "$back" ]; then
    echo "  device back reported $((back - LOADED)) ms after the load"
    pass "monitor: EC_DEVICE_LOST non-zero when the sink is back"
else
    fail "monitor: EC_DEVICE_LOST non-zero when the sink is back" "$(grep -E 'EVENT|STATE' "$LOG")"
fi

# Wine 8 calls the default source "PulseAudio", Wine 10 "PulseAudio Input".
lose "Stereo Mix" "$(graphrec --list | awk '$1 == "DEVICE" && /^DEVICE PulseAudio/ { sub(/^DEVICE /, ""); print; exit }')"
test_done
