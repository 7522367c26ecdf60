#!/usr/bin/env bash
# The first run picks the loopback line by itself: with fresh settings the first device listed,
# a microphone ("Headset", a pipe source playing 440 Hz, the default input), shows "Stereo Mix"
# and "Microphone", "Stereo Mix" is selected, and Record captures the 1 kHz tone played into
# the default sink "Speakers", not the silence of "Other", whose name sorts first.
source "$(dirname "$0")/e2e_lib.sh"

# Wine lists the devices by name: "Headset" before the monitors and "PulseAudio".
mic=$(load_pipe_source corvale_headset Headset 440) || { fail "pipe source loaded"; exit 0; }
other=$(load_sink corvale_other Other) || { fail "second sink loaded"; exit 0; }
trap 'kill $PLAYER_PID 2>/dev/null; recorder_kill; pactl unload-module "$other"; pactl unload-module "$mic"' EXIT
pactl set-default-sink speakers
pactl set-default-source corvale_headset
tone "$E2E/a1000.wav" 1000 60
play_into speakers "$E2E/a1000.wav"
reset_settings
recorder_start || { fail "recorder starts"; exit 0; }

expect_eq "the first device is the microphone" "$(drv items "$TITLE" 1009 | sed -n '2,3p' | tr '\n' ,)" \
    "sel 0,Headset,"
inputs=$(drv items "$TITLE" 1011)
expect_eq "its input list shows Stereo Mix and Microphone" "$(echo "$inputs" | tail -n +3 | tr '\n' ,)" \
    "Stereo Mix,Microphone,"
expect_eq "Stereo Mix is selected" "$(echo "$inputs" | sed -n 2p)" "sel 0"

take=$E2E/loopback.wav
rm -f "$take"
drv set-text "$TITLE" 1008 "$(winpath "$take")" -- click "$TITLE" 1004 -- sleep 3000 \
    -- click "$TITLE" 1003 >/dev/null
expect_near "Record captures what plays into the default sink (1 kHz)" "$(wav_frequency "$take")" 1000 30
recorder_close
expect_eq "the search for the loopback line is done" "$(setting nSearchFlag)" "dword 1"
reset_settings
test_done
