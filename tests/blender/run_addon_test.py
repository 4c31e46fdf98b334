#!/usr/bin/env python3
"""Runs addon_test.py in headless Blender against the built vorlix-sim.

    run_addon_test.py SOURCE_DIR VORLIX_SIM
"""

import os
import sys

source_dir, sim = sys.argv[1:3]
sys.path.insert(0, os.path.join(source_dir, "blender"))
import headless  # noqa: E402

sys.exit(headless.run_with_addon(os.path.join(os.path.dirname(os.path.abspath(__file__)), "addon_test.py"),
                                 [os.path.abspath(sim)]))
