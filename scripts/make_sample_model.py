#!/usr/bin/env python3
"""Writes scenes/models/motorbike.glb, the sample model for `vorlix-sim check` and `preview`.

A small motorbike of boxes and cylinders whose animated parts are named as a model author names
them: front and rear brake, clutch lever, gear lever, a chain of four link sets, a gear meter with
one display per gear (neutral first), an odometer with six digit wheels (leftmost first), and
speedometer and rev-counter needles. Every part carries a mesh.

The bike is modelled Z-up, facing +Y with +X to its right, as in a Z-up authoring tool, and written
Y-up as that tool's exporter writes it with its usual settings: every position, direction and node
rotation is carried over by (x, y, z) -> (x, z, -y). A node's own axes thus turn with it, so a lever
modelled to turn about the tool's Z axis turns about the node's +Y axis in the file.

Standard library only. The output is byte for byte the same on every run; rerun it from the
repository's root after changing the model: python3 scripts/make_sample_model.py
"""
import json
import math
import struct
from pathlib import Path

OUT = Path(__file__).resolve().parent.parent / "scenes" / "models" / "motorbike.glb"

MATERIALS = {
    "paint": ([0.72, 0.08, 0.07, 1.0], 0.2, 0.45),
    "metal": ([0.62, 0.64, 0.68, 1.0], 0.8, 0.35),
    "dark": ([0.12, 0.12, 0.13, 1.0], 0.3, 0.6),
    "rubber": ([0.04, 0.04, 0.04, 1.0], 0.0, 0.9),
    "seat": ([0.16, 0.1, 0.07, 1.0], 0.0, 0.8),
    "dial": ([0.93, 0.93, 0.9, 1.0], 0.0, 0.5),
    "needle": ([1.0, 0.42, 0.0, 1.0], 0.0, 0.5),
    "neutral": ([0.1, 0.85, 0.3, 1.0], 0.0, 0.5),
    "gear": ([1.0, 0.75, 0.1, 1.0], 0.0, 0.5),
    "lever": ([0.78, 0.8, 0.84, 1.0], 0.9, 0.25),
}


# --- geometry, in the authoring tool's Z-up coordinates --------------------------------------


def rotation(axis, degrees):
    """3x3 matrix (rows) turning by `degrees` about the unit axis "x", "y" or "z"."""
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return {
        "x": ((1, 0, 0), (0, c, -s), (0, s, c)),
        "y": ((c, 0, s), (0, 1, 0), (-s, 0, c)),
        "z": ((c, -s, 0), (s, c, 0), (0, 0, 1)),
    }[axis]


IDENTITY = ((1, 0, 0), (0, 1, 0), (0, 0, 1))


def apply(m, v):
    return tuple(m[r][0] * v[0] + m[r][1] * v[1] + m[r][2] * v[2] for r in range(3))


def place(vertices, centre, turn):
    """Turns (position, normal) pairs about the origin, then moves them to `centre`."""
    return [
        (tuple(a + b for a, b in zip(apply(turn, p), centre)), apply(turn, n)) for p, n in vertices
    ]


def box(size, centre=(0, 0, 0), turn=IDENTITY):
    hx, hy, hz = (d / 2 for d in size)
    vertices, triangles = [], []
    for axis in range(3):
        for sign in (1, -1):
            normal = [0, 0, 0]
            normal[axis] = sign
            u, v = [(axis + 1) % 3, (axis + 2) % 3][::sign]
            base = len(vertices)
            for du, dv in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
                p = [0.0, 0.0, 0.0]
                p[axis] = sign * (hx, hy, hz)[axis]
                p[u] = du * (hx, hy, hz)[u]
                p[v] = dv * (hx, hy, hz)[v]
                vertices.append((tuple(p), tuple(normal)))
            triangles += [(base, base + 1, base + 2), (base, base + 2, base + 3)]
    return place(vertices, centre, turn), triangles


