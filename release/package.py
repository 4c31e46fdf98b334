#!/usr/bin/env python3
"""Builds the release package, dist/vorlix-VERSION-windows-x86.zip.

The same sources give the same zip, byte for byte: the binaries are stripped without a timestamp,
every entry has the commit's date, fixed permissions and a fixed place in the archive, and nothing
of the machine or the folders it was built in goes in.
"""

import argparse
import hashlib
import io
import os
import subprocess
import sys
import tempfile
import time
import zipfile

# Where each file comes from, in the order it appears in the archive.
#   (name in the package, where: "build" or "source", path there, how)
CONTENTS = [
    ("README.txt", "source", "release/README.txt", "text"),
    # The players' list of changes; the developers' CHANGELOG.md stays with the sources.
    ("CHANGES.txt", "source", "release/CHANGES.txt", "text"),
    ("Check my game.cmd", "source", "release/Check my game.cmd", "text"),
    ("Vorlix.dll", "build", "bin/Vorlix.dll", "strip"),
    ("vorlix-sim.exe", "build", "bin/vorlix-sim.exe", "strip"),
    ("model-authors.md", "source", "docs/model-authors.md", "copy"),
]
PICTURES = "docs/pictures"  # every file in it goes to pictures/, by name
EXECUTABLE = {"Vorlix.dll", "vorlix-sim.exe"}
# The Blender add-on: its folder, with its own vorlix-sim and library beside its code so that it
# works as installed, and the manifest that makes the zip an extension too.
ADDON = "blender/vorlix"
ADDON_MANIFEST = "blender_manifest.toml"
ADDON_PROGRAMS = ("Vorlix.dll", "vorlix-sim.exe")


def commit_time(source_dir):
    given = os.environ.get("SOURCE_DATE_EPOCH")
    if given:
        return int(given)
    try:
        out = subprocess.run(
            ["git", "-C", source_dir, "log", "-1", "--format=%ct"],
            check=True,
            capture_output=True,
            text=True,
        ).stdout.strip()
        return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        sys.exit("package: not a git checkout: set SOURCE_DATE_EPOCH to the release's date")


def zip_date(epoch):
    # A zip holds local dates without a zone and nothing before 1980: the commit's UTC date stands.
    return time.gmtime(max(epoch, 315532800))[:6]


def stripped(strip, path):
    with tempfile.TemporaryDirectory() as work:
        out = os.path.join(work, os.path.basename(path))
        # strip would write the time of day into the PE header unless told a date: 0 is "none",
        # as the linker leaves it.
        env = dict(os.environ, SOURCE_DATE_EPOCH="0")
        subprocess.run([strip, "--strip-all", "-o", out, path], check=True, env=env)
        with open(out, "rb") as f:
            return f.read()


def windows_text(data):
    # Players open the text files in whatever Windows gives them, and cmd reads a .cmd file
    # line by line: CR LF throughout.
    return data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def addon_zip(source_dir, programs, date):
    folder = os.path.join(source_dir, ADDON)
    files = []
    for name in sorted(os.listdir(folder)):
        if name.endswith(".py") or name == ADDON_MANIFEST:
            with open(os.path.join(folder, name), "rb") as f:
                files.append((name, f.read()))
    files += programs
    archive = io.BytesIO()
    write_zip(archive, "vorlix", files, date)
    return archive.getvalue()


def package_files(source_dir, build_dir, strip, version, date):
    files = []
    for name, where, path, how in CONTENTS:
        full = os.path.join(source_dir if where == "source" else build_dir, path)
        if how == "strip":
            data = stripped(strip, full)
        else:
            with open(full, "rb") as f:
                data = f.read()
            if how == "text":
                data = windows_text(data)
        files.append((name, data))
    programs = [(name, data) for name, data in files if name in ADDON_PROGRAMS]
    files.append((f"vorlix-blender-{version}.zip", addon_zip(source_dir, programs, date)))
    pictures = os.path.join(source_dir, PICTURES)
    for picture in sorted(os.listdir(pictures)):
        with open(os.path.join(pictures, picture), "rb") as f:
            files.append(("pictures/" + picture, f.read()))
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    files.append(("SHA256SUMS", sums.encode()))
    return files


def write_zip(path, top, files, date):
    """Writes the zip to a path or an open file."""
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in files:
            entry = zipfile.ZipInfo(f"{top}/{name}", date)
            entry.create_system = 3  # permissions in the Unix form, whoever builds
            entry.external_attr = (0o100755 if name in EXECUTABLE else 0o100644) << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(entry, data, compresslevel=9)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--version", required=True)
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--build-dir", required=True)
    parser.add_argument("--strip", required=True, help="the MinGW strip program")
    parser.add_argument(
        "--out", required=True, help="folder for the zip (VORLIX_DIST_DIR overrides)"
    )
    args = parser.parse_args()

    out_dir = os.environ.get("VORLIX_DIST_DIR") or args.out
    top = f"vorlix-{args.version}-windows-x86"
    date = zip_date(commit_time(args.source_dir))
    files = package_files(args.source_dir, args.build_dir, args.strip, args.version, date)
    os.makedirs(out_dir, exist_ok=True)
    path = os.path.join(out_dir, top + ".zip")
    partial = path + ".partial"
    write_zip(partial, top, files, date)
    os.replace(partial, path)  # never a half-written package under the real name
    print(f"{path}: {len(files)} files, {os.path.getsize(path)} bytes")


if __name__ == "__main__":
    main()
