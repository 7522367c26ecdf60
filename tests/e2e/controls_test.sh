#!/usr/bin/env bash
# The level slider acts on the real mixer, Browse goes through the real save dialog, and the
# guidance dialog appears at the user's first input change.
source "$(dirname "$0")/e2e_lib.sh"

trap 'kill $PLAYER_PID 2>/dev/null; recorder_kill' EXIT
tone "$E2E/a1000.wav" 1000 120
play_into speakers "$E2E/a1000.wav"
reset_settings
recorder_start

# First run: the first input change shows the guidance dialog, its OK stores b_only_once.
names=$(drv items "$TITLE" 1009 | tail -n +3)
index=$(echo "$names" | grep -nx "Monitor of Speakers" | cut -d: -f1)
out=$(drv select "$TITLE" 1009 $((index - 1)) -- wait-window "How to select an input device" 5000 \
    -- click "How to select an input device" 1 -- wait-gone "How to select an input device" 5000)
if [ $? -eq 0 ]; then pass "the first device change shows the guidance dialog"; else
    fail "the first device change shows the guidance dialog" "$out"; fi
expect_eq "its OK with the box ticked stores b_only_once" "$(setting b_only_once)" "dword 1"
drv select "$TITLE" 1011 0 -- no-window "How to select an input device" 1500 >/dev/null &&
    pass "after that the guidance dialog stays away" || fail "after that the guidance dialog stays away"

record() { # FILE SECONDS
    rm -f "$1"
    drv set-text "$TITLE" 1008 "$(winpath "$1")" -- click "$TITLE" 1004 -- sleep $(($2 * 1000)) \
        -- click "$TITLE" 1003 >/dev/null
}
# The slider at 100 of 200 applies level 0.5 to the selected line when released.
drv set-slider "$TITLE" 1038 200 >/dev/null
record "$E2E/full.wav" 2
drv set-slider "$TITLE" 1038 100 >/dev/null
expect_eq "the slider stays at the level set" "$(drv slider "$TITLE" 1038 | awk '{print $2}')" "100"
record "$E2E/half.wav" 2
full=$(wav_rms "$E2E/full.wav"); half=$(wav_rms "$E2E/half.wav")
if awk -v f="${full:-0}" -v h="${half:-0}" 'BEGIN { exit !(f > 0.05 && h < f * 0.8) }'; then
    pass "a recording at level 0.5 is quieter (RMS $half against $full)"
else
    fail "a recording at level 0.5 is quieter" "RMS at 1.0: '$full', at 0.5: '$half'"
fi
# The level lives in the mixer: choosing the input again shows it.
drv select "$TITLE" 1011 0 >/dev/null
expect_eq "the slider shows the mixer's level when the input is applied" \
    "$(drv slider "$TITLE" 1038 | awk '{print $2}')" "100"

# Browse: the real save dialog; the chosen name gets ".wav", the box and the setting follow.
mkdir -p "$E2E/browse"
chosen=$(winpath "$E2E/browse")\\take1.mp3
out=$(drv click "$TITLE" 1039 -- save-dialog-fill "$chosen" 10000 -- sleep 500 -- text "$TITLE" 1008)
expect_eq "Browse replaces the extension with .wav" "$(echo "$out" | tail -n 1)" "${chosen%.mp3}.wav"
expect_eq "Browse saves the path at once" "$(setting output_wav_file)" "string \"$(esc "${chosen%.mp3}.wav")\""
drv click "$TITLE" 1004 -- sleep 1500 -- click "$TITLE" 1003 >/dev/null
[ -f "$E2E/browse/take1.wav" ] && pass "the next recording goes to the chosen file" ||
    fail "the next recording goes to the chosen file"
recorder_close
reset_settings
test_done
