#!/usr/bin/env python3
"""Makes a preview's data for the browser tests: a model ridden through the demo's motorbike ride
by vorlix-sim, with its trace, its frames mapped to the model's nodes, the z-up axes and each
turned frame's angle per render.

python3 make_preview_data.py VORLIX_SIM MODEL.glb OUT.json
"""
import base64
import json
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
import make_default_scene  # noqa: E402  (the demo's ride)

Z_UP = {"name": "z-up", "description": "frame X,Y,Z = node +X, -Z, +Y (model made in a Z-up tool, exported Y-up)",
        "x": [1, 0, 0], "y": [0, 0, -1], "z": [0, 1, 0]}


def read_glb(data):
    length, kind = struct.unpack_from("<I4s", data, 12)
    assert data[:4] == b"glTF" and kind == b"JSON"
    return json.loads(data[20:20 + length])


def model_tree(gltf, title):
    """The scene's frames: its single root node, or a root frame made for several."""
    def frame(index):
        node = gltf["nodes"][index]
        return {"name": node.get("name", ""), "node": index, "objects": int("mesh" in node),
                "children": [frame(child) for child in node.get("children", [])]}
    roots = [frame(index) for index in gltf["scenes"][gltf.get("scene", 0)]["nodes"]]
    return roots[0] if len(roots) == 1 else {"name": title, "node": -1, "objects": 0, "children": roots}


def preorder(tree):
    yield tree
    for child in tree["children"]:
        yield from preorder(child)


def scene_model(tree):
    return {"name": tree["name"], "objects": tree["objects"], "children": [scene_model(c) for c in tree["children"]]}


def main(sim, model_path, out_path):
    glb = Path(model_path).read_bytes()
    tree = model_tree(read_glb(glb), Path(model_path).name)
    frames = [{"name": f["name"], "node": f["node"], "objects": f["objects"]} for f in preorder(tree)]
    scene = {"format": 1, "ticks": make_default_scene.TICKS,
             "vehicles": [{"name": "motorbike", "class": 9, "modelIndex": 522, "model": scene_model(tree)}],
             "timeline": [{"tick": 0, "set": {"timeStep": 1.0, "timeCounter": 0}}]
                         + [entry for _, entry in make_default_scene.motorbike()]}
    with tempfile.TemporaryDirectory() as folder:
        scene_path = Path(folder) / "scene.json"
        scene_path.write_text(json.dumps(scene))
        run = subprocess.run([sim, "run", str(scene_path)], capture_output=True, text=True, check=True)
    trace = [json.loads(line) for line in run.stdout.splitlines()]

    turned, values = {}, []
    for line in trace:
        if line["type"] == "render":
            for frame, _, angle in line["rotations"]:
                turned[frame] = turned.get(frame, 0.0) + angle
            values.append(dict(turned))
    components = [{"title": "turn", "key": frames[frame]["name"], "frame": frame, "unit": "degrees",
                   "values": [v.get(frame, 0.0) for v in values]} for frame in sorted(turned)]

    data = {"format": 1, "title": Path(model_path).name, "vehicle": "motorbike", "axes": Z_UP,
            "model": {"glb": base64.b64encode(glb).decode()}, "frames": frames, "trace": trace,
            "vehicleName": "motorbike", "components": components, "plotsHtml": ""}
    Path(out_path).write_text(json.dumps(data, ensure_ascii=False), encoding="utf-8")


if __name__ == "__main__":
    main(*sys.argv[1:])
