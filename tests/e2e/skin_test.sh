#!/usr/bin/env bash
# The skinned window: hovering a small button shows its frame and tooltip, and every button
# shows the hand cursor.
source "$(dirname "$0")/e2e_lib.sh"

trap 'recorder_kill' EXIT
reset_settings
recorder_start
shot=$E2E/skin.bmp

# A flat button's frame shows only under the pointer: compare its edge before and after.
edge_pixels() { # ID: a digest of the button's top edge in the last screenshot
    local rect ox oy
    rect=$(drv controls "$TITLE" | awk -v id="$1" '$1 == id { print $5, $6, $7, $8 }')
    read -r ox oy < <(shot_origin "$TITLE")
    set -- $rect
    convert "$shot" -crop "$(($3 - 4))x1+$(($1 + 2 + ox))+$(($2 + oy))" +repage -depth 8 rgb:- 2>/dev/null | md5sum
}
drv mouse-move-xy 1000 700 -- sleep 300 -- screenshot-window "$TITLE" "$(winpath "$shot")" >/dev/null
before=$(edge_pixels 1039)
# Two moves: the first enters the button, the second is the move the tooltip waits for. The
# tooltip is read in the same driver run: it hides again after a few seconds, and each start
# of a Wine process can take seconds on a busy machine.
tip=$(drv mouse-move "$TITLE" 1039 -- sleep 300 -- mouse-move "$TITLE" 1039 2 2 -- sleep 300 \
    -- screenshot-window "$TITLE" "$(winpath "$shot")" -- sleep 900 -- tooltip)
after=$(edge_pixels 1039)
convert "$shot" "$CORVALE_WORK/skin-hover.png" 2>/dev/null
if [ "$after" != "$before" ]; then pass "hovering Browse draws its frame"; else
    fail "hovering Browse draws its frame" "the top edge did not change under the pointer"; fi
expect_eq "hovering Browse shows its tooltip" "$(echo "$tip" | grep -x 'tooltip text "Browse"')" 'tooltip text "Browse"'
# Another process's cursor cannot be inspected inside Wine: the X server's pointer is read.
# The pointer leaves Browse first, so that its tooltip is gone before the next button.
drv mouse-move "$TITLE" 1035 -- sleep 600 >/dev/null
for id in 1004 1039 1001 1046 1047 1048; do
    # The X pointer's image follows Wine's a moment later: look again before judging.
    for attempt in 1 2 3; do
        drv mouse-move "$TITLE" "$id" -- sleep 200 -- mouse-move "$TITLE" "$id" 1 1 -- sleep 300 >/dev/null
        cursor=$(python3 "$CORVALE_ROOT/tests/driver/x_cursor.py")
        case "$cursor" in *"hotspot 5 0"*) break ;; esac
    done
    case "$cursor" in
    *"hotspot 5 0"*) pass "button $id shows the hand cursor" ;;
    *) fail "button $id shows the hand cursor" "got: $cursor" \
        "enabled: $(drv enabled "$TITLE" "$id") $(drv tooltip | tr '\n' ' ')" ;;
    esac
done
drv mouse-move-xy 1000 700 >/dev/null
recorder_close
reset_settings
test_done
