#!/usr/bin/env bash
# Sets up the machine, builds the recorder and runs it under Wine in a prefix of its own
# (~/.local/share/corvale-recorder/prefix), with a display and a sound server if none runs.
set -eu
source "$(dirname "$0")/lib.sh"
corvale_install_deps
corvale_build "$CORVALE_ROOT/build"
trap corvale_teardown EXIT
corvale_ensure_display
corvale_ensure_pulse
corvale_prepare_prefix "${CORVALE_PREFIX:-$HOME/.local/share/corvale-recorder/prefix}" "$CORVALE_ROOT/build"
corvale_wine "$CORVALE_ROOT/build/bin/CorvaleRecorder.exe"
