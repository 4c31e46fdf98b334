"""The add-on in headless Blender: installed from its zip (as an extension where Blender has them,
else as an add-on), played on vehicles built here, checked against the trace that vorlix-sim
writes for the same export, removed, and made to fail; its check panel against the check document
of the same export, and its names read back by the checker.

    blender -b --factory-startup --python-exit-code 1 --python addon_test.py -- ZIP VORLIX_SIM
"""

import importlib
import json
import math
import os
import re
import subprocess
import sys
import tempfile
import zipfile

import bpy
from mathutils import Matrix, Quaternion, Vector

ZIP, SIM = sys.argv[sys.argv.index("--") + 1 :][:2]
EXTENSIONS = bpy.app.version >= (4, 2, 0)
SLOTTED = bpy.app.version >= (4, 4, 0)
# Installed as an extension, the add-on is a module of the repository it went to.
MODULE = "bl_ext.user_default.vorlix" if EXTENSIONS else "vorlix"

# The z-up axes: frame X, Y, Z lie along the node's +X, -Z, +Y.
NODE_AXES = {"x": (1, 0, 0), "y": (0, 0, -1), "z": (0, 1, 0)}
# Blender's (x, y, z) in glTF's Y-up coordinates: (x, z, -y).
TO_GLTF = Matrix(((1, 0, 0, 0), (0, 0, 1, 0), (0, -1, 0, 0), (0, 0, 0, 1)))
RENDER_FLAG = 0x04
FPS, FRAME_START = 25, 1  # two ticks a frame: every even tick falls on a frame

failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


# --- scenes ----------------------------------------------------------------------------------


def clear():
    for collection in (bpy.data.objects, bpy.data.meshes, bpy.data.actions):
        for item in list(collection):
            collection.remove(item)
    scene = bpy.context.scene
    scene.render.fps, scene.render.fps_base = FPS, 1.0
    scene.frame_start, scene.frame_end, scene.frame_current = FRAME_START, 250, FRAME_START
    scene.vorlix.vehicle, scene.vorlix.set_gears, scene.vorlix.state = "motorbike", False, ""
    scene.vorlix.check_document, scene.vorlix.check_signature = "", ""
    scene.vorlix.checked.clear()


def add(name, parent=None, mesh=True, location=(0, 0, 0), rotation=(0, 0, 0), scale=(1, 1, 1)):
    data = None
    if mesh:
        data = bpy.data.meshes.new(name)
        data.from_pydata(
            [(0, 0, 0), (0.1, 0, 0), (0, 0.3, 0), (0, 0, 0.05)],
            [],
            [(0, 1, 2), (0, 1, 3), (0, 2, 3), (1, 2, 3)],
        )
    obj = bpy.data.objects.new(name, data)
    bpy.context.scene.collection.objects.link(obj)
    obj.location, obj.rotation_euler, obj.scale = location, rotation, scale
    if parent:
        obj.parent = parent
    return obj


def children(parent, prefix, count, mesh=True):
    for i in range(count):
        add(f"{prefix}{i}", parent, mesh, location=(0.02 * i, 0, 0))


