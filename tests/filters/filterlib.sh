# Shared by the filter test scripts: runs graphrec (tests/filters/graphrec.cpp) under Wine and
# plays known signals into the sound server's null sinks. Source after tests/lib/testlib.sh.
source "$CORVALE_ROOT/tests/lib/sound.sh"
GRAPHREC=$CORVALE_BUILD/tests/filters/graphrec.exe
FWORK=$CORVALE_WORK/filters
mkdir -p "$FWORK"

# graphrec ARGS...: runs the recording tool; its output goes to stdout.
# Wine's console ends lines with CR LF.
# GRAPHREC_DEBUG=+debugstr shows what the filters tell the debugger.
graphrec() { (cd "$(dirname "$GRAPHREC")" && WINEDEBUG=${GRAPHREC_DEBUG:--all} timeout 120 "$CORVALE_WINE" "$GRAPHREC" "$@") | sed -u 's/\r$//'; }

# tone_file FREQ SECONDS: a stereo 44.1 kHz 16-bit sine at half scale; prints its path.
tone_file() {
    local f=$FWORK/tone-$1-$2.wav
    [ -f "$f" ] || sox -n -r 44100 -c 2 -b 16 "$f" synth "$2" sine "$1" vol 0.5
    printf '%s' "$f"
}

# stat_of FILE FIELD [SOX EFFECTS...]: one figure of `sox FILE -n EFFECTS stat`, e.g. "RMS amplitude".
stat_of() {
    local file=$1 field=$2
    shift 2
    sox "$file" -n "$@" stat 2>&1 | awk -F: -v f="$field" '$1 ~ f { gsub(/ /, "", $2); print $2; exit }'
}

# le32 FILE OFFSET / le16 FILE OFFSET: little-endian integers of a file; tag FILE OFFSET: 4 chars.
le32() { od -A n -t u4 -j "$2" -N 4 "$1" | tr -d ' '; }
le16() { od -A n -t u2 -j "$2" -N 2 "$1" | tr -d ' '; }
tag() { dd if="$1" bs=1 skip="$2" count=4 2>/dev/null; }

# field_of LOG WORD: the second field of the log's first line starting with WORD.
field_of() { awk -v w="$2" '$1 == w { print $2; exit }' "$1"; }

# count_frames FILE: of a recording of a "count" pipe source (tests/lib/pipe_feeder.py), prints
# "FRAMES SPAN BACK GAPS" past the file's first quarter second (which holds what waited in the
# source's pipe before the recording, in a burst): the frames, the source's frames from the
# first to the last, how often a frame repeats or goes back, and how often frames are missing.
# PipeWire resamples a pipe source: its filter rings for 60 frames where the count's low word
# jumps from +32767 to -32768 (measured on Debian 13), so the frames there are not judged.
count_frames() {
    python3 - "$1" <<'PY'
import struct, sys, wave
with wave.open(sys.argv[1]) as w:
    data = w.readframes(w.getnframes())
numbers = [lo | hi << 16 for lo, hi in struct.iter_unpack("<HH", data)][11025:]
span = numbers[-1] - numbers[0] + 1 if numbers else 0
back = gaps = 0
prev = numbers[0] if numbers else 0
for n in numbers[1:]:
    expected = prev + 1
    if abs((expected & 0xFFFF) - 0x8000) <= 64:
        prev = expected
        continue
    back += n < expected
    gaps += n > expected
    prev = n
print(len(numbers), span, back, gaps)
PY
}
