#!/usr/bin/env bash
# run-script.sh SCRIPT: runs one scripted test inside the test session and fails closed: the
# run fails when the script prints a FAIL: line, exits non-zero, times out, or ends without
# its completion line. Its output is kept in the session's results folder for the summary.
set -u
script=${1:?usage: run-script.sh SCRIPT}
limit=${CORVALE_SCRIPT_TIMEOUT:-1200}
session=${CORVALE_SESSION:?CORVALE_SESSION names the test session folder}
[ -f "$session/env.sh" ] || { echo "FAIL: $script (no test session in $session)"; exit 1; }
source "$session/env.sh"
cd "$CORVALE_ROOT"
name=$(basename "$(dirname "$script")")-$(basename "$script" .sh)
log=$session/results/$name.log

timeout -k 10 "$limit" bash "$script" </dev/null 2>&1 | tee "$log"
rc=${PIPESTATUS[0]}
last=$(grep -v '^[[:space:]]*$' "$log" | tail -n 1)
problem=
if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    problem="timed out after $limit s"
elif [ "$rc" -ne 0 ]; then
    problem="exited with status $rc"
elif [ "$last" != "DONE: $(basename "$script")" ]; then
    problem="ended without its completion line"
fi
if [ -n "$problem" ]; then
    report=$(printf 'FAIL: %s %s; its last lines:\n' "$script" "$problem"; tail -n 15 "$log" | sed 's/^/  | /')
    printf '%s\n' "$report" | tee -a "$log"
fi
! grep -q '^FAIL:' "$log"
