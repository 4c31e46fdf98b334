"""The add-on in headless Blender: installed from its zip, played on vehicles built here, checked
against the trace that vorlix-sim writes for the same export, removed, and made to fail.

    blender -b --factory-startup --python-exit-code 1 --python addon_test.py -- ZIP VORLIX_SIM
"""

import json
import math
import os
import subprocess
import sys
import tempfile

import bpy
from mathutils import Matrix, Quaternion, Vector

ZIP, SIM = sys.argv[sys.argv.index("--") + 1:][:2]

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


def add(name, parent=None, mesh=True, location=(0, 0, 0), rotation=(0, 0, 0), scale=(1, 1, 1)):
    data = None
    if mesh:
        data = bpy.data.meshes.new(name)
        data.from_pydata([(0, 0, 0), (0.1, 0, 0), (0, 0.3, 0), (0, 0, 0.05)], [],
                         [(0, 1, 2), (0, 1, 3), (0, 2, 3), (1, 2, 3)])
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
    needle = add("vx_sm_m220_r270", bars, location=(0.1, 0.1, 0.1))
    add("vx_rpm_m80_270", bars, location=(-0.1, 0.1, 0.1)).hide_render = True
    bpy.data.objects["gear3"].hide_render = True
    needle.keyframe_insert("rotation_euler", frame=1)
    needle.rotation_euler = (0, 0, 1)
    needle.keyframe_insert("rotation_euler", frame=100)
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
    """Levers about each axis at several orientations, under a turned and scaled parent that
    was parented keeping its child's place."""
    arm = add("arm", rotation=(0.3, -0.7, 1.1), scale=(1, 1.5, 1))
    for i, name in enumerate(["vx_fbrake_az-30", "vx_rbrake_ax40", "vx_sm_m100_r200"]):
        add(name, arm, location=(i, 0, 0), rotation=(0.4 * i, 1.0 - i, 0.3))
    lever = add("vx_cl_az-45", rotation=(1.2, 0.1, -0.5), location=(0, 2, 0))
    lever.parent = arm
    lever.matrix_parent_inverse = arm.matrix_world.inverted()
    add("vx_gl_o-20", lever, location=(0, 0.3, 0), rotation=(0, 0, math.pi))


# --- what the tool says ----------------------------------------------------------------------

def glb_document(path):
    with open(path, "rb") as f:
        data = f.read()
    length = int.from_bytes(data[12:16], "little")
    return json.loads(data[20:20 + length])


def node_matrix(node):
    if "matrix" in node:
        return Matrix([node["matrix"][c::4] for c in range(4)])
    x, y, z, w = node.get("rotation", (0, 0, 0, 1))
    return Matrix.LocRotScale(Vector(node.get("translation", (0, 0, 0))), Quaternion((w, x, y, z)),
                              Vector(node.get("scale", (1, 1, 1))))


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
    from vorlix import export
    folder = tempfile.mkdtemp()
    glb = export.export_vehicle(bpy.context, folder)
    trace = os.path.join(folder, "ride.jsonl")
    subprocess.run([SIM, "preview", glb, "--out", folder, "--trace", trace], check=True,
                   capture_output=True)
    with open(trace) as f:
        lines = [json.loads(line) for line in f]
    return glb_document(glb), lines


# --- checks ----------------------------------------------------------------------------------

