#!/usr/bin/env bash
# The recorder's own graph under Wine ("Audio Capture" from the moniker of "Monitor of
# Speakers", "WAV Dest", "File Writer", Render of the capture pin) records a 1 kHz tone played
# into the null sink across Run, Pause, Run, Stop: which filters are connected, the header,
# the length against the time recorded, and the content.
source "$CORVALE_ROOT/tests/lib/testlib.sh"
source "$CORVALE_ROOT/tests/filters/filterlib.sh"

out=$FWORK/record.wav
log=$FWORK/record.log
play_into speakers "$(tone_file 1000 30)"
GRAPHREC_DEBUG=+debugstr graphrec --device "Monitor of Speakers" --out "$(winpath "$out")" \
    --steps run:3,pause:1,run:2 >"$log" 2>&1
stop_playing
expect_eq "record: the input is captured through its stream, not waveIn" \
    "$(grep -c 'Audio Capture: the input is captured through waveIn' "$log")" 0

expect_eq "record: graph built and run" "$(field_of "$log" RESULT | sed 's/0x0004026[0-9a-f]/ok/;s/0x00000000/ok/')" ok
expect_eq "record: capture pin rendered into WAV Dest" \
    "$(grep -c '^CONNECTED Audio Capture:Capture -> WAV Dest:In$' "$log")" 1
expect_eq "record: WAV Dest rendered into File Writer" \
    "$(grep -c '^CONNECTED WAV Dest:Out -> File Writer:in$' "$log")" 1
expect_eq "record: no other connections (no sound renderer)" "$(grep -c '^CONNECTED' "$log")" 2
expect_eq "record: capture filter has the mixer line pin" "$(grep -c '^PIN Audio Capture:Stereo Mix in$' "$log")" 1
expect_eq "record: file writer in overwrite mode" "$(field_of "$log" FILEMODE)" 1

if [ ! -s "$out" ]; then
    fail "record: file written" "no file $out"; sed 's/^/  /' "$log"; exit 0
fi
size=$(stat -c %s "$out")
expect_eq "record: RIFF tag" "$(tag "$out" 0)$(tag "$out" 8)" RIFFWAVE
expect_eq "record: RIFF size is file size - 8" "$(le32 "$out" 4)" $((size - 8))
expect_eq "record: JUNK reserved for ds64" "$(tag "$out" 12) $(le32 "$out" 16)" "JUNK 28"
expect_eq "record: fmt PCM 2 ch 44100 Hz 16 bit" \
    "$(tag "$out" 48) $(le32 "$out" 52) $(le16 "$out" 56) $(le16 "$out" 58) $(le32 "$out" 60) $(le32 "$out" 64) $(le16 "$out" 68) $(le16 "$out" 70)" \
    "fmt  16 1 2 44100 176400 4 16"
expect_eq "record: data size is the rest of the file" "$(tag "$out" 72) $(le32 "$out" 76)" "data $((size - 80))"
expect_eq "record: sox reads the format" "$(sox --i -c "$out") $(sox --i -r "$out") $(sox --i -b "$out")" "2 44100 16"

recorded=$(awk '$1 == "RECORDED_MS" { print $2 / 1000 }' "$log")
length=$(sox --i -D "$out")
# Within one capture buffer (0.1 s) of the time the graph ran.
expect_near "record: length matches the time recorded" "$length" "$recorded" 0.1
expect_near "record: content is the 1 kHz tone" "$(stat_of "$out" 'Rough.*frequency' remix 1)" 1000 15
expect_near "record: tone level" "$(stat_of "$out" 'RMS.*amplitude')" 0.3536 0.01
expect_near "record: tone before the pause" "$(stat_of "$out" 'Rough.*frequency' remix 1 trim 0.2 2.5)" 1000 15
expect_near "record: tone after the pause" "$(stat_of "$out" 'Rough.*frequency' remix 1 trim 3.2 1.5)" 1000 15

# The same through waveIn, which the capture falls back on where the input's stream refuses
# the format.
play_into speakers "$(tone_file 1000 30)"
CORVALE_CAPTURE_WAVEIN=1 GRAPHREC_DEBUG=+debugstr graphrec --device "Monitor of Speakers" \
    --out "$(winpath "$out")" --steps run:3,pause:1,run:2 >"$log" 2>&1
stop_playing
expect_eq "record through waveIn: the capture says so" \
    "$(grep -c 'Audio Capture: the input is captured through waveIn' "$log")" 1
expect_near "record through waveIn: length matches the time recorded" "$(sox --i -D "$out")" \
    "$(awk '$1 == "RECORDED_MS" { print $2 / 1000 }' "$log")" 0.1
expect_near "record through waveIn: the tone before the pause" \
    "$(stat_of "$out" 'Rough.*frequency' remix 1 trim 0.2 2.5)" 1000 15
expect_near "record through waveIn: the tone after the pause" \
    "$(stat_of "$out" 'Rough.*frequency' remix 1 trim 3.2 1.5)" 1000 15
test_done
