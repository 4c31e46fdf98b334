#!/usr/bin/env python3
"""Fails unless the newest entry of CHANGELOG.md is the project's version: a release that bumps
the version says what it changed. The players' CHANGES.txt, which the package carries, must begin
with the same version and its date, and speak of nothing that is only in the sources.

    changelog_version.py CHANGELOG.md VERSION CHANGES.txt
"""

import re
import sys

changelog, version, changes = sys.argv[1:4]
faults = []
with open(changelog, encoding="utf-8") as f:
    entries = re.findall(r"^## (\S+)", f.read(), re.M)
if not entries or entries[0] != version:
    faults.append(
        f"{changelog}: the newest entry is {entries[0] if entries else 'missing'}, "
        f"the project's version is {version}"
    )
with open(changes, encoding="utf-8") as f:
    text = f.read()
dated = re.findall(r"^(\S+), (\d{4}-\d{2}-\d{2})$", text, re.M)
if not dated or dated[0][0] != version:
    faults.append(
        f"{changes}: the newest entry is {dated[0][0] if dated else 'missing'} "
        f'(as "VERSION, YYYY-MM-DD"), the project\'s version is {version}'
    )
faults += [
    f"{changes}: names {name}, which is not in the package"
    for name in ("CMakeLists.txt", "CHANGELOG.md")
    if name in text
]
for fault in faults:
    print(fault)
if not faults:
    print(f"{changelog}, {changes}: {version} is the newest entry")
sys.exit(1 if faults else 0)
