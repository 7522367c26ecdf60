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
full=$(stat_of "$out" 'RMS.*amplitude' trim 0.3 1.4)
half=$(stat_of "$out" 'RMS.*amplitude' trim 2.3 1.4)
muted=$(stat_of "$out" 'Maximum.*amplitude' trim 4.3 1.4)
winmm=$(stat_of "$out" 'RMS.*amplitude' trim 6.3 1.4)
echo "  RMS at level 1.0: $full, at 0.5: $half, disabled max: $muted, winmm volume 0.1: $winmm"
ratio=$(awk -v a="$half" -v b="$full" 'BEGIN { if (b > 0) printf "%.3f", a / b; else print 0 }')
echo "  level ratio 0.5 / 1.0: $ratio"
expect_near "mixer: level 0.5 halves the amplitude" "$ratio" 0.5 0.03
expect_eq "mixer: put_Enable(FALSE) records silence" "$muted" 0.000000
expect_near "mixer: Wine's winmm volume leaves the signal alone" "$winmm" "$full" 0.01
