#!/usr/bin/env bash
# The test session's sound: the server asked for with CORVALE_SOUND_SERVER answers (a test run
# that asked for PipeWire must not pass on some PulseAudio), with the null sink "speakers" as
# its default sink and that sink's monitor described as "Monitor of Speakers".
source "$CORVALE_ROOT/tests/lib/testlib.sh"

name=$(pactl info 2>/dev/null | sed -n 's/^Server Name: //p')
case $CORVALE_SOUND_SERVER:$name in
pipewire:*PipeWire* | pulseaudio:pulseaudio) pass "the session's sound server is $CORVALE_SOUND_SERVER ($name)" ;;
*) fail "the session's sound server is $CORVALE_SOUND_SERVER" "got: '$name'" ;;
esac
expect_eq "the default sink is the null sink speakers" "$(pactl get-default-sink 2>/dev/null)" "speakers"
expect_eq "its monitor is described as Monitor of Speakers" \
    "$(pactl list sources 2>/dev/null | sed -n '/Name: speakers.monitor$/{n;s/^[[:space:]]*Description: //p}')" \
    "Monitor of Speakers"
test_done
