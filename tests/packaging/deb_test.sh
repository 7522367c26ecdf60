#!/usr/bin/env bash
# The Debian package, checked without installing it on this machine: its fields and files,
# lintian, desktop-file-validate and appstreamcli, and the launcher run from the unpacked tree
# on the test run's display and sound server with a data folder of its own: the first start
# makes the prefix and registers the filters, the second only starts the program, which records.
# CORVALE_DEB_INSTALLED=1 (on a throw-away machine where the package is installed) runs the
# installed /usr/bin/corvale-recorder instead, then removes the package and checks that the
# user's prefix and recordings stay.
source "$CORVALE_ROOT/tests/packaging/packaging_lib.sh"

WORK=$CORVALE_WORK/deb
mkdir -p "$WORK"
version=$(cat "$CORVALE_BUILD/version.txt")
APPID=com.corvale_recorder.CorvaleRecorder
DESKTOP=usr/share/applications/$APPID.desktop
if ! deb=$(bash "$CORVALE_ROOT/packaging/debian/build-deb.sh" "$CORVALE_BUILD" "$WORK" 2>"$WORK/build.log"); then
    fail "the Debian package builds" "$(tail -n 5 "$WORK/build.log")"
    test_done
    exit 0
fi
pass "the Debian package builds"
expect_eq "it is named after the program's version" "${deb##*/}" "corvale-recorder_${version}_amd64.deb"
expect_eq "its fields" "$(dpkg-deb -f "$deb" Package Version Architecture Depends | tr '\n' '|')" \
    "Package: corvale-recorder|Version: $version|Architecture: amd64|Depends: wine64 (>= 8.0~)|"

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6 }' | sort)
expected=$( (echo "-rwxr-xr-x ./usr/bin/corvale-recorder"
    for f in lib/corvale-recorder/{CorvaleRecorder.exe,corvale_audiocapture.dll,corvale_filewriter.dll} \
        lib/corvale-recorder/{corvale_wavdest.dll,help.chm,wineprefix.sh} share/applications/$APPID.desktop \
        share/metainfo/$APPID.metainfo.xml share/doc/corvale-recorder/{changelog.gz,copyright} share/man/man1/corvale-recorder.1.gz \
        share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/corvale-recorder.png; do
        echo "-rw-r--r-- ./usr/$f"
    done) | sort)
expect_eq "its files and their modes" "$files" "$expected"
owners=$(dpkg-deb -c "$deb" | awk '{ print $2 }' | sort -u)
expect_eq "everything belongs to root" "$owners" "root/root"

report=$(lintian --tag-display-limit 0 "$deb" 2>&1)
expect_eq "lintian reports no errors" "$(echo "$report" | grep '^E:')" ""
expect_eq "lintian reports no warnings" "$(echo "$report" | grep '^W:')" ""

root=$WORK/root
dpkg -x "$deb" "$root"
[ "${CORVALE_DEB_INSTALLED:-0}" = 1 ] && root=
expect_eq "the desktop entry is valid" "$(desktop-file-validate "$root/$DESKTOP" 2>&1)" ""
expect_eq "the desktop entry's categories" "$(sed -n 's/^Categories=//p' "$root/$DESKTOP")" "AudioVideo;Audio;Recorder;"
metainfo=$root/usr/share/metainfo/$APPID.metainfo.xml
expect_appstream_valid "appstreamcli validates the metainfo without errors or warnings" "$metainfo"
expect_eq "the metainfo launches the desktop entry and lists the packaged release" \
    "$(python3 -c 'import sys, xml.etree.ElementTree as ET; c = ET.parse(sys.argv[1]).getroot()
print(c.findtext("launchable"), c.find("releases/release").get("version"))' "$metainfo" 2>&1)" "$APPID.desktop $version"
expect_eq "the 48 px icon is a 48x48 PNG" \
    "$(identify -format '%m %wx%h' "$root/usr/share/icons/hicolor/48x48/apps/corvale-recorder.png" 2>/dev/null)" "PNG 48x48"

# --- The launcher from the unpacked tree ---
export XDG_DATA_HOME=$WORK/xdg
export WINEPREFIX=$XDG_DATA_HOME/corvale-recorder/prefix
STAMP=$WINEPREFIX/.corvale-registered
LAUNCHER_PID=
trap 'kill $PLAYER_PID 2>/dev/null; [ -n "$LAUNCHER_PID" ] && kill "$LAUNCHER_PID" 2>/dev/null
      kill_in_prefix "CorvaleRecorder\.exe"; "$(dirname "$CORVALE_WINE")/wineserver" -k >/dev/null 2>&1' EXIT
now() { date +%s.%N; }

# launch LOG: starts the launcher; when the recorder's window is up, prints the seconds it took.
# The driver joins the prefix only once the launcher has set it up (the stamp is written just
# before the program starts), so that it never creates the prefix itself.
launch() {
    local start i
    start=$(now)
    (exec env WINEDEBUG=-all "$root/usr/bin/corvale-recorder" >"$1" 2>&1) &
    LAUNCHER_PID=$!
    RECORDER_PID=$LAUNCHER_PID
    for i in $(seq 1800); do
        [ -f "$STAMP" ] && break
        kill -0 "$LAUNCHER_PID" 2>/dev/null || return 1
        sleep 0.1
    done
    drv wait-window "$TITLE" 60000 >/dev/null || return 1
    awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.1f\n", b - a }'
}

