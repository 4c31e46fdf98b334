#!/usr/bin/env python3
"""Fails unless the release package is the same bytes when its sources are built in another
folder, at another time: the sources as a clone holds them are copied elsewhere (with new file
dates), configured with the Windows preset, and `dist` is built there and in the tree under test.

    reproducible_package.py SOURCE_DIR BUILD_DIR

Exit status 77 (skipped) outside a git checkout, where there is no list of the sources.
"""

import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

SKIPPED = 77


def tracked_and_new_files(source_dir):
    listed = subprocess.run(
        ["git", "-C", source_dir, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
        capture_output=True,
    )
    if listed.returncode != 0:
        return None
    names = [n for n in listed.stdout.decode().split("\0") if n]
    return [n for n in names if os.path.isfile(os.path.join(source_dir, n))]


def build_dist(build_dir, out_dir, env):
    subprocess.run(
        ["cmake", "--build", build_dir, "--target", "dist", "-j", "2"],
        check=True,
        env=dict(env, VORLIX_DIST_DIR=out_dir),
        stdout=subprocess.DEVNULL,
    )
    (name,) = [n for n in os.listdir(out_dir) if n.endswith(".zip")]
    return os.path.join(out_dir, name)


def differing_entries(a, b):
    with zipfile.ZipFile(a) as za, zipfile.ZipFile(b) as zb:
        names = sorted(set(za.namelist()) | set(zb.namelist()))
        return [
            n
            for n in names
            if n not in za.namelist()
            or n not in zb.namelist()
            or za.read(n) != zb.read(n)
            or za.getinfo(n).date_time != zb.getinfo(n).date_time
        ]


def main():
    source_dir, build_dir = (os.path.abspath(p) for p in sys.argv[1:3])
    files = tracked_and_new_files(source_dir)
    if files is None:
        print("not a git checkout: skipped")
        return SKIPPED
    env = dict(os.environ)
    env.setdefault(
        "SOURCE_DATE_EPOCH",
        subprocess.run(
            ["git", "-C", source_dir, "log", "-1", "--format=%ct"], capture_output=True, text=True
        ).stdout.strip()
        or "1700000000",
    )

    with tempfile.TemporaryDirectory() as work:
        copy = os.path.join(work, "elsewhere", "vorlix")
        for name in files:
            os.makedirs(os.path.dirname(os.path.join(copy, name)), exist_ok=True)
            try:
                shutil.copy(os.path.join(source_dir, name), os.path.join(copy, name))
            except FileNotFoundError:
                pass  # a file another test wrote and removed meanwhile: not a source
        subprocess.run(
            ["cmake", "--preset", "windows-x86"],
            cwd=copy,
            check=True,
            env=env,
            stdout=subprocess.DEVNULL,
        )

        here = build_dist(build_dir, os.path.join(work, "here"), env)
        there = build_dist(
            os.path.join(copy, "build", "windows-x86"), os.path.join(work, "there"), env
        )
        if filecmp.cmp(here, there, shallow=False):
            print(
                f"{os.path.basename(here)}: the same {os.path.getsize(here)} bytes from {source_dir} and {copy}"
            )
            return 0
        print(f"{os.path.basename(here)} differs between {source_dir} and {copy}")
        for name in differing_entries(here, there):
            print(f"  {name} differs")
        return 1


if __name__ == "__main__":
    sys.exit(main())
