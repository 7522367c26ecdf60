#!/usr/bin/env bash
# Sets up the machine, builds the recorder and runs it under Wine in a prefix of its own
# (~/.local/share/corvale-recorder/prefix), with a display and a sound server if none runs.
set -eu
source "$(dirname "$0")/lib.sh"
corvale_install_deps
# A build folder of its own without the tests: a user who wants to record does not wait for them.
BUILD=$CORVALE_ROOT/build-run
corvale_build "$BUILD" -DCORVALE_BUILD_TESTS=OFF
trap corvale_teardown EXIT
corvale_ensure_display
corvale_ensure_sound
corvale_prepare_prefix "${CORVALE_PREFIX:-$HOME/.local/share/corvale-recorder/prefix}" "$BUILD"
corvale_wine "$BUILD/bin/CorvaleRecorder.exe"
