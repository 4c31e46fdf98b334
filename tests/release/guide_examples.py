#!/usr/bin/env python3
"""Keeps the model authors' guide true: every example in it goes through `vorlix-sim check`, which
must say about each frame exactly what the guide says it says.

    guide_examples.py GUIDE.md VORLIX_SIM

An example is a fenced block with the info string `checker`. Each block is one model:

    bike/vx_fbrake_az-30
        front brake: max angle -30 degrees (from "_az-30")
    bike/dash/vx_om  (4 children)
        odometer: 4 digit wheels, counts miles (no "_kph")
        warning: odometer: 4 child frames but six digit wheels are needed, ...

A line at the left margin is a frame, as its path from the model's root; a note in brackets may
give it plain children ("6 children"), take away its own object ("no object": a group), say
which gears the ride sets ("gears up to 5"), or give it a scale ("scale 1.25 0.6 1"). The
indented lines below it are what the checker reports for that frame, with each warning's place
in the scene or model file left out; a frame without them must get no report at all. A line wholly
in brackets, "(bike/vx_chain/links_a: no object, 3 children)", is a frame the checker does not
list, with its note.

A scene cannot carry a node's scale, so an example with a scale is written as a glTF model (.gltf,
every node with an object sharing one triangle) and checked as a model file; the others as scenes.
"""

import base64
import json
import os
import re
import struct
import subprocess
import sys
import tempfile

FRAME = re.compile(r"^(\S+)(?:\s+\((.*)\))?$")
UNLISTED_FRAME = re.compile(r"^\((\S+): (.*)\)$")
PLACE = r"(?:vehicles|nodes)\["  # in a scene, in a model file
REPORTED_FRAME = re.compile(rf"^  (\S.*?)  \(({PLACE}.*)\)$")
WARNING = re.compile(rf"warning: (.*?) \(({PLACE}[^)]*)\): (.*)$")


class Example:
    def __init__(self, line):
        self.line = line  # in the guide, for messages
        self.order = []  # frame paths as listed
        self.expected = {}  # path -> lines
        self.children = {}  # path -> count of plain children
        self.groups = set()  # paths of frames without an object of their own
        self.scales = {}  # path -> [x, y, z]
        self.highest_gear = None


def read_examples(guide):
    examples, current, frame = [], None, None
    with open(guide, encoding="utf-8") as f:
        for number, text in enumerate(f, 1):
            text = text.rstrip("\n")
            if current is None:
                if text.strip() == "```checker":
                    current = Example(number)
                continue
            if text.strip() == "```":
                examples.append(current)
                current = None
                continue
            if not text.strip():
                continue
            if text[0].isspace():
                if frame is None:
                    sys.exit(f"{guide}:{number}: a report line before any frame")
                current.expected[frame].append(text.strip())
                continue
            match = UNLISTED_FRAME.match(text) or FRAME.match(text)
            if match is None:
                sys.exit(f"{guide}:{number}: not a frame path: {text}")
            frame = match.group(1)
            current.order.append(frame)
            current.expected[frame] = []
            note = match.group(2) or ""
            children = re.search(r"(\d+) child", note)
            current.children[frame] = int(children.group(1)) if children else 0
            if "no object" in note:
                current.groups.add(frame)
            gears = re.search(r"gears up to (\d+)", note)
            if gears:
                current.highest_gear = int(gears.group(1))
            scale = re.search(r"scale (\S+) (\S+) (\S+)", note)
            if scale:
                current.scales[frame] = [float(axis) for axis in scale.groups()]
    if current is not None:
        sys.exit(f"{guide}:{current.line}: example block not closed")
    return examples


def model_of(example):
    """The example's frame tree, as a scene's model: its root frame."""
    roots = {path.split("/")[0] for path in example.order}
    if len(roots) != 1:
        raise ValueError(f"one root frame per example, not {sorted(roots)}")
    root = {"name": roots.pop(), "objects": 1, "children": []}

    def frame_at(path):
        node = root
        for name in path.split("/")[1:]:
            found = [c for c in node["children"] if c["name"] == name]
            if not found:
                node["children"].append({"name": name, "objects": 1, "children": []})
                found = node["children"][-1:]
            node = found[-1]
        return node

    for path in example.order:
        node = frame_at(path)
        if path in example.groups:
            node["objects"] = 0
        if path in example.scales:
            node["scale"] = example.scales[path]
        for i in range(example.children[path]):
            node["children"].append({"name": f"part{i + 1}", "objects": 1, "children": []})
    return root