def cylinder(radius, length, axis, centre=(0, 0, 0), segments=24):
    """A closed cylinder along "x", "y" or "z"."""
    vertices, triangles = [], []
    ring = [
        (math.cos(2 * math.pi * i / segments), math.sin(2 * math.pi * i / segments))
        for i in range(segments)
    ]
    for c, s in ring:  # the side: two vertices per step, normals outward
        for h in (-length / 2, length / 2):
            vertices.append(((c * radius, s * radius, h), (c, s, 0)))
    for i in range(segments):
        a, b = 2 * i, 2 * ((i + 1) % segments)
        triangles += [(a, b, b + 1), (a, b + 1, a + 1)]
    for h, sign in ((-length / 2, -1), (length / 2, 1)):  # the two caps, fanned from their centres
        centre_index = len(vertices)
        vertices.append(((0, 0, h), (0, 0, sign)))
        for c, s in ring:
            vertices.append(((c * radius, s * radius, h), (0, 0, sign)))
        for i in range(segments):
            a, b = centre_index + 1 + i, centre_index + 1 + (i + 1) % segments
            triangles.append((centre_index, a, b) if sign > 0 else (centre_index, b, a))
    # The ring is built around Z; lay it along the asked axis by a proper rotation.
    turn = {"z": IDENTITY, "x": rotation("y", 90), "y": rotation("x", -90)}[axis]
    return place(vertices, centre, turn), triangles


def merge(*parts):
    vertices, triangles = [], []
    for part_vertices, part_triangles in parts:
        base = len(vertices)
        vertices += part_vertices
        triangles += [tuple(base + i for i in t) for t in part_triangles]
    return vertices, triangles


# --- the motorbike ------------------------------------------------------------------------------


def node(name, mesh=None, material=None, at=(0, 0, 0), turn=None, children=()):
    """A node of the tool's scene: a translation, an optional turn (axis, degrees), a mesh."""
    return {
        "name": name,
        "mesh": mesh,
        "material": material,
        "at": at,
        "turn": turn,
        "children": list(children),
    }


def wheel(name, at):
    return node(name, merge(cylinder(0.32, 0.12, "x"), cylinder(0.09, 0.16, "x")), "rubber", at)


def chain_links(name, set_index):
    """One link set of the flip-book: links on the top and bottom runs between the sprockets,
    shifted by a quarter pitch per set, so that showing the sets in turn runs the chain."""
    pitch, parts = 0.1, []
    for i in range(7):
        top = -0.3 + i * pitch - set_index * pitch / 4
        bottom = -0.3 + i * pitch + set_index * pitch / 4
        parts.append(box((0.02, 0.05, 0.015), (0, top, 0.085)))
        parts.append(box((0.02, 0.05, 0.015), (0, bottom, -0.065)))
    return node(name, merge(*parts), "dark")


def needle(name, rest_degrees):
    """A needle lying in the dial's plane, pointing at its rest mark; it turns about its own Y."""
    turn = rotation("y", rest_degrees)
    return node(
        name,
        merge(
            box((0.05, 0.004, 0.006), apply(turn, (0.022, 0, 0)), turn), cylinder(0.006, 0.006, "y")
        ),
        "needle",
        (0, -0.006, 0),
    )


def dial(name, at, needle_name):
    return node(
        name,
        merge(cylinder(0.055, 0.006, "y"), box((0.004, 0.002, 0.012), (0, -0.004, 0.045))),
        "dial",
        at,
        children=[needle(needle_name, 135)],
    )


def gear_display(name, gear):
    """Neutral is one wide green block; gear g is g amber bars."""
    if gear == 0:
        return node(name, box((0.05, 0.004, 0.02)), "neutral", (0, -0.006, 0))
    bars = [box((0.006, 0.004, 0.02), (-0.03 + 0.0125 * i, 0, 0)) for i in range(gear)]
    return node(name, merge(*bars), "gear", (0, -0.006, 0))


def digit_wheel(name, x):
    """A drum turning about X; the tab shows how far it has turned."""
    return node(
        name,
        merge(cylinder(0.008, 0.012, "x"), box((0.008, 0.004, 0.004), (0, -0.009, 0))),
        "dial",
        (x, -0.006, 0),
    )