if first=$(launch "$WORK/first.log"); then
    pass "the first start shows the window ($first s)"
else
    fail "the first start shows the window" "$(cat "$WORK/first.log")"
fi
expect_eq "the first start made the prefix in the user's data folder" \
    "$([ -d "$WINEPREFIX/drive_c" ] && echo made)" "made"
if grep -q "first start" "$WORK/first.log" && grep -q "registering the filters" "$WORK/first.log"; then
    pass "the first start tells the user and registers the filters"
else
    fail "the first start tells the user and registers the filters" "$(cat "$WORK/first.log")"
fi
expect_eq "WAV Dest is registered from the package's folder" \
    "$(corvale_wine reg query 'HKLM\Software\Classes\CLSID\{3C78B8E2-6C4D-11D1-ADE2-0000F8754B98}\InprocServer32' /ve 2>/dev/null |
        tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p')" "$(winpath "$root/usr/lib/corvale-recorder/corvale_wavdest.dll")"
recorder_close
wait "$LAUNCHER_PID" 2>/dev/null
stamp_before=$(stat -c %Y.%s "$STAMP" 2>/dev/null)
drv reg-write-dword "$SETTINGS" b_only_once 1 >/dev/null

if second=$(launch "$WORK/second.log"); then
    pass "the second start shows the window ($second s)"
else
    fail "the second start shows the window" "$(cat "$WORK/second.log")"
fi
expect_eq "the second start registers nothing" "$(cat "$WORK/second.log")$(stat -c %Y.%s "$STAMP" 2>/dev/null)" \
    "$stamp_before"
take=$WORK/take.wav
record_tone "the launched program" "$take" 3
wait "$LAUNCHER_PID" 2>/dev/null

# A changed package (here: a filter file with a new time) is registered again at the next start.
touch "$root/usr/lib/corvale-recorder/corvale_wavdest.dll"
if launch "$WORK/third.log" >/dev/null && grep -q "registering the filters" "$WORK/third.log"; then
    pass "a start after the package changed registers the filters again"
else
    fail "a start after the package changed registers the filters again" "$(cat "$WORK/third.log")"
fi
recorder_close
wait "$LAUNCHER_PID" 2>/dev/null
LAUNCHER_PID=

# A registration that keeps failing (here: a damaged filter file) is told where a user started
# from the desktop menu looks: a desktop notification and a message box, and the launcher ends.
dll=$root/usr/lib/corvale-recorder/corvale_filewriter.dll
cp -p "$dll" "$WORK/filewriter.dll"
echo damaged >"$dll"
mkdir -p "$WORK/bin"
printf '#!/bin/sh\nprintf "%%s|" "$@" >>"%s"\n' "$WORK/notified" >"$WORK/bin/notify-send"
chmod +x "$WORK/bin/notify-send"
(exec env PATH="$WORK/bin:$PATH" WINEDEBUG=-all "$root/usr/bin/corvale-recorder" >"$WORK/failed.log" 2>&1) &
LAUNCHER_PID=$!
# The driver joins the prefix only once the launcher is done with it: the retries wait for the
# prefix's other programs to end.
for i in $(seq 1800); do
    grep -q "Registering the recording filters" "$WORK/failed.log" && break
    kill -0 "$LAUNCHER_PID" 2>/dev/null || break
    sleep 0.1
done
said=$(drv answer "Corvale Recorder" OK 30000) || kill_in_prefix "wscript\.exe"
wait "$LAUNCHER_PID"
rc=$?
LAUNCHER_PID=
cp -p "$WORK/filewriter.dll" "$dll"
if [ "$rc" -eq 1 ] && echo "$said" | grep -q "Record would not work" && grep -q "Record would not work" "$WORK/notified"; then
    pass "a failed registration is told in a message box and a notification, and the launcher ends"
else
    fail "a failed registration is told in a message box and a notification, and the launcher ends" \
        "exit $rc" "box: $said" "notified: $(cat "$WORK/notified" 2>/dev/null)" "log: $(cat "$WORK/failed.log")"
fi

# The launcher uses the session's display and never starts one of its own.
out=$(env -u DISPLAY "$root/usr/bin/corvale-recorder" 2>&1)
rc=$?
if [ "$rc" -ne 0 ] && echo "$out" | grep -q "no X display"; then
    pass "without a display the launcher says so and starts nothing"
else
    fail "without a display the launcher says so and starts nothing" "exit $rc: $out"
fi
if [ -z "$root" ]; then
    apt-get remove -y -q corvale-recorder >/dev/null 2>&1
    expect_eq "apt-get remove removes the launcher" "$(command -v corvale-recorder)" ""
    expect_eq "apt-get remove leaves the user's prefix and recording" \
        "$([ -d "$WINEPREFIX/drive_c" ] && [ -s "$take" ] && echo kept)" "kept"
fi
# The start times and the package size, kept in the test's log.
echo "  launcher: first start ${first:-?} s, second start ${second:-?} s; package $(du -k "$deb" | cut -f1) KiB"
test_done
