#!/usr/bin/env bash
# A full disk end to end: a small tmpfs mounted as drive Q: fills up while recording; the
# recording stops with the message, the file on it is a valid WAV of what fitted, and the
# next Record, to another drive, records.
source "$(dirname "$0")/e2e_lib.sh"

small=$E2E/small-drive
drive=$WINEPREFIX/dosdevices/q:
mkdir -p "$small"
if ! mount -t tmpfs -o size=256k corvale-full "$small" 2>/dev/null; then
    skip "full disk" "cannot mount a tmpfs (needs root)"
    test_done
    exit 0
fi
trap 'kill $PLAYER_PID 2>/dev/null; recorder_kill; rm -f "$drive"; umount "$small"' EXIT
ln -sfn "$small" "$drive"
tone "$E2E/full440.wav" 440 60
play_into speakers "$E2E/full440.wav"

reset_settings
drv reg-write-dword "$SETTINGS" b_only_once 1 >/dev/null
recorder_start || { fail "recorder starts"; test_done; exit 0; }

# 44.1 kHz 16-bit stereo fills 256 KiB in about 1.5 s.
out=$(drv set-text "$TITLE" 1008 'Q:\full.wav' -- click "$TITLE" 1004 \
    -- answer "Start Recording Error" OK 8000 -- wait-text "$TITLE" 1035 "Status : Ready" 3000)
if echo "$out" | grep -q '^text "1. Your audio hardware may be used by other program'; then
    pass "a full disk stops the recording with the message"
else
    fail "a full disk stops the recording with the message" "driver: $out"
fi
expect_eq "after the full disk the recorder is Ready" "$(drv text "$TITLE" 1035)" "Status : Ready"
full=$small/full.wav
size=$(stat -c %s "$full" 2>/dev/null || echo 0)
# The data chunk's size as the header gives it (after "fmt " and the reserved "JUNK").
data=$(python3 - "$full" <<'EOF' 2>/dev/null
import struct, sys
b = open(sys.argv[1], "rb").read()
at = 12 if b[:4] == b"RIFF" and b[8:12] == b"WAVE" else len(b)
while at + 8 <= len(b):
    tag, size = b[at:at + 4], struct.unpack("<I", b[at + 4:at + 8])[0]
    if tag == b"data":
        print(size, at + 8)
        break
    at += 8 + size + (size & 1)
EOF
)
read -r data start <<<"${data:--1 0}"
if [ "$data" -gt 0 ] && [ $((data + start)) -le "$size" ] && soxi "$full" >/dev/null 2>&1; then
    pass "the file on the full disk is a valid WAV ($data bytes of sound in $size)"
else
    fail "the file on the full disk is a valid WAV" "size $size, data chunk '$data'"
fi

after=$E2E/after-full.wav
rm -f "$after"
drv set-text "$TITLE" 1008 "$(winpath "$after")" -- click "$TITLE" 1004 -- sleep 2000 \
    -- click "$TITLE" 1003 -- wait-text "$TITLE" 1035 "Status : Ready" 3000 >/dev/null
expect_near "the next Record, to another drive, records" "$(wav_seconds "$after")" 2 0.2
expect_near "and records the tone" "$(wav_frequency "$after")" 440 30
recorder_close
reset_settings
test_done
