#!/usr/bin/env bash
# The capture filter's mixer line pin: put_MixLevel(0.5) reads back 0.5, a recording at level
# 0.5 is quieter than at 1.0 (half the amplitude), put_Enable(FALSE) on the only line records
# silence. Wine 8.0's own wave-in mixer volume does not act on the captured signal (measured
# here too), which is why the capture filter applies the level itself.
source "$CORVALE_ROOT/tests/lib/testlib.sh"
source "$CORVALE_ROOT/tests/filters/filterlib.sh"

out=$FWORK/mixer.wav
log=$FWORK/mixer.log
play_into speakers "$(tone_file 1000 30)"
graphrec --device "Monitor of Speakers" --out "$(winpath "$out")" \
    --steps run:2,level:0.5,run:2,level:1,enable:0,run:2,enable:1,winmm:0.1,run:2 >"$log" 2>&1
stop_playing

expect_near "mixer: get_MixLevel after put_MixLevel(0.5)" "$(awk '$1 == "MIXLEVEL" { print $2; exit }' "$log")" 0.5 0.0001
# The data arrives with Wine's capture latency, so the four parts are found by their level in
# half-second windows rather than at fixed times.
windows=$(for t in $(seq 0 0.5 7.5); do
    printf '%s %s\n' "$(stat_of "$out" 'RMS.*amplitude' trim "$t" 0.5)" "$(stat_of "$out" 'Maximum.*amplitude' trim "$t" 0.5)"
done)
full=$(echo "$windows" | head -n 1 | awk '{ print $1 }')
winmm=$(echo "$windows" | awk 'NF == 2 && $1 > 0 { last = $1 } END { print last }')
echo "  RMS at level 1.0: $full, after the winmm volume 0.1: $winmm"
expect_near "mixer: the first part is recorded at full level" "$full" 0.3536 0.01
if echo "$windows" | awk -v f="$full" '$1 > 0 && ($1 / f) > 0.48 && ($1 / f) < 0.52 { found = 1 } END { exit !found }'; then
    pass "mixer: level 0.5 halves the amplitude"
else
    fail "mixer: level 0.5 halves the amplitude" "window RMS/max: $(echo "$windows" | tr '\n' ';')"
fi
if echo "$windows" | awk '$2 == "0.000000" { found = 1 } END { exit !found }'; then
    pass "mixer: put_Enable(FALSE) records silence"
else
    fail "mixer: put_Enable(FALSE) records silence" "window RMS/max: $(echo "$windows" | tr '\n' ';')"
fi
expect_near "mixer: Wine's winmm volume leaves the signal alone" "$winmm" "$full" 0.01
test_done
