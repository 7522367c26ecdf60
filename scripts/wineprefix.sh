# Wine prefix helpers shared by the set-up scripts, the tests, the benchmarks and the Debian
# package's launcher, which installs this file beside the program. Plain POSIX sh, since the
# launcher runs under /bin/sh. Source it with CORVALE_WINE naming Wine's loader.

# Our filter DLLs: "WAV Dest" and the Wine stand-ins (the capture source registers itself as
# CLSID_AudioRecord, the file writer as CLSID_FileWriter).
CORVALE_FILTERS="corvale_wavdest corvale_audiocapture corvale_filewriter"

# Wine's DLL overrides in our prefixes: no Mono or Gecko download prompts (the recorder needs
# neither), and no menu builder, which puts menu entries and file associations of what is
# installed in the prefix into the user's own desktop folders.
CORVALE_WINE_OVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# winpath UNIX_PATH: an absolute Unix path as Wine shows it on drive Z:, the Unix root.
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"; }

# corvale_make_prefix: creates the Wine prefix $WINEPREFIX. wineboot returns while Wine's own
# services of the new prefix still start and its server then shuts down: the next program must
# not join that closing session, so this waits until the server has saved the registry and ended.
corvale_make_prefix() {
    mkdir -p "$WINEPREFIX" &&
        WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-$CORVALE_WINE_OVERRIDES} "$CORVALE_WINE" wineboot -i \
            >/dev/null 2>&1 &&
        corvale_wait_session
}

# corvale_wait_session: waits (30 s at most: a program the user left running keeps it) until
# every Wine process of $WINEPREFIX has ended and its server has saved the registry.
corvale_wait_session() {
    timeout 30 "$(dirname "$CORVALE_WINE")/wineserver" -w >/dev/null 2>&1 || true
}

# corvale_regsvr32_says CODE: what regsvr32's exit code means (as on Windows).
corvale_regsvr32_says() {
    case $1 in
    3) echo "a filter file could not be loaded (damaged, or not a DLL)" ;;
    4) echo "a filter file has no DllRegisterServer" ;;
    5) echo "a filter's DllRegisterServer failed" ;;
    *) echo "exit code $1" ;;
    esac
}

# corvale_register_filters DIR [NAME...]: registers DIR/NAME.dll (by default every DLL of
# CORVALE_FILTERS) in $WINEPREFIX. Safe to repeat. One regsvr32 for all: every Wine process
# start costs a second or more. A failed round is tried again (3 rounds at most) in a session
# of its own, once the one it failed in has ended; what failed goes to stderr.
corvale_register_filters() {
    local dir name round out rc
    dir=$(cd "$1" 2>/dev/null && pwd) || { echo "register filters: no folder $1" >&2; return 1; }
    shift
    [ $# -gt 0 ] || set -- $CORVALE_FILTERS
    for name; do
        [ -f "$dir/$name.dll" ] || { echo "register filters: $dir/$name.dll is missing" >&2; return 1; }
        set -- "$@" "$(winpath "$dir/$name.dll")"
        shift
    done
    # Silent: without a console, Wine 10's regsvr32 tells its result in a message box and
    # waits for a click (a fresh Debian 13 hung there). Its exit code tells what failed.
    out=$(mktemp)
    for round in 1 2 3; do
        [ "$round" = 1 ] || corvale_wait_session
        WINEDEBUG=${WINEDEBUG:--all} "$CORVALE_WINE" regsvr32 /s "$@" >"$out" 2>&1 && { rm -f "$out"; return 0; }
        rc=$?
        echo "register filters: regsvr32 failed (round $round) in $WINEPREFIX: $(corvale_regsvr32_says "$rc")" \
            "$(tr -d '\r' <"$out" | tail -n 3)" >&2
    done
    rm -f "$out"
    return 1
}
