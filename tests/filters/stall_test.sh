#!/usr/bin/env bash
# A stalled writer loses nothing and adds nothing: the File Writer stand-in stalls one write
# while graphrec records the tone. A 5 s stall: the file holds all the time recorded, the tone
# throughout, and no device loss was reported. A stall longer than "WAV Dest"'s queue (12 s)
# leaves silence in place of what did not fit, so the file still holds the time recorded, and
# "WAV Dest" tells how much. A stall across Stop: the take still ends at the click. A stall
# that outlasts Stop's wait (5 s): Stop returns, the file keeps what was written before it, and
# the rest is told as unwritten.
source "$CORVALE_ROOT/tests/lib/testlib.sh"
source "$CORVALE_ROOT/tests/filters/filterlib.sh"

trap stop_playing EXIT
play_into speakers "$(tone_file 1000 60)"

# stalled NAME AFTER_MS:STALL_MS STEPS: records with that stall; sets OUT and LOG.
stalled() {
    OUT=$FWORK/stall-${1// /-}.wav LOG=$FWORK/stall-${1// /-}.log
    rm -f "$OUT"
    CORVALE_FILEWRITER_STALL=$2 GRAPHREC_DEBUG=+debugstr graphrec --device "Monitor of Speakers" --out "$(winpath "$OUT")" \
        --steps "$3" >"$LOG" 2>&1
    expect_eq "$1: graph built and run" \
        "$(field_of "$LOG" RESULT | sed 's/0x0004026[0-9a-f]/ok/;s/0x00000000/ok/')" ok
    expect_eq "$1: no device loss reported" "$(awk '$1 == "EVENT" && $2 == 31' "$LOG" | wc -l)" 0
}
seconds() { sox --i -D "$OUT" 2>/dev/null; }
# The time recorded, less what the sound system dropped upstream, which the capture tells the
# debugger (a loaded machine's Wine drops pieces of 10 to 90 ms): nothing else may stand in.
recorded() {
    awk -v d="$(upstream_dropped_ms "$LOG")" '$1 == "RECORDED_MS" { print ($2 - d) / 1000 }' "$LOG"
}
lost() { awk -v i="$1" '$1 == "LOST_MS" { print $(i + 1) / 1000 }' "$LOG"; }
stop_call() { awk '$1 == "STATE" && $2 == "stop" { print $5 / 1000; exit }' "$LOG"; }

stalled "a 5 s stall" 1000:5000 run:8
expect_near "a 5 s stall: the file holds the time recorded, less what was dropped upstream" \
    "$(seconds)" "$(recorded)" 0.1
expect_near "a 5 s stall: the tone throughout (quietest second's RMS)" \
    "$(for s in 0 1 2 3 4 5 6; do stat_of "$OUT" 'RMS.*amplitude' trim "$s.5" 1; done | sort -n | head -n 1)" \
    0.3536 0.01

stalled "a 15 s stall" 500:15000 run:16
expect_near "a 15 s stall: the file holds the time recorded, less what was dropped upstream" \
    "$(seconds)" "$(recorded)" 0.1
# Of the 15 s the writer stalled, 12 s fit the queue: about 3 s of silence stand for the rest.
silent=$(for s in $(seq 0 15); do stat_of "$OUT" 'RMS.*amplitude' trim "$s" 1; done |
    awk '$1 < 0.01 { n++ } END { print n + 0 }')
expect_between "a 15 s stall: silence stands for what did not fit (seconds)" "$silent" 2 4
expect_near "a 15 s stall: the silence is told (seconds)" "$(lost 1)" 3 0.5

# Stopped at 4 s while the writer stalls from 2 s to 7 s: nothing after the click.
stalled "a stall across Stop" 2000:5000 run:4
expect_near "a stall across Stop: the take holds the time between the clicks" "$(seconds)" \
    "$(recorded)" 0.1

# Stopped at 3 s while the writer stalls from 1 s to 16 s: Stop gives up after its 5 s.
stalled "a stall past Stop" 1000:15000 run:3
expect_between "a stall past Stop: Stop returns (seconds)" "$(stop_call)" 0 8
expect_near "a stall past Stop: the file keeps what was written before it" "$(seconds)" 1 0.3
expect_near "a stall past Stop: the rest is told as unwritten (seconds)" "$(lost 2)" 2 0.3
test_done
