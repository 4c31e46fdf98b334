#!/usr/bin/env python3
"""vorlix-sim.exe as a player on Windows meets it, under Wine: every subcommand that takes a path
works in a folder whose name has accented and Chinese letters, a file it cannot open is named with
exit status 2, a failed demo leaves no folder behind, a game dropped onto the program or onto
"Check my game.cmd" is checked, and the network layer starts only for preview --watch.

    player_windows.py WINE_SH PREFIX BIN_DIR SOURCE_DIR
"""

import os
import shutil
import subprocess
import sys
import tempfile

wine_sh, prefix, bin_dir, source_dir = sys.argv[1:5]
# Wine reads the Linux command line in the locale's encoding.
os.environ["LC_ALL"] = "C.UTF-8"
failures = []


def windows(path):
    return "Z:" + path.replace("/", "\\")


def wine(*arguments, trace=None):
    environment = dict(os.environ)
    if trace:
        environment["VORLIX_WINEDEBUG"] = trace
    done = subprocess.run(
        ["sh", wine_sh, prefix, "run", *arguments],
        capture_output=True,
        env=environment,
        timeout=120,
    )
    return (
        done.returncode,
        done.stdout.decode("utf-8", "replace"),
        done.stderr.decode("utf-8", "replace"),
    )


def expect(what, condition, detail=""):
    if not condition:
        failures.append(f"{what}: {detail}")


def main():
    work = tempfile.mkdtemp(prefix="vorlix-player-")
    folder = os.path.join(work, "Jürgen 的 Bike Game")
    package = os.path.join(work, "Téléchargements 下载")
    os.makedirs(folder)
    os.makedirs(package)
    program = os.path.join(package, "vorlix-sim.exe")
    for name in ("vorlix-sim.exe", "Vorlix.dll"):
        shutil.copy(os.path.join(bin_dir, name), package)
    shutil.copy(os.path.join(source_dir, "release", "Check my game.cmd"), package)
    shutil.copy(os.path.join(bin_dir, "vorlix-sim.exe"), os.path.join(folder, "game.exe"))
    shutil.copy(os.path.join(bin_dir, "Vorlix.dll"), folder)
    shutil.copy(os.path.join(source_dir, "tests", "scenes", "small.json"), folder)
    shutil.copy(os.path.join(source_dir, "scenes", "models", "motorbike.glb"), folder)

    def at(name):
        return windows(os.path.join(folder, name))

    game = at("game.exe")
    # (what, arguments, exit status, text expected in the output or errors, files made)
    cases = [
        ("game", ["game", game], 1, game + ": ", []),
        ("game, a file dropped onto the program", [game], 1, game + ": ", []),
        (
            "game, a missing file",
            ["game", at("missing.exe")],
            2,
            at("missing.exe") + ": no such file",
            [],
        ),
        ("check", ["check", at("small.json"), at("motorbike.glb")], 0, "", []),
        ("check, a missing file", ["check", at("missing.json")], 2, at("missing.json"), []),
        (
            "run, with the library, the trace and the report in the folder",
            [
                "run",
                at("small.json"),
                "--library",
                at("Vorlix.dll"),
                "--trace",
                at("trace.jsonl"),
                "--report",
                at("report.html"),
            ],
            0,
            "",
            ["trace.jsonl", "report.html"],
        ),
        ("run, a missing scene", ["run", at("missing.json")], 2, at("missing.json"), []),
        (
            "report, of the trace that run wrote",
            ["report", at("trace.jsonl"), "--out", at("报告 é")],
            0,
            "",
            ["报告 é/report.html"],
        ),
        ("report, a missing trace", ["report", at("missing.jsonl")], 2, at("missing.jsonl"), []),
        ("demo", ["demo", "--out", at("démo-out")], 0, "", ["démo-out/trace.jsonl"]),
        (
            "preview",
            ["preview", at("motorbike.glb"), "--out", at("预览")],
            0,
            "",
            ["预览/preview.html"],
        ),
        (
            "preview, a missing model",
            ["preview", at("missing.glb"), "--out", at("预览")],
            2,
            at("missing.glb"),
            [],
        ),
    ]
    for what, arguments, status, said, made in cases:
        got, out, errors = wine(program, *arguments)
        expect(what, got == status, f"exit {got}, not {status}: {errors.strip()}")
        expect(what, said in out + errors, f"says {out + errors!r}, without {said!r}")
        for name in made:
            expect(what, os.path.isfile(os.path.join(folder, name)), f"no {name}")

    # A demo or a preview that fails once its folder is made takes the folder away again.
    for what, made, arguments in (
        (
            "failed demo",
            "démo-failed",
            ["demo", "--out", at("démo-failed"), "--library", at("small.json")],
        ),
        ("failed preview", "预览-failed", ["preview", at("missing.glb"), "--out", at("预览-failed")]),
    ):
        got, _, errors = wine(program, *arguments)
        expect(what, got == 2, f"exit {got}: {errors.strip()}")
        expect(what, not os.path.exists(os.path.join(folder, made)), "left its folder behind")

    # Dropped onto "Check my game.cmd", which runs the program beside it and waits for a key.
    got, out, errors = wine(windows(os.path.join(package, "Check my game.cmd")), game)
    expect("Check my game.cmd", got == 1, f"exit {got}: {errors.strip()}")
    expect("Check my game.cmd", game + ": " in out, f"says {out!r}")

    # Windows sockets start for preview --watch alone (here it stops at the missing model).
    for arguments, started in (
        ([at("missing.glb")], False),
        (["--version"], False),
        (["preview", "--watch", at("missing.glb")], True),
    ):
        _, _, errors = wine(program, *arguments, trace="trace+winsock")
        expect(
            f"network layer for {arguments}",
            ("WSAStartup" in errors) == started,
            "started" if not started else "not started",
        )

    shutil.rmtree(work)
    for failure in failures:
        print(failure)
    if not failures:
        print(
            f"every check passed under Wine, in folders named {os.path.basename(folder)!r} and "
            f"{os.path.basename(package)!r}"
        )
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