def scene_of(example):
    timeline = []
    if example.highest_gear is not None:
        timeline.append(
            {"tick": 0, "vehicle": "example", "set": {"currentGear": example.highest_gear}}
        )
    return {
        "format": 1,
        "host": {"version": 1001, "poolSize": 4},
        "ticks": 1,
        "vehicles": [
            {"name": "example", "class": 9, "modelIndex": 522, "model": model_of(example)}
        ],
        "timeline": timeline,
    }


def gltf_of(example):
    """The example as a glTF model: one node per frame, root first, its object a mesh."""
    nodes = []

    def add(frame):
        index, node = len(nodes), {"name": frame["name"]}
        nodes.append(node)
        if frame["objects"]:
            node["mesh"] = 0
        if "scale" in frame:
            node["scale"] = frame["scale"]
        if frame["children"]:
            node["children"] = [add(child) for child in frame["children"]]
        return index

    add(model_of(example))
    triangle = struct.pack("<9f", 0, 0, 0, 1, 0, 0, 0, 1, 0)
    data = "data:application/octet-stream;base64," + base64.b64encode(triangle).decode()
    return {
        "asset": {"version": "2.0"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": nodes,
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}],
        "accessors": [
            {
                "bufferView": 0,
                "componentType": 5126,
                "count": 3,
                "type": "VEC3",
                "min": [0, 0, 0],
                "max": [1, 1, 0],
            }
        ],
        "bufferViews": [{"buffer": 0, "byteLength": len(triangle)}],
        "buffers": [{"byteLength": len(triangle), "uri": data}],
    }


def reported(output):
    frames, current = {}, None
    for line in output.splitlines():
        match = REPORTED_FRAME.match(line)
        if match:
            current = match.group(1)
            frames[current] = []
        elif line.startswith("    ") and current is not None:
            detail = line.strip()
            warning = WARNING.match(detail)
            frames[current].append(f"warning: {warning.group(3)}" if warning else detail)
        elif not line.startswith("    "):
            current = None
    return frames


def check(example, program, work, guide):
    command = [program, "check"]
    if example.scales:
        path = os.path.join(work, f"example{example.line}.gltf")
        written = gltf_of(example)
        if example.highest_gear is not None:
            command += ["--gears", str(example.highest_gear)]
    else:
        path = os.path.join(work, f"example{example.line}.json")
        written = scene_of(example)
    with open(path, "w") as f:
        json.dump(written, f)
    run = subprocess.run(command + [path], capture_output=True, text=True, cwd=work)
    if run.returncode not in (0, 1):
        return [f"{guide}:{example.line}: the checker refused the example: {run.stderr.strip()}"]
    frames = reported(run.stdout)
    faults = []
    for path in example.order:
        said = frames.pop(path, [])
        if said != example.expected[path]:
            faults.append(
                f"{guide}:{example.line}: {path}: the guide says\n"
                + "".join(f"      {line}\n" for line in example.expected[path])
                + "    the checker says\n"
                + "".join(f"      {line}\n" for line in said)
            )
    for path, said in frames.items():
        faults.append(
            f"{guide}:{example.line}: {path}: the checker reports a frame the guide does not list"
        )
    return faults


def main():
    guide, program = sys.argv[1], os.path.abspath(sys.argv[2])
    examples = read_examples(guide)
    names = " ".join(path for example in examples for path in example.order)
    # Every component the program knows, from its own catalogue.
    catalogue = subprocess.run([program, "catalogue"], capture_output=True, text=True, check=True)
    keys = [component["key"] for component in json.loads(catalogue.stdout)["components"]]
    missing = [key for key in keys if key not in names]
    faults = [f"{guide}: no example of {key}" for key in missing]
    with tempfile.TemporaryDirectory() as work:
        for example in examples:
            faults += check(example, program, work, guide)
    for fault in faults:
        print(fault)
    if not faults:
        frames = sum(len(e.order) for e in examples)
        print(
            f"{guide}: {len(examples)} examples, {frames} frames, all as the checker reports them"
        )
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
