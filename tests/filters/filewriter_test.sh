#!/usr/bin/env bash
# The File Writer stand-in fails clearly: a full disk (/dev/full) gives EC_ERRORABORT with
# HRESULT_FROM_WIN32(ERROR_DISK_FULL); a file that cannot be created does the same with
# ERROR_PATH_NOT_FOUND, and Run fails.
source "$CORVALE_ROOT/tests/lib/testlib.sh"
source "$CORVALE_ROOT/tests/filters/filterlib.sh"

log=$FWORK/full.log
graphrec --device "Monitor of Speakers" --out 'Z:\dev\full' --steps run:1 >"$log" 2>&1
expect_eq "filewriter: disk full posts EC_ERRORABORT with ERROR_DISK_FULL" \
    "$(awk '$1 == "EVENT" && $2 == 3 { print $3; exit }' "$log" | sed 's/0xffffffff/0x/')" 0x80070070

log=$FWORK/unopenable.log
graphrec --device "Monitor of Speakers" --out "$(winpath "$FWORK/no/such/dir/x.wav")" --steps run:1 >"$log" 2>&1
expect_eq "filewriter: unopenable file posts EC_ERRORABORT with ERROR_PATH_NOT_FOUND" \
    "$(awk '$1 == "EVENT" && $2 == 3 { print $3; exit }' "$log" | sed 's/0xffffffff/0x/')" 0x80070003
test_done
