#!/usr/bin/env bash
# The driver against its fixture dialog: every kind of control, a message box, keys, the real
# pointer, the registry, and the failure report the end-to-end tests rely on.
set -u
source "$CORVALE_ROOT/tests/lib/testlib.sh"

DRIVER=$CORVALE_BUILD/bin/corvale-driver.exe
FIXTURE=$CORVALE_BUILD/bin/driver-fixture.exe
W="Driver Fixture"
Q="Fixture Question"
drv() { corvale_wine "$DRIVER" "$@" 2>/dev/null | tr -d '\r'; }

if [ ! -f "$DRIVER" ] || [ ! -f "$FIXTURE" ]; then
    fail "driver built" "missing $DRIVER or $FIXTURE"
    exit 0
fi

# The started program keeps Wine's copy of our standard output open: capturing that through a
# pipe would wait for it to end, so the output of start goes to a file.
corvale_wine "$DRIVER" start "$FIXTURE" >"$CORVALE_WORK/driver-start.txt" 2>/dev/null
pid=$(awk '/^pid /{print $2}' "$CORVALE_WORK/driver-start.txt" | tr -d '\r')
out=$(drv wait-window "$W" -- controls "$W")
expect_eq "controls lists every child" "$(grep -c ' dlu ' <<<"$out")" 7
# Pixels converted back to dialog units give the template's rectangle again.
expect_eq "controls dialog units" "$(grep '^1001 ' <<<"$out" | sed 's/.* dlu //')" '7 7 120 14 ""'

out=$(drv set-text "$W" 1001 'a "quoted" name' -- text "$W" 1001 -- items "$W" 1003 -- \
    select "$W" 1003 2 -- wait-text "$W" 1005 "choice 2" 2000 -- set-slider "$W" 1004 37 -- \
    wait-text "$W" 1005 "level 37" 2000 -- slider "$W" 1004)
expect_eq "text, items, select and slider" "$out" 'a "quoted" name
count 3
sel 0
Alpha
Beta
Gamma
pos 37 min 0 max 100'

out=$(drv click "$W" 1002 -- answer "$Q" No -- wait-text "$W" 1005 "answer no" 2000)
expect_eq "message box answered" "$out" 'text "Continue?\nReally."
owner "Driver Fixture"'

# Keys: focus is back on Ask after its box, space presses it, enter takes the box's default,
# tab moves on to the combo box.
out=$(drv focus "$W" -- key "$W" space -- msgbox "$Q" -- key "$Q" enter -- wait-gone "$Q" -- \
    wait-text "$W" 1005 "answer yes" 2000 -- key "$W" tab -- focus "$W" 1003 2000)
expect_eq "keys reach the focused control" "$(sed -n '1p;$p' <<<"$out")" "focus 1002 Button
focus 1003 ComboBox"

out=$(drv mouse-move "$W" 1001 -- sleep 100 -- mouse-move "$W" 1002 -- sleep 1500 -- tooltip)
expect_eq "tooltip under the real pointer" "$out" 'tooltip text "Ask a question"'

key='HKCU\Software\CorvaleDriverTest'
out=$(drv reg-write-dword "$key\\Option" n 42 -- reg-write-string "$key\\Option" s 'C:\x' -- \
    reg-read "$key\\Option" n -- reg-read "$key\\Option" s -- reg-delete-key "$key" -- \
    reg-read "$key\\Option" n)
expect_eq "registry round trip" "$out" 'dword 42
string "C:\\x"
missing'

out=$(drv text "$W" 1005 -- wait-window "No Such Window" 200 -- text "$W" 1005)
expect_eq "first failure ends the run" "$out" 'answer yes
driver: ERROR no window "No Such Window" after 200 ms'

# Another process's handle count: Wine answers 0 through GetProcessHandleCount.
handles=$(drv resources "$W" | awk '{ print $4 }')
if [ "${handles:-0}" -gt 10 ]; then pass "resources counts the fixture's handles ($handles)"; else
    fail "resources counts the fixture's handles" "got: '$handles'"; fi

out=$(drv key "$W" escape -- wait-exit "$pid" 5000)
expect_eq "escape ends the dialog" "$out" "exit 2"
drv kill "$pid" >/dev/null
test_done
