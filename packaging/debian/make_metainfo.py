#!/usr/bin/env python3
"""Writes the AppStream metainfo from its template, with the component id and one release per
entry of the Debian changelog (newest first, as the changelog lists them):

    python3 packaging/debian/make_metainfo.py TEMPLATE CHANGELOG APPID > OUT
"""

import email.utils
import re
import sys
from xml.sax.saxutils import escape

HEADER = re.compile(r"^\S+ \(([^)]+)\) ")
TRAILER = re.compile(r"^ -- .+?  (.+)$")


def entries(lines):
    """(version, date, [item texts]) for each changelog entry."""
    version, items = None, []
    for line in lines:
        header, trailer = HEADER.match(line), TRAILER.match(line)
        if header:
            version, items = header.group(1), []
        elif trailer and version:
            date = email.utils.parsedate_to_datetime(trailer.group(1)).date().isoformat()
            yield version, date, items
            version = None
        elif line.startswith("  * "):
            items.append(line[4:].strip())
        elif line.startswith("    ") and items:
            items[-1] += " " + line.strip()


def release_xml(version, date, items):
    points = "".join("          <li>%s</li>\n" % escape(item) for item in items)
    return ('    <release version="%s" date="%s">\n      <description>\n        <ul>\n%s'
            "        </ul>\n      </description>\n    </release>" % (escape(version), date, points))


def main(argv):
    if len(argv) != 4:
        sys.stderr.write("usage: make_metainfo.py TEMPLATE CHANGELOG APPID\n")
        return 2
    with open(argv[1], encoding="utf-8") as f:
        template = f.read()
    with open(argv[2], encoding="utf-8") as f:
        releases = [release_xml(*entry) for entry in entries(f.read().splitlines())]
    if not releases:
        sys.stderr.write("make_metainfo.py: no entries in %s\n" % argv[2])
        return 1
    sys.stdout.write(template.replace("@APPID@", argv[3]).replace("@RELEASES@", "\n".join(releases)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