def motorbike():
    """Every component, on a turned root; with the author's own animation, modes and flags."""
    bike = add("bike", rotation=(0, 0, 0.4))
    bars = add("handlebar", bike, location=(0, 0.8, 0.9), rotation=(0.2, 0, 0))
    add("vx_fbrake_az-30", bars, location=(0.3, 0, 0), rotation=(0, 0.3, 1.2))
    clutch = add("vx_cl_az25", bars, location=(-0.3, 0, 0))
    clutch.rotation_mode = "XZY"
    clutch.rotation_euler = (0.1, 0.5, -0.2)
    add("vx_rbrake_ax25", bike, location=(0.2, 0.1, 0.3))
    lever = add("vx_gl_o12", bike, location=(-0.2, 0.1, 0.3))
    lever.rotation_mode = "AXIS_ANGLE"
    lever.rotation_axis_angle = (0.7, 0, 0.6, 0.8)
    children(add("vx_chain", bike, mesh=False), "links", 4)
    children(add("vx_gm", bars), "gear", 7)
    bars["vorlix_note"] = "the author's own property"
    children(add("vx_om_kph", bars), "digit", 6)
    # Made before the needle whose action it plays, so that Remove ride meets it first.
    rpm = add("vx_rpm_m80_270", bars, location=(-0.1, 0.1, 0.1))
    rpm.hide_render = True
    needle = add("vx_sm_m220_r270", bars, location=(0.1, 0.1, 0.1))
    bpy.data.objects["gear3"].hide_render = True
    for i in range(1, 6):  # hidden with the eye icon, as an author hides displays
        bpy.data.objects[f"gear{i}"].hide_set(True)
    needle.keyframe_insert("rotation_euler", frame=1)
    needle.rotation_euler = (0, 0, 1)
    needle.keyframe_insert("rotation_euler", frame=100)
    needle.animation_data.action.use_fake_user = False
    if SLOTTED:  # a slot named otherwise than its object: Remove ride must give back this one
        needle.animation_data.action_slot.name_display = "needle"
    rpm.animation_data_create()
    rpm.animation_data.action = needle.animation_data.action  # one action for two needles
    bike.keyframe_insert("location", frame=1)
    bike.animation_data.action.use_fake_user = False


def mistakes_and_groups():
    """Two roots, link sets and displays that are groups, names the library does not read."""
    frame = add("frame")
    add("vx_cl", frame)
    add("VX_fbrake_az-30", frame)
    chain = add("vx_chain", frame)
    for i in range(4):
        children(add(f"set{i}", chain, mesh=False), f"set{i}link", 2)
    children(add("vx_gm", frame, mesh=False), "display", 3, mesh=False)
    add("vx_rbrake_ax-20", location=(1, 0, 0), rotation=(0.5, 0.5, 0))


def axes():
    """Levers about each axis at several orientations, under a turned parent scaled unevenly, and
    under a turned and scaled one that they were parented to keeping their place; a needle parented
    so to an unevenly scaled housing, which its turns shear in the game."""
    arm = add("arm", rotation=(0.3, -0.7, 1.1), scale=(1, 1.5, 1))
    for i, name in enumerate(["vx_fbrake_az-30", "vx_rbrake_ax40", "vx_sm_m100_r200"]):
        add(name, arm, location=(i, 0, 0), rotation=(0.4 * i, 1.0 - i, 0.3))
    hinge = add("hinge", location=(0, 0, 1), rotation=(-0.4, 0.9, 0.2), scale=(1.3, 1.3, 1.3))
    lever = add("vx_cl_az-45", rotation=(1.2, 0.1, -0.5), location=(0, 2, 0))
    bpy.context.view_layer.update()  # the hinge's matrix_world is its new place only after this
    lever.parent = hinge
    lever.matrix_parent_inverse = hinge.matrix_world.inverted()
    add("vx_gl_o-20", lever, location=(0, 0.3, 0), rotation=(0, 0, math.pi))
    housing = add("housing", location=(1, 1, 0), rotation=(0, 0, 0.3), scale=(1.25, 0.6, 1))
    needle = add("vx_rpm_m80_270", location=(1.2, 1, 0.1), rotation=(0.1, 0.2, 0.7))
    bpy.context.view_layer.update()
    needle.parent = housing
    needle.matrix_parent_inverse = housing.matrix_world.inverted()


# --- what the tool says ----------------------------------------------------------------------


def glb_document(path):
    with open(path, "rb") as f:
        data = f.read()
    length = int.from_bytes(data[12:16], "little")
    return json.loads(data[20 : 20 + length])


def node_matrix(node):
    if "matrix" in node:
        return Matrix([node["matrix"][c::4] for c in range(4)])
    x, y, z, w = node.get("rotation", (0, 0, 0, 1))
    return Matrix.LocRotScale(
        Vector(node.get("translation", (0, 0, 0))),
        Quaternion((w, x, y, z)),
        Vector(node.get("scale", (1, 1, 1))),
    )


