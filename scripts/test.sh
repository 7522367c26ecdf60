#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test through ctest: the GoogleTest
# programs under Wine, then the scripted tests (tests/*/*_test.sh), all inside one session
# (display, PulseAudio, throw-away Wine prefix). Ends with the line "N passed, N failed,
# N skipped", counting each GoogleTest case and each script's PASS:/FAIL:/SKIP: lines.
# Arguments go to ctest (e.g. -R e2e-recording); CORVALE_ONLY=REGEX is the same as -R REGEX.
set -u
source "$(dirname "$0")/lib.sh"
cd "$CORVALE_ROOT"

summary() { echo "$1 passed, $2 failed, $3 skipped"; }
corvale_install_deps test || { echo "installing the packages failed"; summary 0 1 0; exit 1; }
BUILD=$CORVALE_ROOT/build
corvale_build "$BUILD" -DCORVALE_BUILD_TESTS=ON -DCORVALE_WERROR=ON || { echo "build failed"; summary 0 1 0; exit 1; }

args=("$@")
[ -n "${CORVALE_ONLY:-}" ] && args+=(-R "$CORVALE_ONLY")
SESSION=$BUILD/test-session
junit=$BUILD/ctest-results.xml
rm -f "$junit"
ctest --test-dir "$BUILD" --output-on-failure --output-junit "$junit" "${args[@]}"

# ctest judges each test by its exit status; the counts come from each test's own results.
passed=0 failed=0 skipped=0
count_gtest() { # NAME STATUS
    local xml=$SESSION/results/$1.xml t f d s
    if [ ! -f "$xml" ]; then
        echo "FAIL: $1 wrote no results"; failed=$((failed + 1)); return
    fi
    t=$(grep -o 'tests="[0-9]*"' "$xml" | head -1 | tr -dc 0-9)
    f=$(grep -o 'failures="[0-9]*"' "$xml" | head -1 | tr -dc 0-9)
    d=$(grep -o 'disabled="[0-9]*"' "$xml" | head -1 | tr -dc 0-9)
    s=$(grep -c '<skipped' "$xml")
    passed=$((passed + t - f - ${d:-0} - s)); failed=$((failed + f)); skipped=$((skipped + s))
    if [ "$2" != run ] && [ "${f:-0}" -eq 0 ]; then
        echo "FAIL: $1 failed ($2) although its results show no failed case"; failed=$((failed + 1))
    fi
}
count_script() { # NAME STATUS
    local log=$SESSION/results/$1.log p f s
    if [ ! -f "$log" ]; then
        echo "FAIL: $1 left no output"; failed=$((failed + 1)); return
    fi
    p=$(grep -c '^PASS:' "$log"); f=$(grep -c '^FAIL:' "$log"); s=$(grep -c '^SKIP:' "$log")
    grep -E '^(FAIL|SKIP):' "$log"
    passed=$((passed + p)); failed=$((failed + f)); skipped=$((skipped + s))
    if [ "$2" != run ] && [ "$f" -eq 0 ]; then
        echo "FAIL: $1 failed ($2) without a FAIL: line"; failed=$((failed + 1))
    fi
}
if [ ! -f "$junit" ]; then
    echo "FAIL: ctest wrote no results"; failed=$((failed + 1))
fi
ran=0
while IFS=$'\t' read -r name status; do
    ran=$((ran + 1))
    case $name in
    session-*) [ "$status" = run ] || { echo "FAIL: $name ($status)"; failed=$((failed + 1)); } ;;
    *_tests) count_gtest "$name" "$status" ;;
    *) count_script "$name" "$status" ;;
    esac
done < <(python3 "$CORVALE_ROOT/scripts/junit_status.py" "$junit" 2>/dev/null)
[ "$ran" -gt 0 ] || { echo "FAIL: no test ran"; failed=$((failed + 1)); }

summary "$passed" "$failed" "$skipped"
[ "$failed" -eq 0 ]
