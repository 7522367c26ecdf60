#!/usr/bin/env bash
# The capture filter's input lines. A source that is not a monitor ("Mic", a pipe source
# playing 440 Hz) and the default source have "Stereo Mix" and "Microphone"; a sink's monitor
# has "Stereo Mix" only. "Stereo Mix" records what plays into the default sink (1 kHz), the
# microphone line the source's own tone; the level and the enable flag of the line that
# records act on the recording, the other line's do not, and the line cannot change while
# the graph runs. Beside the default sink "Speakers" are "Alpha" and "Zulu", first and last by
# name: "Stereo Mix" records the default one, also under a Wine whose default output names no
# sink, and when the default sink changes, the next recording follows.
source "$CORVALE_ROOT/tests/lib/testlib.sh"
source "$CORVALE_ROOT/tests/filters/filterlib.sh"

mic=$(load_pipe_source corvale_mic Mic 440) || { fail "lines: pipe source loaded"; exit 0; }
alpha=$(load_sink corvale_alpha Alpha) && zulu=$(load_sink corvale_zulu Zulu) ||
    { fail "lines: sinks loaded"; exit 0; }
trap 'stop_playing; kill $OTHER_PID 2>/dev/null; pactl set-default-sink speakers; pactl unload-module "$zulu"; pactl unload-module "$alpha"; pactl unload-module "$mic"' EXIT
pactl set-default-sink speakers
play_into speakers "$(tone_file 1000 60)"

lines=$(graphrec --list | awk '$1 == "LINE"')
# Wine 8 calls the default source "PulseAudio", Wine 10 "PulseAudio Input".
expect_eq "lines: a microphone has Stereo Mix, then Microphone" \
    "$(echo "$lines" | grep '^LINE Mic:' | cut -d: -f2 | tr '\n' ,)" " Stereo Mix, Microphone,"
expect_eq "lines: the default source has Stereo Mix, then Microphone" \
    "$(echo "$lines" | grep -E '^LINE PulseAudio( Input)?:' | cut -d: -f2 | tr '\n' ,)" " Stereo Mix, Microphone,"
expect_eq "lines: a monitor has Stereo Mix only" \
    "$(echo "$lines" | grep '^LINE Monitor of Speakers:' | cut -d: -f2 | tr '\n' ,)" " Stereo Mix,"

# record NAME LINE STEPS: records the line of "Mic" by the steps; sets OUT and LOG.
record() {
    OUT=$FWORK/lines-$1.wav LOG=$FWORK/lines-$1.log
    rm -f "$OUT"
    graphrec --device Mic --line "$2" --enable 1 --out "$(winpath "$OUT")" --steps "$3" >"$LOG" 2>&1
    expect_eq "$1: graph built and run" \
        "$(field_of "$LOG" RESULT | sed 's/0x0004026[0-9a-f]/ok/;s/0x00000000/ok/')" ok
}
# rms_from FILE START SECONDS
rms_from() { stat_of "$1" 'RMS.*amplitude' trim "$2" "$3"; }

record "Stereo Mix" 0 run:3
expect_near "Stereo Mix: records the default sink's 1 kHz" "$(stat_of "$OUT" 'Rough.*frequency' remix 1 trim 0.5)" 1000 15

# The other line's level and mute, then the recording line's level, and a refused switch.
record "Microphone" 1 run:3,line:0,level:0.2,enable:0,run:3,line:1,level:0.5,line:0,enable:1,run:3
expect_near "Microphone: records the source's own 440 Hz" "$(stat_of "$OUT" 'Rough.*frequency' remix 1 trim 0.5)" 440 10
expect_eq "Microphone: switching to another line while running is refused (VFW_E_NOT_STOPPED)" \
    "$(awk '$1 == "MIXLEVEL" { hr = $3 } END { print hr }' "$LOG")" hr=0x80040224
# The parts arrive up to a second late: full level up to 5 s, half from 7.5 s.
expect_near "Microphone: the other line's level and mute leave it alone" "$(rms_from "$OUT" 0.5 4.5)" 0.3536 0.01
expect_near "Microphone: its own level acts" "$(rms_from "$OUT" 7.5 1)" 0.1768 0.01

# Without pactl (not on the path) Wine 8 records the first sink's monitor, and says so.
if ! "$CORVALE_WINE" --version | grep -q '^wine-8\.'; then
    skip "no pactl: the debugger output tells the choice" "the loopback of Wine 10 needs no sink"
else
    nopactl=$FWORK/lines-nopactl.log
    (cd "$(dirname "$GRAPHREC")" && timeout 120 env PATH=/nonexistent WINEDEBUG=+debugstr \
        "$CORVALE_WINE" "$GRAPHREC" --device Mic --line 0 --out "$(winpath "$FWORK/lines-nopactl.wav")" --steps run:1 \
        >"$nopactl" 2>&1)
    expect_eq "no pactl: the debugger output tells the choice" \
        "$(grep -o 'Stereo Mix[^"]*" records [^,]*, the monitor of the first output by name, since pactl' "$nopactl" | head -n 1)" \
        'Stereo Mix\" records \"Monitor of Alpha\", the monitor of the first output by name, since pactl'
fi

# Between two recordings of one graph the default sink becomes "Zulu" (440 Hz); the File
# Writer keeps the second recording only. New players, since PulseAudio moves the old ones.
record follow 0 run:2,stop:4,run:3 &
recorder=$!
for _ in $(seq 100); do grep -q '^STATE stop' "$FWORK/lines-follow.log" 2>/dev/null && break; sleep 0.1; done
stop_playing
pactl set-default-sink corvale_zulu
play_into corvale_zulu "$(tone_file 440 30)"
OTHER_PID=$PLAYER_PID
play_into speakers "$(tone_file 1000 60)"
wait "$recorder"
expect_near "follow: the next recording follows the default sink" \
    "$(stat_of "$FWORK/lines-follow.wav" 'Rough.*frequency' remix 1 trim 0.5)" 440 10
test_done
