#!/usr/bin/env bash
# build-deb.sh BUILD_DIR OUTDIR: makes OUTDIR/corvale-recorder_<version>_amd64.deb from a built
# tree (BUILD_DIR/bin, BUILD_DIR/version.txt) with dpkg-deb. Prints the package's path.
set -eu
build=$(cd "${1:?usage: build-deb.sh BUILD_DIR OUTDIR}" && pwd)
out=${2:?usage: build-deb.sh BUILD_DIR OUTDIR}
here=$(cd "$(dirname "$0")" && pwd)
version=$(cat "$build/version.txt")
name=corvale-recorder
# The AppStream component id; the desktop entry is named after it, as software centres expect.
appid=com.corvale_recorder.CorvaleRecorder

# The changelog's newest entry must name the version being packaged: a version change in
# CMakeLists.txt needs its changelog entry.
top=$(sed -n '1s/^[^(]*(\([^)]*\)).*/\1/p' "$here/changelog")
if [ "$top" != "$version" ]; then
    echo "build-deb: packaging/debian/changelog starts at $top, the program is $version" >&2
    exit 1
fi

root=$(mktemp -d /tmp/corvale-deb.XXXXXX)
trap 'rm -rf "$root"' EXIT
umask 022
lib=$root/usr/lib/$name doc=$root/usr/share/doc/$name
mkdir -p "$root/DEBIAN" "$root/usr/bin" "$lib" "$doc" "$root/usr/share/applications" \
    "$root/usr/share/metainfo" "$root/usr/share/man/man1" "$root/usr/share/icons/hicolor"

# Windows binaries are data to Linux: not executable here, Wine loads them.
for f in CorvaleRecorder.exe corvale_wavdest.dll corvale_audiocapture.dll corvale_filewriter.dll help.chm; do
    install -m 0644 "$build/bin/$f" "$lib/$f"
done
install -m 0755 "$here/corvale-recorder" "$root/usr/bin/$name"
# The launcher's prefix helpers, shared with the build's own scripts.
install -m 0644 "$here/../../scripts/wineprefix.sh" "$lib/wineprefix.sh"
install -m 0644 "$here/corvale-recorder.desktop" "$root/usr/share/applications/$appid.desktop"
python3 "$here/make_metainfo.py" "$here/corvale-recorder.metainfo.xml.in" "$here/changelog" "$appid" \
    >"$root/usr/share/metainfo/$appid.metainfo.xml"
python3 "$here/make_icons.py" "$root/usr/share/icons/hicolor"
sed "s/@VERSION@/$version/" "$here/corvale-recorder.1" | gzip -9n >"$root/usr/share/man/man1/$name.1.gz"
install -m 0644 "$here/copyright" "$doc/copyright"
gzip -9n <"$here/changelog" >"$doc/changelog.gz"
find "$root/usr" -type f ! -path '*/usr/bin/*' -exec chmod 0644 {} +
find "$root" -type d -exec chmod 0755 {} +

size=$(du -sk --apparent-size "$root/usr" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@INSTALLED_SIZE@/$size/" "$here/control.in" >"$root/DEBIAN/control"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum >DEBIAN/md5sums)
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

mkdir -p "$out"
deb=$(cd "$out" && pwd)/${name}_${version}_amd64.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "$deb"
