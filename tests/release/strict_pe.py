#!/usr/bin/env python3
"""Checks shipped Windows executables as a strict reader of the PE format sees them, since no real
Windows is at hand to try them on: Debian's pefile must read each without a single warning, every
section's data on disk must lie inside the file, and no section may be writable and executable at
once. Each file is checked as built and stripped, as the package ships it: a section that
claims more file data than there is may hide behind the debugging information of a build.

    strict_pe.py STRIP FILE...
"""

import os
import subprocess
import sys
import tempfile

import pefile

IMAGE_SCN_MEM_EXECUTE = 0x20000000
IMAGE_SCN_MEM_WRITE = 0x80000000


def faults(path):
    size = os.path.getsize(path)
    pe = pefile.PE(path)
    found = [f"pefile: {warning}" for warning in pe.get_warnings()]
    for index, section in enumerate(pe.sections):
        name = section.Name.rstrip(b"\0").decode("ascii", "replace")
        end = section.PointerToRawData + section.SizeOfRawData
        if section.SizeOfRawData and end > size:
            found.append(
                f"section {index} ({name}): its data ends at {end:#x}, past the file's "
                f"{size:#x} bytes"
            )
        flags = section.Characteristics
        if flags & IMAGE_SCN_MEM_WRITE and flags & IMAGE_SCN_MEM_EXECUTE:
            found.append(f"section {index} ({name}): writable and executable")
    return found


def main():
    strip = sys.argv[1]
    work = tempfile.mkdtemp()
    paths = []
    for path in sys.argv[2:]:
        stripped = os.path.join(work, "stripped-" + os.path.basename(path))
        subprocess.run([strip, "--strip-all", "-o", stripped, path], check=True)
        paths += [path, stripped]
    failed = False
    for path in paths:
        found = faults(path)
        failed = failed or bool(found)
        for fault in found:
            print(f"{path}: {fault}")
        if not found:
            print(f"{path}: well-formed")
    for path in paths[1::2]:
        os.remove(path)
    os.rmdir(work)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
