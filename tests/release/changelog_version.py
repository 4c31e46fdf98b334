#!/usr/bin/env python3
"""Fails unless the newest entry of CHANGELOG.md is the project's version: a release that bumps
the version says what it changed.

    changelog_version.py CHANGELOG.md VERSION
"""

import re
import sys

changelog, version = sys.argv[1:3]
with open(changelog, encoding="utf-8") as f:
    entries = re.findall(r"^## (\S+)", f.read(), re.M)
if not entries or entries[0] != version:
    print(
        f"{changelog}: the newest entry is {entries[0] if entries else 'missing'}, the project's version is {version}"
    )
    sys.exit(1)
print(f"{changelog}: {version} is the newest entry")