def expected_worlds(document, turns):
    """Every node's world matrix, in Blender's coordinates, with the turns made so far."""
    nodes, worlds = document["nodes"], {}

    def visit(index, parent):
        node = nodes[index]
        matrix = node_matrix(node)
        if node["name"] in turns:
            loc, rot, scale = matrix.decompose()
            matrix = Matrix.LocRotScale(loc, rot @ turns[node["name"]], scale)
        world = parent @ matrix
        worlds[node["name"]] = TO_GLTF.inverted() @ world @ TO_GLTF
        for child in node.get("children", []):
            visit(child, world)

    for root in document["scenes"][document.get("scene", 0)]["nodes"]:
        visit(root, Matrix.Identity(4))
    return worlds


def tool_ride():
    """The add-on's export of the current scene and the trace of its ride, run here."""
    export = importlib.import_module(MODULE + ".export")
    folder = tempfile.mkdtemp()
    glb = export.export_vehicle(bpy.context, folder, "vx_")
    trace = os.path.join(folder, "ride.jsonl")
    subprocess.run(
        [SIM, "preview", glb, "--out", folder, "--trace", trace],
        check=True,
        capture_output=True,
        cwd=folder,  # where the library writes its log
    )
    with open(trace) as f:
        lines = [json.loads(line) for line in f]
    return glb_document(glb), lines


# --- checks ----------------------------------------------------------------------------------


def slots(data):
    """The slot an object plays and the one it would look for next, where actions have slots."""
    if not SLOTTED or data is None:
        return None
    return data.action_slot.identifier if data.action_slot else None, data.last_slot_identifier


def snapshot():
    """What Remove ride must give back, object by object."""

    def of(obj):
        data = obj.animation_data
        return (
            obj.rotation_mode,
            tuple(obj.rotation_quaternion),
            tuple(obj.rotation_euler),
            tuple(obj.rotation_axis_angle),
            tuple(map(tuple, obj.matrix_basis)),
            tuple(map(tuple, obj.matrix_world)),
            obj.hide_viewport,
            obj.hide_render,
            obj.hide_get(),
            tuple(map(tuple, obj.matrix_parent_inverse)),
            data is not None,
            data.action.name if data and data.action else None,
            slots(data),
            sorted(obj.keys()),
        )

    scene = bpy.context.scene
    return (
        {o.name: of(o) for o in scene.objects},
        sorted((a.name, a.use_fake_user) for a in bpy.data.actions),
        scene.frame_end,
        scene.render.fps,
    )


