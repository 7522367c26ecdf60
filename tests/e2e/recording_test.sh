#!/usr/bin/env bash
# Recording end to end: the device list, Record/Pause/Record/Stop into a real WAV of what a
# PulseAudio sink plays, the replace prompt, a bad folder, and closing while recording.
source "$(dirname "$0")/e2e_lib.sh"

second=$(load_sink second Second)
trap 'kill $PLAYER_PID $OTHER_PID 2>/dev/null; recorder_kill; pactl unload-module "$second" 2>/dev/null' EXIT
tone "$E2E/a440.wav" 440 60
tone "$E2E/a1000.wav" 1000 60
play_into speakers "$E2E/a440.wav"; OTHER_PID=$PLAYER_PID
play_into second "$E2E/a1000.wav"

reset_settings
drv reg-write-dword "$SETTINGS" b_only_once 1 >/dev/null
recorder_start || { fail "recorder starts"; exit 0; }

items=$(drv items "$TITLE" 1009)
names=$(echo "$items" | tail -n +3)
if echo "$names" | grep -qx "Monitor of Speakers" && echo "$names" | grep -qx "Monitor of Second"; then
    pass "device list shows both sinks' monitors"
else
    fail "device list shows both sinks' monitors" "got: $names"
fi
expect_eq "device list is visible with several devices" "$(drv visible "$TITLE" 1009)" "1"
index=$(echo "$names" | grep -nx "Monitor of Second" | cut -d: -f1)
drv select "$TITLE" 1009 $((index - 1)) >/dev/null
expect_eq "input list shows the monitor's one line" "$(drv items "$TITLE" 1011 | tail -n +3)" "Stereo Mix"

take=$E2E/take.wav
rm -f "$take"
drv set-text "$TITLE" 1008 "$(winpath "$take")" >/dev/null
# A click is posted: the short sleeps let the recorder handle it before its text is read.
log=$(drv click "$TITLE" 1004 -- sleep 200 -- text "$TITLE" 1035 -- sleep 4900 -- text "$TITLE" 1035 \
    -- click "$TITLE" 1002 -- text "$TITLE" 1035 -- enabled "$TITLE" 1004 -- sleep 2000 \
    -- click "$TITLE" 1004 -- text "$TITLE" 1035 -- sleep 3000 -- click "$TITLE" 1003 \
    -- text "$TITLE" 1035 -- enabled "$TITLE" 1001)
mapfile -t seen <<<"$(echo "$log" | grep -v '^$')"
seconds_of() { echo "$1" | awk -F: '/Used Time/ { print $NF + 60 * $(NF - 1) + 3600 * $(NF - 2) }'; }
expect_eq "Record shows the counter at zero" "${seen[0]}" "Status : Recording audio - Used Time: 00:00:00"
# 5.1 s after Record: the one-second timer has ticked five times, or four when a tick comes late
# (timer messages wait behind every other message, and this machine may be busy); never more.
counted=$(seconds_of "${seen[1]}")
expect_between "the counter counts seconds" "$counted" 4 5
case ${seen[1]} in "Status : Recording audio - Used Time: "*) pass "the counter's text" ;;
*) fail "the counter's text" "got: ${seen[1]}" ;; esac
# A tick may fall between the read and the click on Pause.
expect_between "Pause shows the paused time" "$(seconds_of "${seen[2]}")" "$counted" $((counted + 1))
case ${seen[2]} in "Status : Paused audio recording - Used Time: "*) pass "the paused text" ;;
*) fail "the paused text" "got: ${seen[2]}" ;; esac
expect_eq "Record is enabled while paused" "${seen[3]}" "1"
expect_eq "resuming keeps the paused text until the next tick" "${seen[4]}" "${seen[2]}"
expect_eq "Stop shows Ready" "${seen[5]}" "Status : Ready"
expect_eq "Play is enabled again after Stop" "${seen[6]}" "1"

seconds=$(wav_seconds "$take")
expect_near "5 s + 3 s of recording give 8 s of audio" "${seconds:-0}" 8 0.5
expect_eq "the file is 44.1 kHz 16-bit stereo PCM" "$(soxi -r "$take" 2>/dev/null) $(soxi -b "$take" 2>/dev/null) $(soxi -c "$take" 2>/dev/null)" "44100 16 2"
expect_near "the file holds the second sink's 1 kHz tone" "$(wav_frequency "$take")" 1000 30

# An existing file is asked about: No keeps it, Yes replaces it.
before=$(md5sum <"$take")
answer=$(drv click "$TITLE" 1004 -- answer Warning No)
expect_eq "Record asks before replacing" "$(echo "$answer" | sed -n 1p)" \
    "text \"$(esc "$(winpath "$take")") exists. Do you want to replace it?\""
expect_eq "No keeps the file untouched" "$(md5sum <"$take")" "$before"
expect_eq "No leaves the recorder Ready" "$(drv text "$TITLE" 1035)" "Status : Ready"
drv click "$TITLE" 1004 -- answer Warning Yes -- sleep 2000 -- click "$TITLE" 1003 >/dev/null
expect_near "Yes replaces the file with the new recording" "$(wav_seconds "$take")" 2 0.6

# A folder that does not exist: the graph cannot start, the user is told, Ready again.
drv set-text "$TITLE" 1008 'C:\no\such\folder\take.wav' >/dev/null
answer=$(drv click "$TITLE" 1004 -- answer "Start Recording Error" OK -- sleep 500 -- text "$TITLE" 1035 \
    -- enabled "$TITLE" 1004 -- enabled "$TITLE" 1002 -- enabled "$TITLE" 1003 -- enabled "$TITLE" 1001)
if echo "$answer" | grep -q '^text "1. Your audio hardware may be used by other program'; then
    pass "a missing folder shows Start Recording Error"
else
    fail "a missing folder shows Start Recording Error" "got: $answer"
fi
expect_eq "after the error the recorder is Ready with all four buttons" \
    "$(echo "$answer" | tail -n 5 | tr '\n' ' ')" "Status : Ready 1 1 1 1 "

# Closing the window while recording leaves a complete file.
closing=$E2E/closing.wav
rm -f "$closing"
# The close is sent by the same driver run, so that no Wine process start lies between.
drv set-text "$TITLE" 1008 "$(winpath "$closing")" -- click "$TITLE" 1004 -- sleep 3000 -- close "$TITLE" >/dev/null
recorder_wait_exit 10 || recorder_kill
expect_near "closing while recording leaves a complete WAV" "$(wav_seconds "$closing")" 3 0.6
expect_eq "the device chosen is saved" "$(setting nSoundCaptureIndex)" "dword $((index - 1))"
reset_settings
test_done
