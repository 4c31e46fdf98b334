#!/usr/bin/env python3
"""The shipped DLL's figures: its size once stripped, as the release package holds it, and the
functions it imports, by DLL.

    dll_figures.py DLL [OBJDUMP [STRIP]]
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

OBJDUMP = "i686-w64-mingw32-objdump"
STRIP = "i686-w64-mingw32-strip"


def imported_functions(dll, objdump=OBJDUMP):
    """{dll name in lower case: [function, ...]} from the import tables."""
    headers = subprocess.run(
        [objdump, "-p", dll], check=True, capture_output=True, text=True
    ).stdout
    imports = {}
    current = None
    for line in headers.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            current = imports.setdefault(named.group(1).lower(), [])
            continue
        entry = re.match(r"\s+[0-9a-fA-F]+\s+[0-9]+\s+(\S+)\s*$", line)
        if current is not None and entry:
            current.append(entry.group(1))
        elif current is not None and not line.strip():
            current = None
    return imports


def stripped_size(dll, strip=STRIP):
    with tempfile.TemporaryDirectory() as folder:
        copy = os.path.join(folder, os.path.basename(dll))
        shutil.copyfile(dll, copy)
        subprocess.run([strip, copy], check=True)
        return os.path.getsize(copy)


def main():
    dll = sys.argv[1]
    objdump = sys.argv[2] if len(sys.argv) > 2 else OBJDUMP
    strip = sys.argv[3] if len(sys.argv) > 3 else STRIP
    imports = imported_functions(dll, objdump)
    by_dll = ", ".join(
        f"{len(functions)} from {name}" for name, functions in sorted(imports.items())
    )
    total = sum(len(functions) for functions in imports.values())
    print(
        f"{os.path.basename(dll)}: {stripped_size(dll, strip):,} bytes stripped, "
        f"{total} imported functions ({by_dll})"
    )
    return 0


if __name__ == "__main__":
    sys.exit(main())
