#!/usr/bin/env bash
# The AppStream metainfo made from a changelog of two entries: one release each, newest first,
# with the entry's date and its items (lines joined, XML characters escaped), and appstreamcli
# accepts the result.
source "$CORVALE_ROOT/tests/packaging/packaging_lib.sh"

WORK=$CORVALE_WORK/metainfo
mkdir -p "$WORK"
cat >"$WORK/changelog" <<'TEXT'
corvale-recorder (2.3.0) stable; urgency=medium

  * Levels & meters: a take <1 s long is kept, and this item goes on
    over a second line.
  * Second item.

 -- Brightmoor Studio <support@corvale-recorder.com>  Mon, 01 Feb 2027 10:00:00 +0100

corvale-recorder (2.2.2) stable; urgency=medium

  * First package.

 -- Brightmoor Studio <support@corvale-recorder.com>  Wed, 09 Dec 2026 02:00:00 +0000
TEXT
id=com.corvale_recorder.CorvaleRecorder
out=$WORK/$id.metainfo.xml
python3 "$CORVALE_ROOT/packaging/debian/make_metainfo.py" "$CORVALE_ROOT/packaging/debian/corvale-recorder.metainfo.xml.in" \
    "$WORK/changelog" "$id" >"$out"
expect_eq "one release per entry, newest first, with its date and items" \
    "$(python3 -c 'import sys, xml.etree.ElementTree as ET
for r in ET.parse(sys.argv[1]).getroot().iter("release"):
    print(r.get("version"), r.get("date"), "|".join(li.text for li in r.iter("li")))' "$out" 2>&1)" \
    "2.3.0 2027-02-01 Levels & meters: a take <1 s long is kept, and this item goes on over a second line.|Second item.
2.2.2 2026-12-09 First package."
expect_appstream_valid "appstreamcli accepts it" "$out"
test_done
