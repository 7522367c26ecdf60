#!/usr/bin/env bash
# A stalled writer loses nothing: the File Writer stand-in stalls one write for 5 s while
# graphrec records the tone, and the file holds all the time recorded, the tone throughout,
# and no device loss was reported. A stall longer than "WAV Dest"'s queue (12 s) leaves
# silence in place of what did not fit, so the file still holds the time recorded.
source "$CORVALE_ROOT/tests/lib/testlib.sh"
source "$CORVALE_ROOT/tests/filters/filterlib.sh"

trap stop_playing EXIT
play_into speakers "$(tone_file 1000 60)"

# stalled NAME AFTER_MS:STALL_MS STEPS: records with that stall; sets OUT and LOG.
stalled() {
    OUT=$FWORK/stall-$1.wav LOG=$FWORK/stall-$1.log
    rm -f "$OUT"
    CORVALE_FILEWRITER_STALL=$2 graphrec --device "Monitor of Speakers" --out "$(winpath "$OUT")" \
        --steps "$3" >"$LOG" 2>&1
    expect_eq "$1: graph built and run" \
        "$(field_of "$LOG" RESULT | sed 's/0x0004026[0-9a-f]/ok/;s/0x00000000/ok/')" ok
    expect_eq "$1: no device loss reported" "$(awk '$1 == "EVENT" && $2 == 31' "$LOG" | wc -l)" 0
    expect_near "$1: the file holds the time recorded" "$(sox --i -D "$OUT" 2>/dev/null)" \
        "$(awk '$1 == "RECORDED_MS" { print $2 / 1000 }' "$LOG")" 0.1
}

stalled "a 5 s stall" 1000:5000 run:8
expect_near "a 5 s stall: the tone throughout (quietest second's RMS)" \
    "$(for s in 0 1 2 3 4 5 6; do stat_of "$OUT" 'RMS.*amplitude' trim "$s.5" 1; done | sort -n | head -n 1)" \
    0.3536 0.01

stalled "a 15 s stall" 500:15000 run:16
# Of the 15 s the writer stalled, 12 s fit the queue: about 3 s of silence stand for the rest.
silent=$(for s in $(seq 0 15); do stat_of "$OUT" 'RMS.*amplitude' trim "$s" 1; done |
    awk '$1 < 0.01 { n++ } END { print n + 0 }')
expect_between "a 15 s stall: silence stands for what did not fit (seconds)" "$silent" 2 4
test_done
