"""Runs a script in headless Blender with the add-on installable from its zip, as the release
packs it, in a home of its own so that no one's Blender preferences are read or written.

The script gets the zip's path and then ARGUMENTS after "--". Blender is the machine's own, or the
one in a Debian root that scripts/make-sid-chroot.sh made, which sees only the script's folder,
the folders READS (read-only) and the home at their own paths."""

import os
import shutil
import subprocess
import sys
import tempfile

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(SOURCE_DIR, "release"))
import package  # noqa: E402


def blender_command(root, home, reads):
    if root is None:
        blender = shutil.which("blender")
        if blender is None:
            sys.exit("blender not found: scripts/setup.sh installs it")
        return [blender]
    binds = [option for folder in reads for option in ("--ro", folder)]
    return [
        os.path.join(SOURCE_DIR, "scripts", "in-sid-chroot.sh"),
        root,
        "--rw",
        home,
        *binds,
        "--",
        "blender",
    ]


def run_with_addon(script, arguments, root=None, reads=()):
    script = os.path.abspath(script)
    with tempfile.TemporaryDirectory(prefix="vorlix-blender-") as home:
        blender = blender_command(root, home, [os.path.dirname(script), *reads])
        addon = os.path.join(home, "vorlix-blender.zip")
        with open(addon, "wb") as f:
            f.write(package.addon_zip(SOURCE_DIR, [], (1980, 1, 1, 0, 0, 0)))
        env = {k: v for k, v in os.environ.items() if not k.startswith("BLENDER_USER_")}
        env["HOME"] = env["TMPDIR"] = home  # what the script leaves goes with the home
        # Blender's Python looks for its library along PATH: the folder of an interpreter running
        # this from elsewhere (pyenv, a venv) would give it a library without the system's numpy.
        if sys.prefix != "/usr":
            env["PATH"] = os.pathsep.join(
                p
                for p in env.get("PATH", "").split(os.pathsep)
                if not os.path.abspath(p).startswith(sys.prefix)
            )
        return subprocess.run(
            [
                *blender,
                "-b",
                "--factory-startup",
                "--python-exit-code",
                "1",
                "--python",
                script,
                "--",
                addon,
                *arguments,
            ],
            env=env,
        ).returncode
