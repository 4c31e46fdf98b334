#!/usr/bin/env python3
"""Checks the built Vorlix.dll as a host process will see it: a 32-bit x86 library that exports
nothing, needs only KERNEL32 and msvcrt, none of their thread, process or debugging calls, stays
within its size and import ceilings once stripped as the release holds it, and carries a version
resource of the project's version.
The shipped vorlix-sim.exe must be a 32-bit x86 program that needs no DLL but those and the sockets
of Windows itself, which preview --watch serves its page through, asks for no system function that
it never calls, and carries a version resource too.

    check_dll.py DLL EXE VERSION OBJDUMP WINDRES STRIP
"""

import os
import re
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
from dll_figures import imported_functions, stripped_size  # noqa: E402

IMAGE_FILE_MACHINE_I386 = 0x14C
ALLOWED_IMPORTS = {"kernel32.dll", "msvcrt.dll"}
# Calls the library never makes, which scanners weigh against a library that also patches code:
# other threads and processes, and debugging.
FORBIDDEN_CALLS = {
    "AddVectoredExceptionHandler",
    "CreateRemoteThread",
    "CreateThread",
    "DuplicateHandle",
    "GetThreadContext",
    "IsDebuggerPresent",
    "OpenProcess",
    "OpenThread",
    "OutputDebugStringA",
    "RemoveVectoredExceptionHandler",
    "ResumeThread",
    "SetProcessAffinityMask",
    "SetThreadContext",
    "SetThreadPriority",
    "SuspendThread",
    "TerminateThread",
    "_beginthread",
    "_beginthreadex",
}
# What players put beside their other plug-ins, and what scanners look at first.
LARGEST_DLL_BYTES = 128 * 1024
MOST_DLL_IMPORTS = 40
# Part of every Windows since 2000, like KERNEL32.
PROGRAM_IMPORTS = ALLOWED_IMPORTS | {"ws2_32.dll", "mswsock.dll"}
# Named by the static libraries the program is built from, never called by it.
UNCALLED_FUNCTIONS = {"SetSystemTime", "TerminateThread"}


def machine(path):
    with open(path, "rb") as f:
        data = f.read(4096)
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    if data[pe : pe + 4] != b"PE\0\0":
        return None
    return struct.unpack_from("<H", data, pe + 4)[0]


def export_count(headers):
    # The linker may leave an export directory that lists nothing; what counts is its entries.
    if "There is an export table" not in headers:
        return 0
    counts = re.search(
        r"Export Address Table\s+([0-9a-fA-F]+)\s+\[Name Pointer/Ordinal\] Table\s+([0-9a-fA-F]+)",
        headers,
    )
    if counts is None:
        return None
    return int(counts.group(1), 16) + int(counts.group(2), 16)


def version_faults(resource, version):
    if "VERSIONINFO" not in resource:
        return ["no version resource"]
    numbers = ", ".join(version.split(".") + ["0"])
    wanted = [
        f"FILEVERSION {numbers}",
        f"PRODUCTVERSION {numbers}",
        f'VALUE "FileVersion", "{version}"',
        f'VALUE "ProductVersion", "{version}"',
        'VALUE "ProductName", "Vorlix"',
        'VALUE "FileDescription", "',
        'VALUE "LegalCopyright", "Copyright (C) The Vorlix developers"',
    ]
    return [f"the version resource lacks {w}" for w in wanted if w not in resource]


def import_faults(headers, allowed):
    imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", headers)}
    extra = imports - allowed
    return [f"imports from {', '.join(sorted(extra))}"] if extra else []


def main():
    dll, exe, version, objdump, windres, strip = sys.argv[1:7]
    faults = []
    for path in (dll, exe):
        found = machine(path)
        if found != IMAGE_FILE_MACHINE_I386:
            faults.append((path, f"machine type {found!r}, not i386 (0x14c)"))
        headers = subprocess.run(
            [objdump, "-p", path], check=True, capture_output=True, text=True
        ).stdout
        allowed = ALLOWED_IMPORTS if path == dll else PROGRAM_IMPORTS
        faults += [(path, fault) for fault in import_faults(headers, allowed)]
        calls = {f for functions in imported_functions(path, objdump).values() for f in functions}
        if path == exe:
            faults += [
                (path, f"imports {name}, which it never calls")
                for name in sorted(UNCALLED_FUNCTIONS & calls)
            ]
        if path == dll:
            if len(calls) > MOST_DLL_IMPORTS:
                faults.append((path, f"imports {len(calls)} functions, at most {MOST_DLL_IMPORTS}"))
            size = stripped_size(path, strip)
            if size > LARGEST_DLL_BYTES:
                faults.append((path, f"{size:,} bytes stripped, at most {LARGEST_DLL_BYTES:,}"))
            if calls & FORBIDDEN_CALLS:
                faults.append((path, f"imports {', '.join(sorted(calls & FORBIDDEN_CALLS))}"))
            exports = export_count(headers)
            if exports != 0:
                faults.append(
                    (
                        path,
                        f"exports {exports if exports is not None else 'an unreadable table'}, none expected",
                    )
                )

    for path in (dll, exe):
        resource = subprocess.run(
            [windres, "-i", path, "-O", "rc"], capture_output=True, text=True
        ).stdout
        faults += [(path, fault) for fault in version_faults(resource, version)]

    for path, fault in faults:
        print(f"{path}: {fault}")
    if not faults:
        print(
            f"{dll}: i386, no exports, imports from KERNEL32 and msvcrt only and no thread, "
            f"process or debugging calls, within {LARGEST_DLL_BYTES:,} bytes and "
            f"{MOST_DLL_IMPORTS} imports, version {version}"
        )
        print(
            f"{exe}: i386, imports from KERNEL32, msvcrt and the Windows sockets only, "
            f"version {version}"
        )
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
