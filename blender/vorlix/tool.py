"""Finding and running vorlix-sim."""

import os
import shutil
import subprocess
import sys
import tempfile

PROGRAM = "vorlix-sim.exe" if sys.platform == "win32" else "vorlix-sim"

# vorlix-sim's status for a command line or a model it refuses; its message is on standard error.
STATUS_REFUSED = 2


class ToolError(Exception):
    """A failure to report to the author as it stands."""


def find(configured):
    """The program to run: the configured one, else the one beside the add-on, else PATH's."""
    if configured:
        path = os.path.abspath(configured)
        if not os.path.isfile(path):
            raise ToolError(
                f"vorlix-sim not found at {path}: set its place in the add-on's preferences"
            )
        return path
    beside = os.path.join(os.path.dirname(os.path.abspath(__file__)), PROGRAM)
    if os.path.isfile(beside):
        return beside
    found = shutil.which(PROGRAM)
    if found is None:
        raise ToolError(
            "vorlix-sim not found beside the add-on or on PATH: "
            "set its place in the add-on's preferences"
        )
    return os.path.abspath(found)  # it runs in a folder of its own


def run(program, arguments, succeeded=(0,)):
    """Runs the program and returns its output when it exits with a status of SUCCEEDED; raises
    its own message when it refuses, or a plain one when it fails. It runs in a temporary folder,
    where the library's log goes, not in Blender's working folder."""
    try:
        with tempfile.TemporaryDirectory(prefix="vorlix-run-") as folder:
            # On Windows the tool would otherwise open a console window of its own.
            done = subprocess.run(
                [program, *arguments],
                capture_output=True,
                text=True,
                cwd=folder,
                creationflags=getattr(subprocess, "CREATE_NO_WINDOW", 0),
            )
    except OSError as error:
        raise ToolError(f"cannot run {program}: {error.strerror}") from error
    if done.returncode in succeeded:
        return done.stdout
    # preview writes the checker's warnings to stderr before any refusal.
    message = [
        line for line in done.stderr.strip().splitlines() if not line.startswith("warning: ")
    ]
    if done.returncode == STATUS_REFUSED and message:
        raise ToolError(message[0])
    raise ToolError(
        f"vorlix-sim failed (status {done.returncode})" + (f": {message[-1]}" if message else "")
    )