def motorbike():
    dashboard = node(
        "dashboard",
        box((0.36, 0.04, 0.17)),
        "dark",
        (0, 0.06, 0.12),
        ("x", -20),
        [
            dial("speedometer", (-0.1, -0.024, 0.015), "vx_sm_m200_r270_needle"),
            dial("rev_counter", (0.1, -0.024, 0.015), "vx_rpm_m100_270_needle"),
            node(
                "vx_gm_display",
                box((0.07, 0.004, 0.03)),
                "dark",
                (0, -0.022, 0.045),
                children=[gear_display("gear_n", 0)]
                + [gear_display(f"gear_{g}", g) for g in range(1, 7)],
            ),
            node(
                "vx_om_kph_counter",
                box((0.1, 0.004, 0.024)),
                "dark",
                (0, -0.022, -0.045),
                children=[digit_wheel(f"odo_digit_{i + 1}", -0.0375 + 0.015 * i) for i in range(6)],
            ),
        ],
    )
    handlebar = node(
        "handlebar",
        merge(
            box((0.76, 0.03, 0.03)),
            cylinder(0.02, 0.12, "x", (-0.3, 0, 0)),
            cylinder(0.02, 0.12, "x", (0.3, 0, 0)),
        ),
        "metal",
        (0, 0.68, 0.98),
        children=[
            # The levers droop towards their tips, so they turn about their own, tilted Z axes. Pulled
            # towards the grip, the right lever turns negatively about Z, the left one positively.
            node(
                "vx_fbrake_az-30_lever",
                box((0.15, 0.012, 0.018), (0.075, 0, 0)),
                "lever",
                (0.2, 0.05, 0),
                ("y", 12),
            ),
            node(
                "vx_cl_az30_lever",
                box((0.15, 0.012, 0.018), (-0.075, 0, 0)),
                "lever",
                (-0.2, 0.05, 0),
                ("y", -12),
            ),
            dashboard,
        ],
    )
    spine = merge(
        box((0.12, 1.0, 0.1), (0, 0, 0.62)),
        box((0.1, 0.1, 0.5), (0, 0.45, 0.6), rotation("x", -30)),
    )
    body = node(
        "frame",
        spine,
        "paint",
        children=[
            node("fuel_tank", box((0.3, 0.45, 0.2)), "paint", (0, 0.22, 0.8)),
            node("seat", box((0.28, 0.55, 0.07)), "seat", (0, -0.32, 0.8)),
            node(
                "engine",
                merge(box((0.3, 0.36, 0.28)), cylinder(0.07, 0.34, "x", (0, 0.1, 0.2))),
                "metal",
                (0, 0.05, 0.4),
            ),
            node(
                "vx_chain",
                merge(
                    cylinder(0.07, 0.02, "x", (0, 0.35, 0)),
                    cylinder(0.12, 0.02, "x", (0, -0.35, 0)),
                ),
                "metal",
                (0.16, -0.35, 0.32),
                children=[chain_links(f"chain_links_{c}", i) for i, c in enumerate("abcd")],
            ),
            node("footpegs", box((0.6, 0.03, 0.03)), "metal", (0, -0.1, 0.3)),
            # A pedal pressed down turns its forward tip negatively about X; the gear lever strokes both ways.
            node(
                "vx_rbrake_ax-25_pedal",
                merge(
                    box((0.03, 0.2, 0.025), (0, 0.1, 0)), box((0.06, 0.05, 0.025), (0.02, 0.19, 0))
                ),
                "lever",
                (0.22, -0.05, 0.3),
            ),
            node(
                "vx_gl_o12_shifter",
                merge(
                    box((0.03, 0.18, 0.025), (0, 0.09, 0)),
                    cylinder(0.012, 0.06, "x", (-0.03, 0.17, 0)),
                ),
                "lever",
                (-0.22, -0.05, 0.3),
            ),
            node(
                "swingarm",
                box((0.06, 0.6, 0.06), (0.1, -0.35, 0)),
                "metal",
                (0, 0, 0.32),
                children=[wheel("wheel_rear", (0, -0.7, 0))],
            ),
            node(
                "fork",
                merge(
                    box((0.04, 0.04, 0.62), (0.09, 0, 0.31)),
                    box((0.04, 0.04, 0.62), (-0.09, 0, 0.31)),
                ),
                "metal",
                (0, 0.72, 0.32),
                children=[wheel("wheel_front", (0, 0, 0))],
            ),
            handlebar,
        ],
    )
    return node("motorbike", children=[body])


# --- glTF 2.0 binary, written Y-up ----------------------------------------------------------------


def y_up(v):
    return (v[0], v[2], -v[1])


def rounded(values):
    # Rounding keeps the file identical whatever the last bits of the platform's sin and cos.
    return [round(v, 6) + 0.0 for v in values]


