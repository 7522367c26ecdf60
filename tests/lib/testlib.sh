# Helpers for the scripted tests. The test runner exports CORVALE_BUILD, CORVALE_WORK,
# CORVALE_ROOT, WINEPREFIX, DISPLAY and the PulseAudio runtime folder.
source "$CORVALE_ROOT/scripts/lib.sh"

# caller_line: "script.sh:LINE" of the test script's line that led here, through any helpers
# (the first frame in the running script), as Wine's checks report where they failed.
caller_line() {
    local i script=${0##*/}
    for ((i = 1; i < ${#BASH_SOURCE[@]}; i++)); do
        if [ "${BASH_SOURCE[i]##*/}" = "$script" ]; then
            printf '%s:%s' "$script" "${BASH_LINENO[i - 1]}"
            return
        fi
    done
    printf '%s:%s' "${BASH_SOURCE[-1]##*/}" "${BASH_LINENO[-2]:-0}"
}

# pass NAME / fail NAME DETAIL... : one result line each, read by the runner; a failure names
# the test script's line.
pass() { printf 'PASS: %s\n' "$1"; }
fail() {
    local n=$1; shift
    printf 'FAIL: %s: %s\n' "$(caller_line)" "$n"
    [ $# -gt 0 ] && printf '  %s\n' "$@"
    return 0
}
skip() { printf 'SKIP: %s (%s)\n' "$1" "$2"; }

# machine_loaded: whether other work holds this machine's cores, so that a bound on how fast a
# window answers says nothing of the program: half a second of spinning gets less than three
# quarters of a core (an idle machine gives it all of one, three spinners on two cores half).
machine_loaded() {
    local TIMEFORMAT='%U %S %R' times
    times=$({ time (i=0; while ((i < 600000)); do ((i++)); done); } 2>&1)
    awk -v t="$times" 'BEGIN { split(t, a, " "); exit !(a[1] + a[2] < 0.75 * a[3]) }'
}

# upstream_dropped_ms FILE [FROM_LINE]: the ms of sound the capture told the debugger the sound
# system dropped upstream (a loaded machine's Wine drops pieces), in FILE from FROM_LINE (1) on.
upstream_dropped_ms() {
    tail -n +"${2:-1}" "$1" |
        grep -ao 'Audio Capture: [0-9]* ms of sound \(dropped before\|before the stop never came\)' |
        awk '{ ms += $3 } END { print ms + 0 }'
}

# expect_between NAME GOT LOW HIGH : numeric GOT within [LOW, HIGH].
expect_between() {
    if awk -v g="$2" -v l="$3" -v h="$4" 'BEGIN { exit !(g != "" && g >= l && g <= h) }'; then
        pass "$1"
    else
        fail "$1" "got:      $2" "expected: between $3 and $4"
    fi
}

# test_done: the last line of every test script. The runner counts a script that ends
# without it (died, exited early, timed out) as failed.
test_done() { printf 'DONE: %s\n' "${0##*/}"; }

# expect_eq NAME GOT EXPECTED : passes when both strings are equal, else prints both.
expect_eq() {
    if [ "$2" = "$3" ]; then pass "$1"; else fail "$1" "got:      '$2'" "expected: '$3'"; fi
}

# expect_near NAME GOT EXPECTED TOLERANCE : numeric comparison (floating point).
expect_near() {
    if awk -v g="$2" -v e="$3" -v t="$4" 'BEGIN { d = g - e; if (d < 0) d = -d; exit !(d <= t) }'; then
        pass "$1"
    else
        fail "$1" "got:      $2" "expected: $3 (+/- $4)"
    fi
}

# kill_in_prefix PATTERN: ends the processes matching PATTERN that run in this test's own Wine
# prefix, and no one else's (a user's recorder, another test run). A run in another root (a
# chroot, a container sharing the process list) has a prefix of the same path: the root tells.
kill_in_prefix() {
    local pid root
    root=$(stat -L -c %d:%i /)
    for pid in $(pgrep -f "$1"); do
        # Silenced before the input opens: a process may end between pgrep and the read.
        [ "$(stat -L -c %d:%i "/proc/$pid/root/" 2>/dev/null)" = "$root" ] &&
            tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" &&
            kill "$pid" 2>/dev/null
    done
    return 0
}
