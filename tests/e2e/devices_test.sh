#!/usr/bin/env bash
# Device edge cases: no sound server at all, and a device removed while recording.
source "$(dirname "$0")/e2e_lib.sh"

# No sound server: the "No audio capture hardware!" box, then the program ends, saving nothing.
reset_settings
start_wine "$RECORDER" PULSE_SERVER=unix:/nonexistent/socket
RECORDER_PID=$!
box=$(drv answer "No audio capture hardware!" OK 20000)
expected='text "There were no audio capture devices detected on this system.\r\n\r\nIf your system has an audio capture device (sound card, video camera, etc.),\r\nthen make sure that it is working properly and that you are not running\r\nthis program through a Windows XP Remote Desktop connection.\r\n\r\nThis program will now exit."'
expect_eq "without a sound server the no-hardware box shows its text" "$(echo "$box" | sed -n 1p)" "$expected"
if recorder_wait_exit 10; then pass "the program exits after the no-hardware box"; else
    fail "the program exits after the no-hardware box"; recorder_kill; fi
expect_eq "no setting is written without hardware" "$(setting nSoundCaptureIndex)" "missing"

# The recorded sink disappears while recording: the recording stops within two seconds, the
# file stays valid, both lists are emptied and the user is told.
gone=$(load_sink gone Gone)
trap 'kill $PLAYER_PID 2>/dev/null; recorder_kill; pactl unload-module "$gone" 2>/dev/null' EXIT
tone "$E2E/a1000.wav" 1000 60
play_into gone "$E2E/a1000.wav"
reset_settings
drv reg-write-dword "$SETTINGS" b_only_once 1 >/dev/null
recorder_start
names=$(drv items "$TITLE" 1009 | tail -n +3)
index=$(echo "$names" | grep -nx "Monitor of Gone" | cut -d: -f1)
drv select "$TITLE" 1009 $((index - 1)) >/dev/null
take=$E2E/removed.wav
rm -f "$take"
drv set-text "$TITLE" 1008 "$(winpath "$take")" -- click "$TITLE" 1004 -- sleep 3000 >/dev/null
kill $PLAYER_PID 2>/dev/null
# The driver waits for the box before the sink goes, so its own start-up is not timed.
drv answer "DirectShow Audio Capture Sample" OK 10000 >"$E2E/removed-box.txt" &
waiter=$!
sleep 1.5
pactl unload-module "$gone"
start=$(date +%s.%N)
wait $waiter
elapsed=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { print b - a }')
box=$(cat "$E2E/removed-box.txt")
expect_eq "removal shows its message" "$(echo "$box" | sed -n 1p)" 'text "The selected input device was removed!"'
# Known gap of Wine 8.0: after its PulseAudio source goes, waveIn sits inside winmm for about
# two seconds before the capture source's stop can finish, and three seconds of silence make a
# loss, so the box comes after about 5 s.
if awk -v e="$elapsed" 'BEGIN { exit !(e < 6) }'; then pass "removal is noticed and handled within 6 s ($elapsed s)"; else
    fail "removal is noticed and handled within 6 s" "took $elapsed s"; fi
expect_eq "after removal the status is Ready" "$(drv text "$TITLE" 1035)" "Status : Ready"
expect_eq "after removal the device list is empty" "$(drv items "$TITLE" 1009 | sed -n 1p)" "count 0"
expect_eq "after removal the input list is empty" "$(drv items "$TITLE" 1011 | sed -n 1p)" "count 0"
seconds=$(wav_seconds "$take")
if [ -n "$seconds" ] && awk -v s="$seconds" 'BEGIN { exit !(s >= 2.5) }'; then
    pass "the file recorded before the removal is a valid WAV ($seconds s)"
else
    fail "the file recorded before the removal is a valid WAV" "soxi: '${seconds}'"
fi

# The sink comes back: nothing listens any more, so nothing changes; Record still asks about
# the existing file, then starts nothing.
gone=$(load_sink gone Gone)
sleep 2
drv no-window "DirectShow Audio Capture Sample" 1500 >/dev/null && pass "the device's return shows nothing" ||
    fail "the device's return shows nothing"
out=$(drv click "$TITLE" 1004 -- answer Warning Yes -- sleep 1500 -- text "$TITLE" 1035)
expect_eq "Record after removal asks about the file, then starts nothing" "$(echo "$out" | tail -n 1)" "Status : Ready"
recorder_close
reset_settings
test_done