def snapshot():
    """What Remove ride must give back, object by object."""
    def of(obj):
        data = obj.animation_data
        return (obj.rotation_mode, tuple(obj.rotation_quaternion), tuple(obj.rotation_euler),
                tuple(obj.rotation_axis_angle), tuple(map(tuple, obj.matrix_basis)),
                tuple(map(tuple, obj.matrix_world)), obj.hide_viewport, obj.hide_render,
                data is not None, data.action.name if data and data.action else None,
                sorted(obj.keys()))
    scene = bpy.context.scene
    return ({o.name: of(o) for o in scene.objects},
            sorted((a.name, a.use_fake_user) for a in bpy.data.actions), scene.frame_end)


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
    for render in renders:
        tick = render["tick"]
        for frame, axis, angle in render["rotations"]:
            name = frames[frame]
            turns[name] = turns.get(name, Quaternion()) @ Quaternion(NODE_AXES[axis], math.radians(angle))
        for frame, index, flag in render["flags"]:
            if index == 0:
                drawn[frames[frame]] = bool(flag & RENDER_FLAG)
                samples.add(tick + tick % 2)  # the first moment that shows the change
        if tick % 2 or tick not in samples:
            continue
        bpy.context.scene.frame_set(FRAME_START + tick // 2)
        worlds = expected_worlds(document, turns)
        for name in objects & worlds.keys():
            if bpy.data.objects[name].hide_viewport:
                continue  # Blender does not place an object that is not in the viewport
            got = bpy.data.objects[name].matrix_world
            off = max(abs(got[r][c] - worlds[name][r][c]) for r in range(4) for c in range(4))
            expect(off < 1e-4, f"{case}: tick {tick}: {name} is {off:.6f} off its place in the game")
        for name, shown in drawn.items():
            obj = bpy.data.objects[name]
            expect((obj.hide_viewport, obj.hide_render) == (not shown, not shown),
                   f"{case}: tick {tick}: {name} should be {'shown' if shown else 'hidden'}")
    expect(turns and bool(drawn) == flags, f"{case}: the ride turned {len(turns)} and flagged {len(drawn)} frames")


def play_and_remove(case, build, flags):
    clear()
    build()
    bpy.context.scene.frame_set(FRAME_START)
    before = snapshot()
    document, lines = tool_ride()
    expect(bpy.ops.vorlix.play_ride() == {"FINISHED"}, f"{case}: Play ride did not finish")
    check_ride_against_trace(case, document, lines, flags)
    expect(bpy.context.scene.frame_end >= FRAME_START + lines[-3]["tick"] // 2,
           f"{case}: the timeline ends before the ride")
    bpy.context.scene.frame_set(FRAME_START + 37)
    expect(bpy.ops.vorlix.play_ride() == {"FINISHED"}, f"{case}: a second Play ride did not finish")
    expect(bpy.ops.vorlix.remove_ride() == {"FINISHED"}, f"{case}: Remove ride did not finish")
    bpy.context.scene.frame_set(FRAME_START)
    after = snapshot()
    for name in before[0].keys() | after[0].keys():
        expect(before[0].get(name) == after[0].get(name),
               f"{case}: {name} after Remove ride: {after[0].get(name)}, before: {before[0].get(name)}")
    expect(before[1:] == after[1:], f"{case}: actions or timeline after Remove ride: {after[1:]}, before: {before[1:]}")


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


def main():
    bpy.ops.preferences.addon_install(filepath=ZIP)
    bpy.ops.preferences.addon_enable(module="vorlix")
    bpy.ops.preferences.addon_disable(module="vorlix")  # unregisters everything it registered
    bpy.ops.preferences.addon_enable(module="vorlix")
    preferences = bpy.context.preferences.addons["vorlix"].preferences
    preferences.tool_path = SIM

    # Groups have no object of their own for the library to hide or show.
    for case, build, flags in [("motorbike", motorbike, True),
                               ("mistakes and groups", mistakes_and_groups, False),
                               ("axes", axes, False)]:
        play_and_remove(case, build, flags)

    def setting(obj, name, value):
        old = getattr(obj, name)
        return (lambda: setattr(obj, name, value)), (lambda: setattr(obj, name, old))

    path = os.environ["PATH"]
    settings = bpy.context.scene.vorlix
    no_path = (lambda: (setattr(preferences, "tool_path", ""), os.environ.update(PATH=""))), \
              (lambda: (setattr(preferences, "tool_path", SIM), os.environ.update(PATH=path)))
    no_exporter = (lambda: bpy.ops.preferences.addon_disable(module="io_scene_gltf2")), \
                  (lambda: bpy.ops.preferences.addon_enable(module="io_scene_gltf2"))
    gears = (lambda: (setattr(settings, "set_gears", True), setattr(settings, "gears", 99))), \
            (lambda: setattr(settings, "set_gears", False))
    nothing = lambda: None  # noqa: E731
    for case, build, message, (arrange, undo) in [
        ("no vorlix-sim at the set place", motorbike, "vorlix-sim not found at /nowhere",
         setting(preferences, "tool_path", "/nowhere/vorlix-sim")),
        ("no vorlix-sim anywhere", motorbike, "vorlix-sim not found beside the add-on or on PATH", no_path),
        ("the export fails", motorbike, "the glTF export failed", no_exporter),
        ("the tool refuses", motorbike, "--gears: Value 99 not in range 0 to 20", gears),
        ("no vx_ objects", lambda: add("cube"), "no object's name begins with \"vx_\"", (nothing, nothing)),
    ]:
        fails(case, build, message, arrange, undo)

    print(f"{len(failures)} failures" if failures else "all add-on checks passed")
    if failures:
        sys.exit(1)


main()
