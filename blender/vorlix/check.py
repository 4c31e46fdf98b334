"""Checking the vehicle's frame names with `vorlix-sim check`, and keeping what it said for the
panel: the components, parameters and warnings of each frame, by the name of its object (the
export keeps the names)."""

import json
import tempfile
import zlib

import bpy

from . import export, preferences, tool
from .settings import vehicle_options

# How often the names are compared with the checked ones, in seconds: a rename is checked once
# the names have stood still for one such look.
LOOK_EVERY = 0.5


def run_check(context):
    """The check document of the scene's vehicle as exported now; raises ToolError."""
    program = tool.find(preferences.of(context).tool_path)
    with tempfile.TemporaryDirectory(prefix="vorlix-") as folder:
        glb = export.write_glb(folder)
        arguments = ["check", "--format", "json", *vehicle_options(context.scene.vorlix), glb]
        output = tool.run(program, arguments, succeeded=(0, 1))  # 1: there are warnings
    try:
        return json.loads(output)
    except ValueError as error:
        raise tool.ToolError("vorlix-sim check wrote no document that can be read") from error


def frames_by_name(document):
    """{frame name: {"components": [...], "warnings": [message, ...]}} for every frame the
    document lists."""
    frames = {}
    for file in document.get("files", []):
        for model in file.get("models") or []:
            for frame in model.get("frames", []):
                frames[frame["name"]] = {
                    "components": frame.get("components", []),
                    "warnings": [
                        w["message"]
                        for w in model.get("warnings", [])
                        if w.get("path") == frame["path"]
                    ],
                }
    return frames


_read = ("", {})


def checked_frames(settings):
    """frames_by_name of the last check, read once for all the panel's redraws."""
    global _read
    if _read[0] != settings.check_document:
        document = settings.check_document
        _read = (document, frames_by_name(json.loads(document)) if document else {})
    return _read[1]


def name_signature(scene):
    """A cheap summary of what a check depends on: the objects' names and parents, and the
    vehicle."""
    settings = scene.vorlix
    text = "\n".join(
        f"{o.name}\t{o.parent.name if o.parent else ''}" for o in export.vehicle_objects(scene)
    )
    text += f"\n{settings.vehicle} {settings.set_gears} {settings.gears}"
    return f"{zlib.crc32(text.encode()):08x}"


def check_scene(context):
    """Checks the scene and keeps the result; returns an error message, or None. A check that
    fails leaves the last result as it was."""
    scene = context.scene
    settings = scene.vorlix
    signature = name_signature(scene)
    try:
        document = run_check(context)
    except tool.ToolError as error:
        settings.check_signature = signature  # not tried again until something changes
        settings.state = f"Check failed: {error}"
        return str(error)
    settings.check_document = json.dumps(document)
    settings.check_signature = signature
    settings.checked.clear()
    for name, frame in checked_frames(settings).items():
        item = settings.checked.add()
        item.name = name
        item.warnings = len(frame["warnings"])
    totals = document.get("totals", {})
    settings.state = (
        f"Checked: {totals.get('componentFrames', 0)} component frames, "
        f"{totals.get('warnings', 0)} warnings"
    )
    return None


_waiting = {}  # scene name: the changed signature seen at the last look


def check_if_renamed(context):
    """Checks the scene again once its names changed and then stood still for a look; only a
    scene that was checked before. Returns whether it checked."""
    scene = context.scene
    if not scene.vorlix.check_document or context.mode != "OBJECT":
        return False  # the exporter would leave edit modes; the change waits till the author does
    signature = name_signature(scene)
    if signature == scene.vorlix.check_signature:
        _waiting.pop(scene.name, None)
        return False
    if _waiting.get(scene.name) != signature:
        _waiting[scene.name] = signature
        return False
    del _waiting[scene.name]
    check_scene(context)
    return True


def look_for_renames():
    context = bpy.context
    windows = context.window_manager.windows if context.window_manager else []
    if windows:
        with context.temp_override(window=windows[0]):
            check_if_renamed(bpy.context)
    elif context.scene:
        check_if_renamed(context)
    return LOOK_EVERY


def start_looking():
    bpy.app.timers.register(look_for_renames, first_interval=LOOK_EVERY, persistent=True)


def stop_looking():
    if bpy.app.timers.is_registered(look_for_renames):
        bpy.app.timers.unregister(look_for_renames)
