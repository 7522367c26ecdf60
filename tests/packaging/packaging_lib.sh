# Helpers of the installer tests, on top of the end-to-end ones.
source "$CORVALE_ROOT/tests/e2e/e2e_lib.sh"

# record_tone WHAT FILE SECONDS: in the running recorder, records SECONDS of a 1 kHz tone played
# into the "speakers" sink from that sink's monitor into FILE, closes the recorder and checks
# the WAV's length and tone; on failure it shows what the recorder listed and said.
record_tone() {
    local what=$1 take=$2 seconds=$3 items index said got
    tone "$E2E/pkg-a1000.wav" 1000 30
    play_into speakers "$E2E/pkg-a1000.wav"
    items=$(drv items "$TITLE" 1009)
    index=$(echo "$items" | tail -n +3 | grep -nx "Monitor of Speakers" | cut -d: -f1)
    said=$(drv select "$TITLE" 1009 $((${index:-1} - 1)) \
        -- set-text "$TITLE" 1008 "$(winpath "$take")" \
        -- click "$TITLE" 1004 -- sleep 1000 -- text "$TITLE" 1035 -- sleep $((seconds * 1000 - 1000)) \
        -- click "$TITLE" 1003 -- sleep 500 -- text "$TITLE" 1035 2>&1)
    recorder_close
    kill "$PLAYER_PID" 2>/dev/null
    got=$(wav_seconds "$take")
    if awk -v g="${got:-0}" -v e="$seconds" 'BEGIN { exit !(g > e - 0.8 && g < e + 0.8) }'; then
        pass "$what records $seconds s"
    else
        fail "$what records $seconds s" "got: '$got'" "devices: $(echo "$items" | tr '\n' '|')" \
            "status: $(echo "$said" | tr '\n' '|')"
    fi
    expect_near "$what records the played 1 kHz tone" "$(wav_frequency "$take")" 1000 30
}

# expect_appstream_valid NAME METAINFO: appstreamcli finds neither errors nor warnings in it.
expect_appstream_valid() {
    local report
    if report=$(appstreamcli validate --no-net "$2" 2>&1) && ! echo "$report" | grep -qE '^(E|W):'; then
        pass "$1"
    else
        fail "$1" "$report"
    fi
}
