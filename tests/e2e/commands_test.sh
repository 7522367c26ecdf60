#!/usr/bin/env bash
# Play, Help, Homepage and About with the real executable: programs the recorder starts are
# replaced by a stand-in that logs its command line.
source "$(dirname "$0")/e2e_lib.sh"

player_dir="$WINEPREFIX/drive_c/Program Files/Windows Media Player"
browser="$E2E/browser.exe"
cp "$BIN/standin.exe" "$browser"
# Wine reads URL handlers from the machine's classes only: the stand-in replaces the browser
# there for this test, and Wine's own handler is put back afterwards.
handler() { echo "HKCR\\$1\\shell\\open\\command"; }
set_handler() { corvale_wine reg add "$(handler "$1")" /ve /d "$2" /f >/dev/null 2>&1; }
wine_browser='"C:\windows\system32\winebrowser.exe" "%1"'
for scheme in http https; do set_handler "$scheme" "\"$(winpath "$browser")\" \"%1\""; done
trap 'recorder_kill; rm -f "$player_dir/mplayer2.exe" "$player_dir/mplayer2.exe.log";
      set_handler http "$wine_browser"; set_handler https "$wine_browser";
      kill_in_prefix hh.exe' EXIT
wait_for_line() { # FILE SECONDS
    local i
    for i in $(seq $(($2 * 10))); do [ -s "$1" ] && return 0; sleep 0.1; done
    return 1
}

reset_settings
drv reg-write-dword "$SETTINGS" b_only_once 1 >/dev/null
recorder_start

# Play with an empty box: the message names the empty path and has no owner window.
drv set-text "$TITLE" 1008 "" >/dev/null
box=$(drv click "$TITLE" 1001 -- answer Error OK)
expect_eq "Play with an empty box says the file does not exist" "$(echo "$box" | sed -n 1p)" 'text " does not exist!"'
expect_eq "that message has no owner window" "$(echo "$box" | sed -n 2p)" 'owner "(none)"'

# Play right after a recording starts the player on that file, both paths quoted.
mkdir -p "$E2E/with space"
take="$E2E/with space/take.wav"
rm -f "$take"
cp "$BIN/standin.exe" "$player_dir/mplayer2.exe"
drv set-text "$TITLE" 1008 "$(winpath "$take")" -- click "$TITLE" 1004 -- sleep 1500 \
    -- click "$TITLE" 1003 -- click "$TITLE" 1001 >/dev/null
if wait_for_line "$player_dir/mplayer2.exe.log" 10; then
    expect_eq "Play starts the player with the quoted file" "$(head -n 1 "$player_dir/mplayer2.exe.log" | tr -d '\r')" \
        "\"C:\\Program Files\\Windows Media Player\\mplayer2.exe\" \"$(winpath "$take")\""
else
    fail "Play starts the player on the recorded file" "no start logged"
fi
rm -f "$player_dir/mplayer2.exe"

# Help starts hh.exe on the help file beside the program, and the help file opens.
[ -f "$BIN/help.chm" ] && pass "help.chm lies beside the program" || fail "help.chm lies beside the program"
drv click "$TITLE" 1048 >/dev/null
if drv wait-window "Corvale Recorder Help" 15000 >/dev/null; then pass "Help opens the help file"; else
    fail "Help opens the help file"; fi
args=$(ps -eo args | grep -i 'hh.exe' | grep -v grep | head -n 1)
case "$args" in
*"help.chm::/Introduction.htm"*) pass "Help passes help.chm::/Introduction.htm ($args)" ;;
*) fail "Help passes help.chm::/Introduction.htm" "got: $args" ;;
esac
kill_in_prefix hh.exe

# Homepage opens the product's page through the shell.
rm -f "$browser.log"
drv click "$TITLE" 1046 >/dev/null
if wait_for_line "$browser.log" 10; then
    expect_eq "Homepage opens the product page" "$(tail -n 1 "$browser.log" | tr -d '\r' | sed 's/.*" "//; s/"$//')" \
        "https://www.corvale-recorder.com/recorder/"
else
    fail "Homepage opens the product page" "no browser start logged"
fi

# About from the button and from the system menu; links underlined; a click opens the site.
about="About Corvale Recorder"
drv click "$TITLE" 1047 -- wait-window "$about" 5000 >/dev/null && pass "About opens from its button" ||
    fail "About opens from its button"
for id in 1049 1050; do
    run=$(region_measure blue-run "$about" "$id")
    if [ "${run:-0}" -ge 40 ]; then pass "link $id is underlined"; else fail "link $id is underlined" "longest blue run: '$run'"; fi
done
convert "$E2E/probe.bmp" "$CORVALE_WORK/about.png" 2>/dev/null
rm -f "$browser.log"
drv mouse-click "$about" 1049 >/dev/null
if wait_for_line "$browser.log" 10; then
    expect_eq "a click on the site link opens the site" "$(tail -n 1 "$browser.log" | tr -d '\r' | sed 's/.*" "//; s/"$//')" \
        "https://www.corvale-recorder.com/"
else
    fail "a click on the site link opens the site" "no browser start logged"
fi
drv click "$about" 1 -- wait-gone "$about" 5000 >/dev/null
drv syscommand "$TITLE" 16 -- wait-window "$about" 5000 -- click "$about" 1 -- wait-gone "$about" 5000 >/dev/null &&
    pass "About opens from the system menu" || fail "About opens from the system menu"
recorder_close
reset_settings
test_done
