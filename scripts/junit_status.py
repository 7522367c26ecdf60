#!/usr/bin/env python3
"""Prints "NAME<TAB>STATUS" for each test case of ctest's JUnit file; STATUS is "run" for a
passed test, else "failed", "skipped" or "notrun"."""
import sys
import xml.etree.ElementTree as ET

for case in ET.parse(sys.argv[1]).getroot().iter("testcase"):
    status = case.get("status", "run")
    if case.find("failure") is not None or case.find("error") is not None:
        status = "failed"
    print("%s\t%s" % (case.get("name"), status))
