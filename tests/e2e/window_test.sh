#!/usr/bin/env bash
# The main window as a user first sees it: caption, controls at their places, background,
# and what closing it by the close box and by Escape saves.
source "$(dirname "$0")/e2e_lib.sh"

reset_settings
recorder_start || { fail "window opens" "no window titled '$TITLE'"; exit 0; }
pass "window opens with caption '$TITLE'"

# id class visible text, and the template rectangle in dialog units
expected=$(cat <<'TABLE'
1008 Edit 7 113 152 14
1004 Button 7 6 68 26
1002 Button 87 6 68 26
1003 Button 167 6 68 26
1001 Button 203 113 32 14
1051 Static 7 40 107 8
1035 Static 7 158 228 10
1054 Static 7 102 38 8
1009 ComboBox 130 54 106 49
1011 ComboBox 7 54 110 97
1038 msctls_trackbar32 39 76 174 15
1039 Button 165 113 32 14
1040 Static 130 40 105 10
1046 Button 67 136 48 14
1047 Button 127 136 48 14
1048 Button 187 136 48 14
1052 Static 7 79 31 8
1053 Static 218 78 16 8
1056 Static 7 92 228 8
TABLE
)
controls=$(drv controls "$TITLE")
expect_eq "19 controls in template order" "$(echo "$controls" | awk '{print $1}' | tr '\n' ' ')" \
    "$(echo "$expected" | awk '{print $1}' | tr '\n' ' ')"
while read -r id class x y w h; do
    line=$(echo "$controls" | awk -v id="$id" '$1 == id')
    got_class=$(echo "$line" | awk '{print $2}')
    # The rectangle in dialog units follows the word "dlu"; combo boxes report their drop height
    # differently under each system, so only their position and width count.
    read -r gx gy gw gh < <(echo "$line" | sed -n 's/.* dlu \([0-9-]*\) \([0-9-]*\) \([0-9-]*\) \([0-9-]*\).*/\1 \2 \3 \4/p')
    [ "$class" = ComboBox ] && { gh=$h; }
    if [ "$got_class" = "$class" ] &&
        awk -v a="$gx $gy $gw $gh" -v b="$x $y $w $h" 'BEGIN { split(a, p); split(b, q);
            for (i = 1; i <= 4; i++) { d = p[i] - q[i]; if (d < -1 || d > 1) exit 1 } }'; then
        pass "control $id is a $class at $x,$y size ${w}x$h"
    else
        fail "control $id is a $class at $x,$y size ${w}x$h" "got: $line"
    fi
done <<<"$expected"

expect_eq "status line starts Ready" "$(drv text "$TITLE" 1035)" "Status : Ready"
expect_eq "path box holds the music folder's recorder.wav" "$(drv text "$TITLE" 1008)" \
    'C:\users\root\Music\recorder.wav'

# The window's client area shows the tiled background bitmap: 14 x 58 tiles repeat.
shot=$E2E/window.bmp
if drv screenshot-window "$TITLE" "$(winpath "$shot")" >/dev/null && [ -f "$shot" ]; then
    png=$CORVALE_BUILD/main-window.png
    rm -f "$png"
    convert "$shot" "$CORVALE_WORK/main-window.png" 2>/dev/null && cp "$CORVALE_WORK/main-window.png" "$png"
    expect_eq "screenshot saved as build/main-window.png" "$(identify -format '%m %wx%h' "$png" 2>/dev/null)" \
        "PNG $(identify -format '%wx%h' "$shot" 2>/dev/null)"
    # Between the transport buttons and the list labels only the background shows: a strip
    # must repeat after the bitmap's width, and differ from a plain fill.
    read -r ox oy < <(shot_origin "$TITLE")
    crop() { convert "$shot" -crop "28x5+$(($1 + ox))+$(($2 + oy))" +repage -depth 8 rgb:- 2>/dev/null | md5sum; }
    expect_eq "the background repeats every 14 pixels" "$(crop 20 51)" "$(crop 34 51)"
    colours=$(convert "$shot" -crop "28x5+$((20 + ox))+$((51 + oy))" +repage -unique-colors txt:- 2>/dev/null | tail -n +2 | wc -l)
    if [ "$colours" -gt 1 ]; then pass "the background is the bitmap, not a plain fill"; else
        fail "the background is the bitmap, not a plain fill" "$colours colour(s)"; fi
else
    fail "screenshot of the main window"
fi

# Escape ends the dialog without the close handling: nothing is saved.
drv key "$TITLE" escape >/dev/null
if recorder_wait_exit 10; then pass "Escape ends the program"; else fail "Escape ends the program"; recorder_kill; fi
expect_eq "Escape saves no nSoundCaptureIndex" "$(setting nSoundCaptureIndex)" "missing"
expect_eq "Escape saves no output_wav_file" "$(setting output_wav_file)" "missing"

# The close box saves the selection settings and the path box's text.
recorder_start
drv set-text "$TITLE" 1008 'C:\users\root\Music\typed.wav' >/dev/null
recorder_close
expect_eq "close saves nSoundCaptureIndex" "$(setting nSoundCaptureIndex)" "dword 0"
expect_eq "close saves nCapturePinIndex" "$(setting nCapturePinIndex)" "dword 0"
expect_eq "close saves nSearchFlag after the first input listing" "$(setting nSearchFlag)" "dword 1"
expect_eq "close saves the typed path" "$(setting output_wav_file)" 'string "C:\\users\\root\\Music\\typed.wav"'
reset_settings
test_done
