#!/usr/bin/env bash
# The skinned button's drop-down glyph menu in a real window (menu-demo.exe): the popup opens
# under the button in the flat look with glyphs from a toolbar bitmap, the button paints pressed
# meanwhile, a chosen command (by menu character or by mouse) is posted to the window, and a
# dismissed menu posts nothing.
source "$(dirname "$0")/../e2e/e2e_lib.sh"

DEMO=$BIN/menu-demo.exe
CAPTION="Menu demo"
VERSION_KEY='HKCU\Software\Wine\AppDefaults\menu-demo.exe'
SHOT=$E2E/menu.bmp
pixels() { python3 "$CORVALE_ROOT/tests/menu/pixels.py" "$@"; }
shot() { drv screenshot-screen "$(winpath "$SHOT")" >/dev/null; }
menu_open() { drv menu-rect "${1:-5000}" 2>/dev/null; }
# Waits until no popup menu is open; false when one stays.
menu_gone() {
    local i
    for i in $(seq 20); do menu_open 100 >/dev/null || return 0; sleep 0.2; done
    return 1
}
darker() { [ $((16#${1:0:2} + 16#${1:2:2} + 16#${1:4:2})) -lt $((16#${2:0:2} + 16#${2:2:2} + 16#${2:4:2})) ]; }

# The flat look belongs to the themed desktop generation (NT 5.1); Wine reports a newer one.
corvale_wine reg add "$VERSION_KEY" /v Version /d winxp /f >/dev/null 2>&1
trap 'kill_in_prefix menu-demo.exe; corvale_wine reg delete "$VERSION_KEY" /f >/dev/null 2>&1' EXIT
start_wine "$DEMO"
if ! drv wait-window "$CAPTION" 20000 >/dev/null; then
    fail "the menu demo starts"
    test_done
    exit 0
fi
read -r bl bt br bb < <(drv rect "$CAPTION" 100)
read -r wl wt wr wb < <(drv rect "$CAPTION" 0)
shot
face=$(pixels "$SHOT" "$((wl + 300)),$((wb - 20))")
closed_corner=$(pixels "$SHOT" "$bl,$bt")

# Open: the popup's top-left corner is the button's bottom-left corner.
drv mouse-click "$CAPTION" 100 >/dev/null
read -r ml mt mr mb < <(menu_open)
expect_eq "the popup opens under the button's lower-left corner" "$ml $mt" "$bl $bb"
expect_eq "the callback ran once before the menu opened" "$(drv text "$CAPTION" 102)" "1"
shot
cp "$SHOT" "$E2E/menu-open.bmp"
gutter=$(pixels "$SHOT" "$((ml + 4)),$((mb - 8))")
area=$(pixels "$SHOT" "$((mr - 10)),$((mb - 8))")
if [ "$gutter" = "$face" ] && [ "$area" != "$gutter" ]; then
    pass "flat look: a button-face glyph column beside the item area"
else
    fail "flat look: a button-face glyph column beside the item area" \
        "gutter $gutter, item area $area, face $face"
fi
faded=$(pixels "$SHOT" --count ff4c4c "$((ml + 2))" "$((mt + 2))" 24 22)
if [ "$faded" -gt 40 ]; then pass "owner-drawn items show the red disc glyph faded at rest"
else fail "owner-drawn items show the red disc glyph faded at rest" "faded pixels: $faded"; fi
pressed_corner=$(pixels "$SHOT" "$bl,$bt")
if darker "$pressed_corner" "$face" && [ "$pressed_corner" != "$closed_corner" ]; then
    pass "the button paints pressed while the menu is open"
else
    fail "the button paints pressed while the menu is open" \
        "corner $pressed_corner open, $closed_corner closed, face $face"
fi

# Hover the first item: the glyph shows in full colour over its shadow.
drv mouse-move-xy "$((ml + 60))" "$((mt + 12))" >/dev/null
sleep 0.5
shot
cp "$SHOT" "$E2E/menu-hover.bmp"
full=$(pixels "$SHOT" --count ff0000 "$((ml + 2))" "$((mt + 2))" 24 22)
faded=$(pixels "$SHOT" --count ff4c4c "$((ml + 2))" "$((mt + 2))" 24 22)
if [ "$full" -gt 40 ] && [ "$faded" -eq 0 ]; then pass "a hovered item lifts its glyph in full colour"
else fail "a hovered item lifts its glyph in full colour" "full $full, faded $faded"; fi

# A menu character chooses "&Green triangle".
drv key "$CAPTION" g >/dev/null
expect_eq "the menu character g posts the green triangle's command" \
    "$(drv wait-text "$CAPTION" 101 502 5000 >/dev/null; drv text "$CAPTION" 101)" "502"
menu_gone && pass "the menu closes after a choice" || fail "the menu closes after a choice"
sleep 0.3
shot
after=$(pixels "$SHOT" "$bl,$bt")
if [ "$after" != "$pressed_corner" ]; then pass "the button no longer paints pressed"
else fail "the button no longer paints pressed" "corner $after"; fi

# Dismissed with Escape: nothing is posted.
drv mouse-click "$CAPTION" 100 >/dev/null
menu_open >/dev/null || fail "the menu opens again"
drv key "$CAPTION" escape >/dev/null
menu_gone && pass "Escape dismisses the menu" || fail "Escape dismisses the menu"
sleep 0.5
expect_eq "a dismissed menu posts nothing" "$(drv text "$CAPTION" 101)" "502"
expect_eq "the callback ran before each opening" "$(drv text "$CAPTION" 102)" "2"

# Chosen with the mouse: the last item, "&Plain item".
drv mouse-click "$CAPTION" 100 >/dev/null
read -r ml mt mr mb < <(menu_open)
drv mouse-click-xy "$((ml + 60))" "$((mb - 12))" >/dev/null
expect_eq "clicking an item posts its command" \
    "$(drv wait-text "$CAPTION" 101 '502 505' 5000 >/dev/null; drv text "$CAPTION" 101)" "502 505"

drv close "$CAPTION" >/dev/null
drv wait-gone "$CAPTION" 10000 >/dev/null && pass "the demo closes with its menu" ||
    fail "the demo closes with its menu"
test_done
