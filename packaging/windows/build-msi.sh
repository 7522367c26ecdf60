#!/usr/bin/env bash
# build-msi.sh BUILD_DIR OUTDIR [VERSION]: makes OUTDIR/CorvaleRecorder-<version>-x64.msi with
# wixl from a built tree (BUILD_DIR/bin, BUILD_DIR/images). VERSION defaults to the program's
# (BUILD_DIR/version.txt); the tests pass a higher one to try an upgrade. Prints the MSI's path.
set -eu
build=$(cd "${1:?usage: build-msi.sh BUILD_DIR OUTDIR [VERSION]}" && pwd)
out=${2:?usage: build-msi.sh BUILD_DIR OUTDIR [VERSION]}
version=${3:-$(cat "$build/version.txt")}
here=$(cd "$(dirname "$0")" && pwd)
files=("$build/bin/CorvaleRecorder.exe" "$build/bin/corvale_wavdest.dll" "$build/bin/help.chm")
size_kb=$(du -ck --apparent-size "${files[@]}" | tail -n 1 | cut -f1)
mkdir -p "$out"
msi=$(cd "$out" && pwd)/CorvaleRecorder-$version-x64.msi
rm -f "$msi"
# wixl finds sources only by relative paths (from the current folder). It takes the platform
# from -a and says that Package/@Platform, kept for WiX, is unknown.
(cd "$build" && wixl -a x64 -D Version="$version" -D BinDir=bin -D ImageDir=images \
    -D SizeKB="$size_kb" -o "$msi" "$here/corvale-recorder.wxs" 2>&1) |
    grep -v -e "no property named 'Platform'" -e '^$' >&2 || true
[ -s "$msi" ] || { echo "build-msi: wixl made no $msi" >&2; exit 1; }
echo "$msi"
