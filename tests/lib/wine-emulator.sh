#!/usr/bin/env bash
# The cross-compiled test programs' emulator for ctest: Wine, inside the test session that
# session.sh set up (its display, sound server and prefix).
set -u
session=${CORVALE_SESSION:?CORVALE_SESSION names the test session folder}
[ -f "$session/env.sh" ] || { echo "no test session in $session" >&2; exit 1; }
source "$session/env.sh"
exec "$CORVALE_WINE" "$@"
