#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the GoogleTest programs under
# Wine, then the scripted tests (tests/*/*_test.sh). Ends with the line "N passed, N failed".
set -u
source "$(dirname "$0")/lib.sh"
cd "$CORVALE_ROOT"

corvale_install_deps || { echo "0 passed, 1 failed"; exit 1; }
BUILD=$CORVALE_ROOT/build
corvale_build "$BUILD" || { echo "build failed"; echo "0 passed, 1 failed"; exit 1; }

WORK=$(mktemp -d /tmp/corvale-test.XXXXXX)
trap 'corvale_teardown; rm -rf "$WORK"' EXIT
export CORVALE_BUILD=$BUILD CORVALE_WORK=$WORK CORVALE_ROOT
corvale_ensure_display || exit 1
corvale_ensure_pulse force || exit 1
corvale_prepare_prefix "$WORK/prefix" "$BUILD" || { echo "0 passed, 1 failed"; exit 1; }

passed=0 failed=0 skipped=0
RESULTS=$WORK/results.txt
: >"$RESULTS"

# GoogleTest programs: every tests' *_tests.exe, one Wine process each.
# CORVALE_ONLY=REGEX runs only the programs and scripts whose path matches.
only=${CORVALE_ONLY:-.}
for exe in $(find "$BUILD/tests" -name '*_tests.exe' | grep -E "$only" | sort); do
    name=$(basename "$exe" .exe)
    corvale_log "running $name"
    xml=$WORK/$name.xml
    (cd "$(dirname "$exe")" && timeout 900 "$CORVALE_WINE" "$exe" --gtest_output=xml:"Z:${xml//\//\\}") \
        >"$WORK/$name.log" 2>&1
    rc=$?
    if [ -f "$xml" ]; then
        t=$(grep -o 'tests="[0-9]*"' "$xml" | head -1 | tr -dc 0-9)
        f=$(grep -o 'failures="[0-9]*"' "$xml" | head -1 | tr -dc 0-9)
        s=$(grep -o 'disabled="[0-9]*"' "$xml" | head -1 | tr -dc 0-9)
        sk=$(grep -c '<skipped' "$xml")
        passed=$((passed + t - f - ${s:-0} - sk)); failed=$((failed + f)); skipped=$((skipped + sk))
        grep -E '^\[  FAILED  \]|Failure|error:' "$WORK/$name.log" | head -40
    else
        echo "FAIL: $name did not finish (exit $rc)"; tail -20 "$WORK/$name.log"
        failed=$((failed + 1))
    fi
done

# Scripted tests: each prints PASS:/FAIL:/SKIP: lines.
for script in $(ls tests/*/*_test.sh 2>/dev/null | grep -E "$only" | sort); do
    corvale_log "running $script"
    timeout 1200 bash "$script" 2>&1 | tee -a "$RESULTS" | grep -E '^(FAIL|SKIP)|^  ' || true
done
passed=$((passed + $(grep -c '^PASS:' "$RESULTS")))
failed=$((failed + $(grep -c '^FAIL:' "$RESULTS")))
skipped=$((skipped + $(grep -c '^SKIP:' "$RESULTS")))

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
