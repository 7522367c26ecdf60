#!/usr/bin/env bash
# The Windows installer under Wine, in a throw-away prefix of its own: what an install puts in
# place, the installed program recording with the installed "WAV Dest", a newer build upgrading
# in place, an older one refused, and an uninstall that removes all of it and nothing of the
# user's.
source "$CORVALE_ROOT/tests/packaging/packaging_lib.sh"

WORK=$CORVALE_WORK/msi
mkdir -p "$WORK"
version=$(cat "$CORVALE_BUILD/version.txt")
newer=${version%.*}.$((${version##*.} + 1))
build_msi() { bash "$CORVALE_ROOT/packaging/windows/build-msi.sh" "$CORVALE_BUILD" "$WORK" "$@" 2>"$WORK/wixl.log"; }
if ! msi=$(build_msi) || ! msi_newer=$(build_msi "$newer"); then
    fail "the MSI builds with wixl" "$(cat "$WORK/wixl.log")"
    test_done
    exit 0
fi
pass "the MSI builds with wixl"

export WINEPREFIX=$WORK/prefix
WINESERVER=$(dirname "$CORVALE_WINE")/wineserver
trap 'kill $PLAYER_PID 2>/dev/null; recorder_kill; "$WINESERVER" -k >/dev/null 2>&1' EXIT
corvale_make_prefix
"$WINESERVER" -p >/dev/null 2>&1
corvale_wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

INSTALLED="$WINEPREFIX/drive_c/Program Files/Corvale Recorder"
WAVDEST_KEY='HKLM\Software\Classes\CLSID\{3C78B8E2-6C4D-11D1-ADE2-0000F8754B98}'
UNINSTALL='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
PROBE=$BIN/class_probe.exe

msiexec() { corvale_wine msiexec "$1" "$(winpath "$2")" /qn >/dev/null 2>&1; }

# The uninstall entries named "Corvale Recorder", one line "NAME=VALUE" per value, a blank
# line between entries.
arp_entries() {
    corvale_wine reg query "$UNINSTALL" /s 2>/dev/null | tr -d '\r' | awk '
        /^HKEY/ { if (n && mine) printf "%s\n", block; block = ""; mine = 0; n = 1; next }
        /^    / { sub(/^    /, ""); name = $1; sub(/^[^ ]+ +[A-Z_]+ +/, ""); block = block name "=" $0 "\n"
                  if (name == "DisplayName" && $0 == "Corvale Recorder") mine = 1 }
        END { if (n && mine) printf "%s\n", block }'
}
arp_value() { arp_entries | sed -n "s/^$1=//p" | head -n 1; }
arp_count() { arp_entries | grep -c '^DisplayName='; }
reg_default() { corvale_wine reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -n 's/^ *(Default) *REG_SZ *//p'; }
shortcuts() { find "$WINEPREFIX/drive_c" -name 'Corvale Recorder.lnk' 2>/dev/null; }
# link_has FILE TEXT: the link names TEXT (links hold both narrow and UTF-16 strings).
link_has() {
    python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); t = sys.argv[2]
sys.exit(0 if t.encode() in d or t.encode("utf-16-le") in d else 1)' "$1" "$2"
}

# --- Install ---
msiexec /i "$msi"
expect_eq "msiexec /i installs without an error" "$?" "0"
present=
for f in CorvaleRecorder.exe corvale_wavdest.dll help.chm; do [ -f "$INSTALLED/$f" ] && present+="$f "; done
expect_eq "the program, WAV Dest and the help file are in Program Files" "$present" \
    "CorvaleRecorder.exe corvale_wavdest.dll help.chm "
expect_eq "the Wine stand-ins are not installed" "$(ls "$INSTALLED" | grep -c -e audiocapture -e filewriter)" "0"

link=$(shortcuts)
# Wine's installer resolves ProgramMenuFolder to the user's menu even for a per-machine install.
if [ "$(echo "$link" | grep -c .)" = 1 ] &&
    link_has "$link" 'C:\Program Files\Corvale Recorder\CorvaleRecorder.exe' &&
    link_has "$link" 'CorvaleRecorder.ico'; then
    pass "a Start-menu shortcut starts the program and has its icon"
else
    fail "a Start-menu shortcut starts the program and has its icon" "found: '${link:-none}'"
fi

expect_eq "one Programs and Features entry" "$(arp_count)" "1"
expect_eq "the entry names the publisher and version" "$(arp_value Publisher) $(arp_value DisplayVersion)" \
    "Brightmoor Studio $version"
expect_eq "the entry shows the program's icon" "$(arp_value DisplayIcon)" \
    'C:\Program Files\Corvale Recorder\CorvaleRecorder.exe,0'
expect_eq "the entry has the help link" "$(arp_value HelpLink)" "https://www.corvale-recorder.com/contact/"
size=$(arp_value Size)
if [ "${size:-0}" -gt 1000 ] 2>/dev/null; then pass "the entry gives the size"; else fail "the entry gives the size" "got: '$size'"; fi

expect_eq "WAV Dest's server is the installed DLL" "$(reg_default "$WAVDEST_KEY\\InprocServer32")" \
    'C:\Program Files\Corvale Recorder\corvale_wavdest.dll'
expect_eq "WAV Dest's threading model" \
    "$(corvale_wine reg query "$WAVDEST_KEY\\InprocServer32" /v ThreadingModel 2>/dev/null | tr -d '\r' | awk '/ThreadingModel/ { print $3 }')" "Both"
expect_eq "WAV Dest is created by class id and listed among the DirectShow filters" \
    "$(corvale_wine "$PROBE" 2>/dev/null | tr -d '\r' | tr '\n' ' ')" "created WAV Dest listed WAV Dest "

# --- The installed program records, with the stand-ins registered as the Linux launcher does ---
corvale_register_filters "$BIN" corvale_audiocapture corvale_filewriter
reset_settings
drv reg-write-dword "$SETTINGS" b_only_once 1 >/dev/null
start_wine "$INSTALLED/CorvaleRecorder.exe"
RECORDER_PID=$!
if drv wait-window "$TITLE" 30000 >/dev/null; then
    pass "the installed program shows its window"
    profile=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
    take=$profile/take.wav
    record_tone "the installed program" "$take" 4
else
    fail "the installed program shows its window"
    recorder_kill
fi
take_sum=$(md5sum <"${take:-/dev/null}")

# --- A newer build upgrades in place; an older one is refused ---
msiexec /i "$msi_newer"
expect_eq "a newer MSI installs over the old one" "$?" "0"
expect_eq "after the upgrade one entry, of the newer version" "$(arp_count) $(arp_value DisplayVersion)" "1 $newer"
expect_eq "the upgraded program is in place" "$(ls "$INSTALLED" | tr '\n' ' ')" \
    "CorvaleRecorder.exe corvale_wavdest.dll help.chm "
expect_eq "after the upgrade WAV Dest is still registered" \
    "$(corvale_wine "$PROBE" 2>/dev/null | tr -d '\r' | head -n 1)" "created WAV Dest"
msiexec /i "$msi"
rc=$?
if [ "$rc" -ne 0 ] && [ "$(arp_value DisplayVersion)" = "$newer" ]; then
    pass "an older MSI is refused over a newer install"
else
    fail "an older MSI is refused over a newer install" "exit $rc, installed $(arp_value DisplayVersion)"
fi
if msiinfo export "$msi" LaunchCondition | grep -q "A newer version of Corvale Recorder is already installed"; then
    pass "the refusal has a clear message"
else
    fail "the refusal has a clear message"
fi

# --- Uninstall ---
msiexec /x "$msi_newer"
expect_eq "msiexec /x uninstalls without an error" "$?" "0"
expect_eq "the program's folder is gone" "$([ -e "$INSTALLED" ] && echo present || echo gone)" "gone"
expect_eq "the shortcut is gone" "$(shortcuts)" ""
expect_eq "the Programs and Features entry is gone" "$(arp_count)" "0"
expect_eq "WAV Dest is no longer registered" "$(corvale_wine "$PROBE" 2>/dev/null | tr -d '\r' | cut -c1-11 | tr '\n' ' ')" \
    "not created not listed "
expect_eq "the class key is gone" "$(corvale_wine reg query "$WAVDEST_KEY" >/dev/null 2>&1 && echo present || echo gone)" "gone"
expect_eq "the user's recording is untouched" "$(md5sum <"${take:-/dev/null}")" "$take_sum"
[ -s "${take:-/dev/null}" ] || fail "the user's recording is still there"
expect_eq "the user's settings are kept" "$(setting b_only_once)" "dword 1"
test_done
