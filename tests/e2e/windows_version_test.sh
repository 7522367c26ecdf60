#!/usr/bin/env bash
# What depends on the Windows version: with the prefix set to Windows XP (64-bit, version 5.2)
# the labels keep their template texts and the default path is c:\recorder.wav.
source "$(dirname "$0")/e2e_lib.sh"

trap 'recorder_kill; corvale_wine winecfg -v win7 >/dev/null 2>&1' EXIT
# The labels paint their own captions (the window text keeps the template's), so the texts
# are told apart by the width of their ink: "Select a recording device" is wider than
# "Select a Sound Card", "Device properties" narrower than "Select an Input Device".
reset_settings
recorder_start
card7=$(region_measure ink-width "$TITLE" 1040); input7=$(region_measure ink-width "$TITLE" 1051)
recorder_close

corvale_wine winecfg -v winxp64 >/dev/null 2>&1
reset_settings
recorder_start
cardxp=$(region_measure ink-width "$TITLE" 1040); inputxp=$(region_measure ink-width "$TITLE" 1051)
if [ "${card7:-0}" -gt "${cardxp:-0}" ] && [ "${input7:-0}" -lt "${inputxp:-0}" ] && [ "${cardxp:-0}" -gt 0 ]; then
    pass "labels are relabelled on Windows 7 and keep their texts on Windows XP"
else
    fail "labels are relabelled on Windows 7 and keep their texts on Windows XP" \
        "ink widths 1040: $card7 (7) / $cardxp (XP), 1051: $input7 (7) / $inputxp (XP)"
fi
expect_eq "Windows XP: the default path is c:\\recorder.wav" "$(drv text "$TITLE" 1008)" 'c:\recorder.wav'
recorder_close

# A saved path wins on both versions.
drv reg-write-string "$SETTINGS" output_wav_file 'C:\saved\take.wav' >/dev/null
recorder_start
expect_eq "Windows XP: a saved path wins" "$(drv text "$TITLE" 1008)" 'C:\saved\take.wav'
drv key "$TITLE" escape >/dev/null
recorder_wait_exit 10 || recorder_kill
corvale_wine winecfg -v win7 >/dev/null 2>&1
recorder_start
expect_eq "Windows 7: a saved path wins" "$(drv text "$TITLE" 1008)" 'C:\saved\take.wav'
drv key "$TITLE" escape >/dev/null
recorder_wait_exit 10 || recorder_kill
reset_settings
test_done
