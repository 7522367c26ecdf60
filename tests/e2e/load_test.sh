#!/usr/bin/env bash
# Nothing lost on a busy machine: while three processes spin at normal priority on the two
# cores, takes ended by Stop and by closing the window, the first one clicked the moment the
# window shows, each hold the time between the driver's clicks. How fast the window answers
# is not judged here; it only widens the bounds, since a click that the busy machine lets the
# program handle late begins or ends the take late.
source "$(dirname "$0")/e2e_lib.sh"

SPINNERS=()
stop_spinners() {
    local pid
    for pid in "${SPINNERS[@]}"; do kill "$pid" 2>/dev/null; done
    SPINNERS=()
}
trap 'stop_spinners; stop_playing; recorder_kill' EXIT
tone "$E2E/load440.wav" 440 200
play_into speakers "$E2E/load440.wav"
reset_settings
drv reg-write-dword "$SETTINGS" b_only_once 1 >/dev/null
for _ in 1 2 3; do
    bash -c 'while :; do :; done' &
    SPINNERS+=($!)
done

# What the capture told the debugger of sound the sound system dropped upstream since the last
# call, in ms: a loaded machine's Wine drops pieces, and nothing may stand in for them.
DEBUG_LOG=$E2E/load-debug.log DEBUG_SEEN=0
: >"$DEBUG_LOG"
dropped_since() {
    local lines
    lines=$(wc -l <"$DEBUG_LOG")
    head -n "$lines" "$DEBUG_LOG" | upstream_dropped_ms /dev/stdin $((DEBUG_SEEN + 1))
    DEBUG_SEEN=$lines
}

# check_kept NAME FILE DRIVER_OUTPUT: the output holds when the start was handled ("... ready
# R" of the status's recording text), when the end was handled ("answered A" or "released A"),
# and last the ms between the clicks. A click handled late begins or ends the take late; sound
# dropped upstream shortens it.
check_kept() {
    local name=$1 file=$2 between early late seconds dropped
    between=$(echo "$3" | tail -n 1)
    early=$(echo "$3" | awk '/^answered/ { print $4; exit }')
    late=$(echo "$3" | awk '/^answered/ { a = $2 } /^released/ { a = $2 } END { print a }')
    seconds=$(wav_seconds "$file")
    dropped=$(dropped_since)
    expect_between "$name: the file holds the time between the clicks ($between ms; start handled after ${early:-?} ms, end after ${late:-?} ms, $dropped ms dropped upstream)" \
        "${seconds:-0}" "$(awk -v b="${between:-0}" -v e="${early:-0}" -v d="$dropped" 'BEGIN { print (b - e - d) / 1000 - 0.1 }')" \
        "$(awk -v b="${between:-0}" -v l="${late:-0}" 'BEGIN { print (b + l) / 1000 + 0.1 }')"
    expect_near "$name: the file holds the played tone" "$(wav_frequency "$file")" 440 30
}

RECORDING="Status : Recording audio - Used Time: 00:00:00"
# take NAME SECONDS: Record, then Stop SECONDS later.
take() {
    local file=$E2E/load-$1.wav out
    rm -f "$file"
    out=$(drv set-text "$TITLE" 1008 "$(winpath "$file")" -- click "$TITLE" 1004 rec \
        -- wait-ready "$TITLE" 1035 "$RECORDING" "$file" rec 20000 -- sleep $(($2 * 1000)) \
        -- click "$TITLE" 1003 stop -- wait-ready "$TITLE" 1035 "Status : Ready" "$file" stop 20000 \
        -- between rec stop)
    check_kept "$1" "$file" "$out"
}

E2E_WINEDEBUG=+debugstr E2E_LOG=$DEBUG_LOG recorder_start || { fail "recorder starts"; test_done; exit 0; }
take "first take, clicked as the window shows" 5
take "a second take" 10
file=$E2E/load-closing.wav
rm -f "$file"
out=$(drv set-text "$TITLE" 1008 "$(winpath "$file")" -- click "$TITLE" 1004 rec \
    -- wait-ready "$TITLE" 1035 "$RECORDING" "$file" rec 20000 -- sleep 5000 \
    -- mark stop -- close "$TITLE" -- wait-released "$file" stop 20000 -- between rec stop)
recorder_wait_exit 20 || recorder_kill
check_kept "closing the window" "$file" "$out"
stop_spinners
reset_settings
test_done
