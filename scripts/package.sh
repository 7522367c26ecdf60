#!/usr/bin/env bash
# Builds the recorder and both installers into dist/: the Windows MSI
# (CorvaleRecorder-<version>-x64.msi) and the Debian package (corvale-recorder_<version>_amd64.deb).
# The program is built as the run command builds it, without the tests, in build-run/.
set -eu
source "$(dirname "$0")/lib.sh"
corvale_install_deps package
BUILD=$CORVALE_ROOT/build-run
corvale_build "$BUILD" -DCORVALE_BUILD_TESTS=OFF
dist=$CORVALE_ROOT/dist
mkdir -p "$dist"
bash "$CORVALE_ROOT/packaging/windows/build-msi.sh" "$BUILD" "$dist"
bash "$CORVALE_ROOT/packaging/debian/build-deb.sh" "$BUILD" "$dist"