class Writer:
    def __init__(self):
        self.binary = bytearray()
        self.gltf = {
            "asset": {"version": "2.0", "generator": "scripts/make_sample_model.py"},
            "scene": 0,
            "scenes": [{"name": "motorbike", "nodes": []}],
            "nodes": [],
            "meshes": [],
            "materials": [],
            "accessors": [],
            "bufferViews": [],
            "buffers": [],
        }
        self.material_index = {}
        for name, (colour, metallic, roughness) in MATERIALS.items():
            self.material_index[name] = len(self.gltf["materials"])
            self.gltf["materials"].append(
                {
                    "name": name,
                    "pbrMetallicRoughness": {
                        "baseColorFactor": colour,
                        "metallicFactor": metallic,
                        "roughnessFactor": roughness,
                    },
                }
            )

    def view(self, data, target):
        while len(self.binary) % 4:
            self.binary.append(0)
        self.gltf["bufferViews"].append(
            {"buffer": 0, "byteOffset": len(self.binary), "byteLength": len(data), "target": target}
        )
        self.binary += data
        return len(self.gltf["bufferViews"]) - 1

    def accessor(self, view, component_type, count, kind, extra=None):
        entry = {"bufferView": view, "componentType": component_type, "count": count, "type": kind}
        entry.update(extra or {})
        self.gltf["accessors"].append(entry)
        return len(self.gltf["accessors"]) - 1

    def mesh(self, name, geometry, material):
        vertices, triangles = geometry
        positions = [rounded(y_up(p)) for p, _ in vertices]
        normals = [rounded(y_up(n)) for _, n in vertices]

        def floats(rows):
            return b"".join(struct.pack("<3f", *row) for row in rows)

        position_view = self.view(floats(positions), 34962)
        normal_view = self.view(floats(normals), 34962)
        index_view = self.view(b"".join(struct.pack("<3H", *t) for t in triangles), 34963)
        bounds = {
            "min": [min(p[i] for p in positions) for i in range(3)],
            "max": [max(p[i] for p in positions) for i in range(3)],
        }
        attributes = {
            "POSITION": self.accessor(position_view, 5126, len(positions), "VEC3", bounds),
            "NORMAL": self.accessor(normal_view, 5126, len(normals), "VEC3"),
        }
        indices = self.accessor(index_view, 5123, 3 * len(triangles), "SCALAR")
        self.gltf["meshes"].append(
            {
                "name": name,
                "primitives": [
                    {
                        "attributes": attributes,
                        "indices": indices,
                        "material": self.material_index[material],
                    }
                ],
            }
        )
        return len(self.gltf["meshes"]) - 1

    def node(self, tree):
        """Adds `tree` depth first, parents before their children; returns its index."""
        index = len(self.gltf["nodes"])
        entry = {"name": tree["name"]}
        self.gltf["nodes"].append(entry)
        if any(tree["at"]):
            entry["translation"] = rounded(y_up(tree["at"]))
        if tree["turn"]:
            axis, degrees = tree["turn"]
            half = math.radians(degrees) / 2
            direction = y_up({"x": (1, 0, 0), "y": (0, 1, 0), "z": (0, 0, 1)}[axis])
            entry["rotation"] = rounded([d * math.sin(half) for d in direction] + [math.cos(half)])
        if tree["mesh"]:
            entry["mesh"] = self.mesh(tree["name"], tree["mesh"], tree["material"])
        if tree["children"]:
            entry["children"] = [self.node(child) for child in tree["children"]]
        return index

    def glb(self):
        while len(self.binary) % 4:
            self.binary.append(0)
        self.gltf["buffers"].append({"byteLength": len(self.binary)})
        text = json.dumps(self.gltf, separators=(",", ":"), ensure_ascii=False).encode()
        text += b" " * (-len(text) % 4)
        chunks = (
            struct.pack("<I4s", len(text), b"JSON")
            + text
            + struct.pack("<I4s", len(self.binary), b"BIN\0")
            + self.binary
        )
        return struct.pack("<4sII", b"glTF", 2, 12 + len(chunks)) + chunks


def main():
    writer = Writer()
    writer.gltf["scenes"][0]["nodes"].append(writer.node(motorbike()))
    OUT.parent.mkdir(parents=True, exist_ok=True)
    OUT.write_bytes(writer.glb())
    print(f"{OUT}: {len(writer.gltf['nodes'])} nodes, {OUT.stat().st_size} bytes")


if __name__ == "__main__":
    main()
