#!/usr/bin/env bash
# startup_phases.sh [BUILD_DIR] [RUNS]: starts the recorder RUNS times (10) with its start-up
# marks on (CORVALE_STARTUP_TRACE) and prints, per phase in order, the median time from the
# process's creation to the phase's end and the median length of the phase itself. A phase
# ends where the program marks it (base/StartupMark.h); the first one, "imports loaded", holds
# Wine's process start and the loading of the executable's DLLs.
set -u
source "$(dirname "$0")/../scripts/lib.sh"
BUILD=$(realpath -m "${1:-$CORVALE_ROOT/build}")
RUNS=${2:-10}
corvale_build_bench "$BUILD" startup_probe || exit 1

WORK=$(mktemp -d /tmp/corvale-phases.XXXXXX)
trap 'corvale_teardown; rm -rf "$WORK"' EXIT
corvale_ensure_display || exit 1
corvale_ensure_sound force || exit 1
corvale_prepare_prefix "$WORK/prefix" "$BUILD" || exit 1

BIN=$BUILD/bin
printf 'machine load before the run: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
(cd "$BIN" && CORVALE_STARTUP_TRACE=1 WINEDEBUG=-all,+debugstr "$CORVALE_WINE" \
    "$BIN/startup_probe.exe" --runs "$RUNS" --warmup 1 --caption "Corvale Recorder" \
    --program recorder "$(winpath "$BIN/CorvaleRecorder.exe")" --ready 1004,1011) \
    >"$WORK/probe.log" 2>&1
status=$?
printf 'machine load after the run: %s\n' "$(cut -d' ' -f1-3 /proc/loadavg)"
grep -a '^recorder\|ratio' "$WORK/probe.log" | tr -d '\r'
# Each run begins at its "imports loaded"; the first is the probe's warm-up; a phase marked
# twice in a run counts once.
grep -ao 'corvale-startup [0-9.]* [^"\\]*' "$WORK/probe.log" | awk '
    function median(list, n,    sorted, i, j, t) {
        split(list, sorted, " ")
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
            if (sorted[j] + 0 < sorted[i] + 0) { t = sorted[i]; sorted[i] = sorted[j]; sorted[j] = t }
        return n % 2 ? sorted[(n + 1) / 2] : (sorted[n / 2] + sorted[n / 2 + 1]) / 2
    }
    {
        ms = $2; phase = $3; for (i = 4; i <= NF; i++) phase = phase " " $i
        if (phase == "imports loaded") { run++; last = 0; delete seen }
        if (run < 2 || (phase in seen)) next
        seen[phase] = 1
        if (!(phase in index_of)) { index_of[phase] = ++phases; name[phases] = phase }
        k = index_of[phase]
        ends[k] = ends[k] " " ms; length_of[k] = length_of[k] " " (ms - last); count[k]++
        last = ms
    }
    END {
        if (run < 2) { print "no start-up marks were seen"; exit 1 }
        printf "%-32s %12s %12s %5s\n", "phase (median of runs)", "ends at ms", "length ms", "runs"
        for (k = 1; k <= phases; k++)
            printf "%-32s %12.1f %12.1f %5d\n", name[k], median(ends[k], count[k]),
                median(length_of[k], count[k]), count[k]
    }' || status=1
exit "$status"
