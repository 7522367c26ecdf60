#!/usr/bin/env bash
# A source whose clock is not the system's: a pipe source fed 0.5 % slower than its nominal
# 44.1 kHz, with frames that count (tests/lib/pipe_feeder.py). The capture filter places the
# Stop at the device's measured rate: the file runs in order through the source's frames over
# the clicked time at the source's rate. (Placed at the nominal rate, the Stop waited for
# sound from after the click: 1.0007 source frames per clicked frame, measured.) Wine 8's
# waveIn itself loses pieces of 10 to 90 ms on a loaded machine (a bare waveIn program too,
# parecord none: measured at a load of 10 on 2 cores): those are counted and shown, not judged.
source "$CORVALE_ROOT/tests/lib/testlib.sh"
source "$CORVALE_ROOT/tests/filters/filterlib.sh"

src=$(load_pipe_source corvale_drift Drift count 0.995) || { fail "drift: pipe source loaded"; exit 0; }
trap 'pactl unload-module "$src"' EXIT
out=$FWORK/drift.wav log=$FWORK/drift.log
rm -f "$out"
graphrec --device Drift --line 1 --enable 1 --out "$(winpath "$out")" --steps run:20 >"$log" 2>&1
read -r frames span back gaps < <(count_frames "$out")
echo "  drift: $frames frames over a span of $span, $gaps pieces missing upstream"
expect_eq "drift: no frame repeats or goes back" "$back" 0
# The file's first quarter second is left out of the span. Pieces missing upstream bend the
# measured rate by as much as they make up of the span: the tolerance widens by that.
clicked=$(field_of "$log" RECORDED_MS)
ratio=$(awk -v s="${span:-0}" -v c="${clicked:-1}" 'BEGIN { printf "%.4f", (s + 11025) / (c * 44.1) }')
expect_near "drift: the file ends at the Stop at the source's rate (source frames per clicked frame)" \
    "$ratio" 0.995 "$(awk -v s="${span:-1}" -v f="${frames:-0}" 'BEGIN { printf "%.4f", 0.0015 + (s - f) / s }')"
test_done
