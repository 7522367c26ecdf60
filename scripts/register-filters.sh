#!/usr/bin/env bash
# register-filters.sh BUILD_DIR: registers "WAV Dest" and the Wine stand-ins (capture source
# as CLSID_AudioRecord, file writer as CLSID_FileWriter) from BUILD_DIR/bin in $WINEPREFIX.
# Idempotent, and meant to run at every prefix set-up: `wineboot -u` puts Wine's own classes
# back over ours.
set -u
build=${1:?usage: register-filters.sh BUILD_DIR}
: "${WINEPREFIX:?WINEPREFIX must be set}"
wine=${CORVALE_WINE:-/usr/lib/wine/wine64}
bin=$(cd "$build/bin" 2>/dev/null && pwd) || { echo "register-filters: no $build/bin" >&2; exit 1; }

dlls=()
for name in corvale_wavdest corvale_audiocapture corvale_filewriter; do
    [ -f "$bin/$name.dll" ] || { echo "register-filters: missing $bin/$name.dll" >&2; exit 1; }
    # Wine's drive Z: is the Unix root.
    dlls+=("Z:${bin//\//\\}\\$name.dll")
done

# One regsvr32 for all three: every Wine process start costs about a second.
if ! WINEDEBUG=-all "$wine" regsvr32 /s "${dlls[@]}" >/dev/null 2>&1; then
    echo "register-filters: regsvr32 failed in $WINEPREFIX" >&2
    exit 1
fi