def check_ride_against_trace(case, document, lines, flags):
    frames = next(line for line in lines if line["type"] == "create")["frames"]
    renders = [line for line in lines if line["type"] == "render"]
    objects = {o.name for o in bpy.context.scene.objects}
    turns, drawn = {}, {}
    samples = set(range(0, len(renders), 96)) | {len(renders) - 1}
    turned = {}
    for render in renders:  # a moment in every still spell of a part between two turns
        for frame, _, _ in render["rotations"]:
            if render["tick"] - turned.get(frame, render["tick"]) > 2:
                samples.add(turned[frame] + 2 - turned[frame] % 2)
            turned[frame] = render["tick"]
    # Half a render before a big turn (an odometer's carry): the pose must be the one before it.
    samples |= {
        r["tick"] - 1 for r in renders if any(abs(float(a)) > 90 for _, _, a in r["rotations"])
    }
    for render in renders:
        tick = render["tick"]
        for frame, axis, angle in render["rotations"]:
            name = frames[frame]
            turns[name] = turns.get(name, Quaternion()) @ Quaternion(
                NODE_AXES[axis], math.radians(angle)
            )
        for frame, index, flag in render["flags"]:
            if index == 0:
                drawn[frames[frame]] = bool(flag & RENDER_FLAG)
                samples.add(tick + tick % 2)  # the first moment that shows the change
        if tick not in samples:
            continue
        # Half way to the next render: the game shows this render's pose until then.
        bpy.context.scene.frame_set(FRAME_START + tick // 2, subframe=(tick % 2 + 0.5) / 2)
        worlds = expected_worlds(document, turns)
        for name in objects & worlds.keys():
            if bpy.data.objects[name].hide_viewport:
                continue  # Blender does not place an object that is not in the viewport
            got = bpy.data.objects[name].matrix_world
            off = max(abs(got[r][c] - worlds[name][r][c]) for r in range(4) for c in range(4))
            expect(
                off < 1e-4, f"{case}: tick {tick}: {name} is {off:.6f} off its place in the game"
            )
        for name, shown in drawn.items():
            obj = bpy.data.objects[name]
            expect(
                (obj.hide_viewport, obj.hide_render, obj.hide_get())
                == (not shown, not shown, False),
                f"{case}: tick {tick}: {name} should be {'shown' if shown else 'hidden'}",
            )
    expect(
        turns and bool(drawn) == flags,
        f"{case}: the ride turned {len(turns)} and flagged {len(drawn)} frames",
    )


def play_and_remove(case, build, flags):
    clear()
    build()
    bpy.context.scene.frame_set(FRAME_START)
    before = snapshot()
    document, lines = tool_ride()
    expect(bpy.ops.vorlix.play_ride() == {"FINISHED"}, f"{case}: Play ride did not finish")
    check_ride_against_trace(case, document, lines, flags)
    expect(
        bpy.context.scene.frame_end >= FRAME_START + lines[-3]["tick"] // 2,
        f"{case}: the timeline ends before the ride",
    )
    bpy.context.scene.frame_set(FRAME_START + 37)
    expect(bpy.ops.vorlix.play_ride() == {"FINISHED"}, f"{case}: a second Play ride did not finish")
    check_ride_against_trace(case + ", played at a later frame", document, lines, flags)
    expect(bpy.ops.vorlix.remove_ride() == {"FINISHED"}, f"{case}: Remove ride did not finish")
    bpy.context.scene.frame_set(FRAME_START)
    after = snapshot()
    for name in before[0].keys() | after[0].keys():
        expect(
            before[0].get(name) == after[0].get(name),
            f"{case}: {name} after Remove ride: {after[0].get(name)}, before: {before[0].get(name)}",
        )
    expect(
        before[1:] == after[1:],
        f"{case}: actions or timeline after Remove ride: {after[1:]}, before: {before[1:]}",
    )


def fails(case, build, message, arrange, undo):
    clear()
    build()
    bpy.context.scene.frame_set(FRAME_START)
    before = snapshot()
    arrange()
    try:
        result = bpy.ops.vorlix.play_ride()
    except RuntimeError as error:  # the operator's error report, raised to a script
        result = {"CANCELLED"}
        expect(message in str(error), f"{case}: reported {error!r}, expected {message!r}")
    finally:
        undo()
    state = bpy.context.scene.vorlix.state
    expect(result == {"CANCELLED"}, f"{case}: Play ride gave {result}")
    expect(state.startswith("Play ride failed: ") and message in state, f"{case}: state {state!r}")
    expect(snapshot() == before, f"{case}: the scene changed: {snapshot()}, before: {before}")


# --- the check panel and the name builder ----------------------------------------------------


class Layout:
    """Stands in for a panel's layout: keeps the text of its labels."""

    def __init__(self):
        self.text = []

    def label(self, text="", icon="NONE"):
        self.text.append(text)

    def box(self):
        return self


def shown_for(obj):
    """What the active object panel shows for OBJ, as one line."""
    panel = importlib.import_module(MODULE + ".panel")
    bpy.context.view_layer.objects.active = obj
    layout = Layout()
    panel.VORLIX_PT_active_object.draw(type("Panel", (), {"layout": layout})(), bpy.context)
    return " ".join(layout.text)


def own_check():
    """check --format json of the add-on's export of the current scene, run here."""
    export = importlib.import_module(MODULE + ".export")
    glb = export.write_glb(tempfile.mkdtemp())
    return json.loads(
        subprocess.run(
            [SIM, "check", "--format", "json", glb], capture_output=True, text=True
        ).stdout
    )


def panel_shows_check(case, build, warned):
    """The list and the active object's panel say what check --format json says of the same
    export, frame by frame; WARNED pins some objects' warning counts."""
    clear()
    build()
    bpy.context.scene.frame_set(FRAME_START)
    before = snapshot()
    expect(bpy.ops.vorlix.check() == {"FINISHED"}, f"{case}: Check did not finish")
    expect(snapshot() == before, f"{case}: Check changed the scene")
    settings = bpy.context.scene.vorlix
    listed = {item.name: item.warnings for item in settings.checked}
    document = own_check()
    for model in document["files"][0]["models"]:
        for frame in model["frames"]:
            messages = [w["message"] for w in model["warnings"] if w["path"] == frame["path"]]
            expect(
                listed.pop(frame["name"], None) == len(messages),
                f"{case}: {frame['name']} is not listed with its {len(messages)} warnings",
            )
            shown = shown_for(bpy.data.objects[frame["name"]])
            for component in frame["components"]:
                expect(
                    component["title"] in shown,
                    f"{case}: {frame['name']}: no {component['title']} in {shown!r}",
                )
                for p in component["parameters"]:
                    source = (
                        f"from \"{p['marker']}{p['text']}\"" if p["source"] == "name" else "default"
                    )
                    expect(
                        f"{p['label']}: {p['value']}" in shown and source in shown,
                        f"{case}: {frame['name']}: {p['label']} not shown as {p['value']}, {source}: {shown!r}",
                    )
                for line in component.get("slotLines") or []:
                    expect(line in shown, f"{case}: {frame['name']}: no {line!r} in {shown!r}")
            for message in messages:
                expect(
                    message in shown,
                    f"{case}: {frame['name']}: warning {message!r} not in {shown!r}",
                )
    expect(not listed, f"{case}: listed but not in the document: {listed}")
    for name, count in warned.items():
        expect(
            any(i.name == name and i.warnings == count for i in settings.checked),
            f"{case}: {name} should be listed with {count} warnings",
        )


def exporter_order():
    """A gear meter whose neutral display sorts last by name, as the export writes it."""
    meter = add("vx_gm", add("dash"))
    for name in ["gear_N"] + [f"gear_{i}" for i in range(1, 7)]:
        add(name, meter)


def clicking_selects_and_renames_recheck():
    check = importlib.import_module(MODULE + ".check")
    clear()
    motorbike()
    bpy.ops.vorlix.check()
    settings = bpy.context.scene.vorlix
    settings.checked_index = [i.name for i in settings.checked].index("vx_gl_o12")
    lever = bpy.data.objects["vx_gl_o12"]
    expect(
        bpy.context.view_layer.objects.active == lever and lever.select_get(),
        "clicking a listed object does not select it and make it active",
    )
    expect(not check.check_if_renamed(bpy.context), "checked again with no name changed")
    bpy.data.objects["vx_cl_az25"].name = "vx_cl_az40"
    looks = [check.check_if_renamed(bpy.context) for _ in range(3)]
    expect(
        looks == [False, True, False],
        f"a rename is checked at the looks {looks}, not once, at the second",
    )
    expect(
        "clutch lever" in shown_for(bpy.data.objects["vx_cl_az40"]),
        "the renamed lever is not shown as checked",
    )


def non_default(parameter):
    low, high = parameter["range"]
    value = parameter["default"] - 7 if parameter["sign"] else parameter["default"] + 7
    return value if low <= value <= high else parameter["default"] + 7


def built_names_read_back():
    """Every component of the catalogue named with the author's word and parameters that are not
    the defaults: the checker reads each name back as built."""
    check = importlib.import_module(MODULE + ".check")
    clear()
    catalogue = json.loads(
        subprocess.run([SIM, "catalogue"], capture_output=True, text=True).stdout
    )
    settings = bpy.context.scene.vorlix
    bike, built = add("bike"), {}
    for i, component in enumerate(catalogue["components"]):
        bpy.context.view_layer.objects.active = add(f"part{i}", bike)
        expect(
            bpy.ops.vorlix.pick_component(key=component["key"]) == {"FINISHED"},
            f"{component['key']} not picked",
        )
        settings.name_word, settings.name_switch_on = "left", True
        entered = {p["marker"]: non_default(p) for p in component["parameters"]}
        for item in settings.name_parameters:
            item.value = entered[item.marker]
        expect(bpy.ops.vorlix.build_name() == {"FINISHED"}, f"{component['key']}: no name built")
        built[bpy.context.active_object.name] = (component, entered)
    bpy.ops.vorlix.check()
    frames = check.checked_frames(settings)
    for name, (component, entered) in built.items():
        read = frames.get(name, {}).get("components", [])
        expect(
            [c["key"] for c in read] == [component["key"]] and "_left" in name,
            f"{name} is read as {[c['key'] for c in read]}, built as {component['key']} with a word",
        )
        got = {p["marker"]: (p["value"], p["source"]) for c in read for p in c["parameters"]}
        expect(
            got == {m: (v, "name") for m, v in entered.items()},
            f"{name} is read as {got}, built with {entered}",
        )
        if component.get("kilometres"):
            expect(
                component["kilometres"] in (read[0]["detail"] or ""),
                f"{name} does not count kilometres",
            )
    bpy.context.view_layer.objects.active = bpy.data.objects["bike"]
    # Values that check would warn of are refused with the range that it accepts.
    for key, values, message in [
        ("vx_gl", {"_o": -12}, "gear lever: stroke -12 is out of range (1 to 360)"),
        ("vx_sm", {"m": 0, "r": 270}, "speedometer: max speed 0 is out of range (1 to 1000)"),
        ("vx_rpm", {"_m": 80, "_": 0}, "rev counter: max angle 0 is out of range (1 to 360)"),
        ("vx_fbrake", {"_az": 99999}, "max angle 99999 is out of range (-360 to 360, not 0)"),
        ("vx_fbrake", {"_az": 0}, "front brake: max angle 0 is out of range (-360 to 360, not 0)"),
    ]:
        bpy.ops.vorlix.pick_component(key=key)
        for item in settings.name_parameters:
            item.value = values[item.marker]
        try:
            bpy.ops.vorlix.build_name()
            failures.append(f"{key} {values} was accepted")
        except RuntimeError as error:
            expect(message in str(error), f"{key} {values}: {error}")
        expect(bpy.context.active_object.name == "bike", f"{key} {values} named the object")
    expect(
        not re.search(r"\d{10}", " ".join(p.limits for p in settings.name_parameters)),
        f"limits not as a person writes them: {[p.limits for p in settings.name_parameters]}",
    )
    taken = next(iter(built))
    bpy.ops.vorlix.pick_component(key=built[taken][0]["key"])
    settings.name_word = "left"
    for item in settings.name_parameters:
        item.value = built[taken][1][item.marker]
    try:
        bpy.ops.vorlix.build_name()
        failures.append(f"the name {taken} was given a second time")
    except RuntimeError as error:
        expect("already named" in str(error), f"a taken name: {error}")
    expect(
        bpy.context.active_object.name == "bike" and taken in bpy.data.objects,
        "a taken name changed a name",
    )


def own_rate():
    """At 25 frames a second the chain's direction cannot be seen, and Play ride says so; at the
    ride's own rate it can, and Remove ride gives the scene its rate back."""
    clear()
    motorbike()
    settings = bpy.context.scene.vorlix
    bpy.ops.vorlix.play_ride()
    expect("backwards" in settings.state, f"no word of the chain at {FPS} fps: {settings.state!r}")
    settings.own_rate = True
    bpy.ops.vorlix.play_ride()
    settings.own_rate = False
    render = bpy.context.scene.render
    expect(
        (render.fps, "backwards" in settings.state) == (50, False),
        f"at the ride's rate: {render.fps} fps, {settings.state!r}",
    )
    before = snapshot()
    settings.set_gears, settings.gears = True, 99  # refused: the ride at its own rate stays on
    try:
        bpy.ops.vorlix.play_ride()
    except RuntimeError:
        pass
    settings.set_gears = False
    expect(snapshot() == before, "a failed Play ride changed a ride at its own rate")
    bpy.ops.vorlix.remove_ride()
    expect(render.fps == FPS, f"Remove ride left {render.fps} fps")


def excluded_collection():
    """Blender's exporter writes the objects of an excluded collection, so the game gets them:
    the ride is played on them too, and removed."""
    clear()
    motorbike()
    aside = bpy.data.collections.new("aside")
    bpy.context.scene.collection.children.link(aside)
    for name in ("vx_rbrake_ax25", "gear2"):
        aside.objects.link(bpy.data.objects[name])
        bpy.context.scene.collection.objects.unlink(bpy.data.objects[name])
    bpy.context.view_layer.layer_collection.children["aside"].exclude = True
    bpy.context.view_layer.update()
    before = snapshot()
    expect(bpy.ops.vorlix.play_ride() == {"FINISHED"}, "no ride with an excluded collection")
    ridden = {a.name for a in bpy.data.actions if a.name.startswith("Vorlix ride: ")}
    expect(
        {"Vorlix ride: vx_rbrake_ax25", "Vorlix ride: gear2"} <= ridden,
        f"the excluded objects have no ride: {sorted(ridden)}",
    )
    bpy.ops.vorlix.remove_ride()
    expect(snapshot() == before, "Remove ride did not restore the excluded objects")
    bpy.data.collections.remove(aside)


def check_refused():
    """vorlix-sim exits 2 on check: one report, the last check's result and the scene kept."""
    clear()
    mistakes_and_groups()
    bpy.context.scene.frame_set(FRAME_START)
    bpy.ops.vorlix.check()
    settings = bpy.context.scene.vorlix
    before = snapshot(), settings.check_document, [i.name for i in settings.checked]
    fake = os.path.join(tempfile.mkdtemp(), "vorlix-sim")
    with open(fake, "w") as f:
        f.write("#!/bin/sh\necho 'vorlix-sim: model.glb: not a glTF file' >&2\nexit 2\n")
    os.chmod(fake, 0o755)
    preferences = bpy.context.preferences.addons[MODULE].preferences
    preferences.tool_path = fake
    try:
        bpy.ops.vorlix.check()
        failures.append("Check finished with a tool that exits 2")
    except RuntimeError as error:
        expect("not a glTF file" in str(error), f"Check reported {error!r}")
    finally:
        preferences.tool_path = SIM
    expect(
        settings.state == "Check failed: vorlix-sim: model.glb: not a glTF file",
        f"state {settings.state!r}",
    )
    expect(
        (snapshot(), settings.check_document, [i.name for i in settings.checked]) == before,
        "a refused check changed the scene or the last result",
    )


def install():
    if EXTENSIONS:
        # Installing checks less than Blender's own validation, which the zip must pass to be shared.
        validated = subprocess.run(
            [bpy.app.binary_path, "--command", "extension", "validate", ZIP],
            capture_output=True,
            text=True,
        )
        errors = [
            line for line in (validated.stdout + validated.stderr).splitlines() if "ERROR" in line
        ]
        expect(validated.returncode == 0, f"the zip is no valid extension: {errors}")
        bpy.ops.extensions.package_install_files(
            filepath=ZIP, repo="user_default", enable_on_install=True
        )
    else:
        bpy.ops.preferences.addon_install(filepath=ZIP)
        bpy.ops.preferences.addon_enable(module=MODULE)
    bpy.ops.preferences.addon_disable(module=MODULE)  # unregisters everything it registered
    bpy.ops.preferences.addon_enable(module=MODULE)
    with zipfile.ZipFile(ZIP) as z:
        manifest = z.read("vorlix/blender_manifest.toml").decode()
    version = re.search(r'^version = "(.*)"$', manifest, re.M).group(1)
    own = importlib.import_module(MODULE).bl_info["version"]
    expect(
        version == ".".join(map(str, own)),
        f"the manifest's version {version} is not bl_info's {own}",
    )


def main():
    print("Blender", bpy.app.version_string)
    if os.path.exists("Vorlix.log"):  # left by an earlier run
        os.remove("Vorlix.log")
    install()
    preferences = bpy.context.preferences.addons[MODULE].preferences
    preferences.tool_path = SIM

    # Groups have no object of their own for the library to hide or show.
    for case, build, flags in [
        ("motorbike", motorbike, True),
        ("mistakes and groups", mistakes_and_groups, False),
        ("axes", axes, False),
    ]:
        play_and_remove(case, build, flags)

    def setting(obj, name, value):
        old = getattr(obj, name)
        return (lambda: setattr(obj, name, value)), (lambda: setattr(obj, name, old))

    log = os.path.join(os.getcwd(), "Vorlix.log")
    expect(not os.path.exists(log), f"the add-on's rides left {log}")
    path = os.environ["PATH"]
    settings = bpy.context.scene.vorlix
    no_path = (lambda: (setattr(preferences, "tool_path", ""), os.environ.update(PATH=""))), (
        lambda: (setattr(preferences, "tool_path", SIM), os.environ.update(PATH=path))
    )
    no_exporter = (lambda: bpy.ops.preferences.addon_disable(module="io_scene_gltf2")), (
        lambda: bpy.ops.preferences.addon_enable(module="io_scene_gltf2")
    )
    gears = (lambda: (setattr(settings, "set_gears", True), setattr(settings, "gears", 99))), (
        lambda: setattr(settings, "set_gears", False)
    )
    nothing = lambda: None  # noqa: E731
    silent = os.path.join(tempfile.mkdtemp(), "vorlix-sim")
    with open(silent, "w") as f:  # reads the catalogue, and exits 0 on anything else
        f.write(f'#!/bin/sh\n[ "$1" = catalogue ] && exec {SIM} "$@"\nexit 0\n')
    os.chmod(silent, 0o755)

    def riding():
        motorbike()
        bpy.ops.vorlix.play_ride()

    for case, build, message, (arrange, undo) in [
        (
            "no vorlix-sim at the set place",
            motorbike,
            "vorlix-sim not found at /nowhere",
            setting(preferences, "tool_path", "/nowhere/vorlix-sim"),
        ),
        (
            "no vorlix-sim anywhere",
            motorbike,
            "vorlix-sim not found beside the add-on or on PATH",
            no_path,
        ),
        ("the export fails", motorbike, "the glTF export failed", no_exporter),
        ("the tool refuses", motorbike, "--gears: Value 99 not in range 0 to 20", gears),
        ("a ride on, the tool refuses", riding, "--gears: Value 99", gears),
        (
            "the tool writes no ride",
            motorbike,
            "vorlix-sim finished but wrote no ride",
            setting(preferences, "tool_path", silent),
        ),
        (
            "no vx_ objects",
            lambda: add("cube"),
            'no object\'s name begins with "vx_"',
            (nothing, nothing),
        ),
    ]:
        fails(case, build, message, arrange, undo)

    for case, build, warned in [
        ("motorbike", motorbike, {"vx_fbrake_az-30": 0, "vx_chain": 0}),
        (
            "mistakes and groups",
            mistakes_and_groups,
            {"VX_fbrake_az-30": 1, "vx_chain": 4, "vx_gm": 1},
        ),
        ("exporter order", exporter_order, {"vx_gm": 1}),
    ]:
        panel_shows_check(case, build, warned)
    shown = shown_for(bpy.data.objects["vx_gm"])
    expect("gear 0 (neutral) → gear_1 gear 1 → gear_2" in shown, f"exporter order: {shown!r}")
    clicking_selects_and_renames_recheck()
    built_names_read_back()
    own_rate()
    excluded_collection()
    check_refused()

    print(f"{len(failures)} failures" if failures else "all add-on checks passed")
    if failures:
        sys.exit(1)


main()
