#!/usr/bin/env bash
# The level meter end to end: an input that only gives silence brings the "no sound" warning
# after 5 s, a tone replaces it with the tone's level in the meter's text and bars, the tooltip
# names the device and input, and Stop empties the meter.
source "$(dirname "$0")/e2e_lib.sh"

METER=1056
WARNING="No sound is arriving from this input"
quiet=$(load_sink quiet Quiet)
trap 'kill $PLAYER_PID 2>/dev/null; recorder_kill; pactl unload-module "$quiet" 2>/dev/null' EXIT
# A sine of half full scale: -6 dBFS.
tone "$E2E/a440.wav" 440 60

# meter_colours NAME: the counts of green, yellow and warning pixels in the meter's strip, from
# a screenshot kept as build/NAME.png.
meter_colours() {
    local shot=$E2E/$1.bmp ox oy x y w h
    drv screenshot-window "$TITLE" "$(winpath "$shot")" >/dev/null || return 1
    convert "$shot" "$CORVALE_BUILD/$1.png" 2>/dev/null
    read -r ox oy < <(shot_origin "$TITLE")
    read -r x y w h < <(drv controls "$TITLE" | awk -v id=$METER '$1 == id { print $5, $6, $7, $8 }')
    convert "$shot" -crop "${w}x$h+$((x + ox))+$((y + oy))" +repage -depth 8 txt:- 2>/dev/null |
        awk 'NR > 1 { n[$3]++ } END { print n["#28C83C"] + 0, n["#E6C828"] + 0, n["#FFBE3C"] + 0 }'
}

reset_settings
drv reg-write-dword "$SETTINGS" b_only_once 1 >/dev/null
recorder_start || { fail "recorder starts"; exit 0; }
index=$(drv items "$TITLE" 1009 | tail -n +3 | grep -nx "Monitor of Quiet" | cut -d: -f1)
drv select "$TITLE" 1009 $((index - 1)) >/dev/null
line=$(drv items "$TITLE" 1011 | awk 'NR == 2 { sel = $2 + 3 } NR == sel')
expect_eq "the meter is empty while ready" "$(drv text "$TITLE" $METER)" ""
drv set-text "$TITLE" 1008 "$(winpath "$E2E/meter.wav")" >/dev/null

# Nothing plays into the sink: the warning comes 5 s after Record.
waited=$(drv click "$TITLE" 1004 record -- wait-text "$TITLE" $METER "$WARNING" 15000 \
    -- mark warned -- between record warned | tail -n 1)
expect_between "the warning appears 5 s after Record ($waited ms)" "$waited" 5000 6500
read -r green yellow warning < <(meter_colours meter-warning)
expect_eq "the warning's text shows in place of the bars (warning pixels > 0, green)" \
    "$((warning > 0)) $green" "1 0"

play_into quiet "$E2E/a440.wav"
for attempt in $(seq 20); do
    text=$(drv text "$TITLE" $METER)
    [ "$text" != "$WARNING" ] && break
done
case $text in "Level: "*) pass "the warning goes when sound comes" ;;
*) fail "the warning goes when sound comes" "meter text: $text" ;; esac
# The text says the loudest level of each second: read one that covers a whole second of tone.
text=$(drv sleep 2100 -- text "$TITLE" $METER)
left=$(echo "$text" | sed -n 's/^Level: left \(-[0-9]*\) dB, right .*/\1/p')
right=$(echo "$text" | sed -n 's/.*, right \(-[0-9]*\) dB$/\1/p')
expect_near "the left level is the tone's -6 dBFS (text: $text)" "${left:-99}" -6 1
expect_near "the right level is the tone's -6 dBFS" "${right:-99}" -6 1
read -r green yellow warning < <(meter_colours meter-tone)
expect_eq "the bars light green and yellow, no warning (pixels > 0: green yellow warning)" \
    "$((green > 0)) $((yellow > 0)) $((warning > 0))" "1 1 0"

# Two moves: the first enters the meter, the second is the move the tooltip waits for.
tip=$(drv mouse-move "$TITLE" $METER -- sleep 300 -- mouse-move "$TITLE" $METER 2 2 -- sleep 1200 -- tooltip)
expect_eq "the tooltip names the device and the input" \
    "$(echo "$tip" | grep -m 1 'Recording from')" \
    "tooltip text \"Recording from \\\"Monitor of Quiet\\\", input \\\"$line\\\"\""
drv mouse-move-xy 1000 700 >/dev/null

log=$(drv click "$TITLE" 1003 -- sleep 300 -- text "$TITLE" $METER)
expect_eq "Stop empties the meter" "$log" ""
stop_playing
recorder_close
reset_settings
test_done
