#!/usr/bin/env python3
"""Runs addon_test.py in headless Blender against the built vorlix-sim: the machine's own Blender,
or with --root the one in the Debian sid root that scripts/make-sid-chroot.sh makes.

    run_addon_test.py SOURCE_DIR VORLIX_SIM [--root DIR]
"""

import argparse
import os
import sys

parser = argparse.ArgumentParser()
parser.add_argument("source_dir")
parser.add_argument("sim")
parser.add_argument("--root", help="the sid root to run Blender in")
args = parser.parse_args()
if args.root and not os.path.isfile(os.path.join(args.root, ".vorlix-packages")):
    sys.exit(
        f"the Blender of Debian sid cannot run: {args.root} is not a finished sid root, "
        "and scripts/make-sid-chroot.sh (the test set-up) says why"
    )

sys.path.insert(0, os.path.join(args.source_dir, "blender"))
import headless  # noqa: E402

sim = os.path.abspath(args.sim)
sys.exit(
    headless.run_with_addon(
        os.path.join(os.path.dirname(os.path.abspath(__file__)), "addon_test.py"),
        [sim],
        args.root,
        [os.path.dirname(sim)],
    )
)
