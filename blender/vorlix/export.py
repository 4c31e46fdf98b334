"""Writing the vehicle as a .glb with Blender's own glTF exporter, as an author exports it."""

import json
import os
import re
import struct

import bpy

from .tool import ToolError

# Cameras, lights and the like are no part of a vehicle's model.
NOT_VEHICLE = {"CAMERA", "LIGHT", "LIGHT_PROBE", "SPEAKER"}


def vehicle_objects(scene):
    """The objects that make the vehicle: every object of the scene but cameras and lights."""
    return [o for o in scene.objects if o.type not in NOT_VEHICLE]


def model_name(blend_path):
    """The exported file's name, after the .blend; the tool names the vehicle and a shared root
    after it."""
    stem = os.path.splitext(os.path.basename(blend_path))[0] if blend_path else ""
    return re.sub(r"[^A-Za-z0-9_-]", "_", stem) or "vehicle"


def export_vehicle(context, folder, prefix):
    """Exports the scene's vehicle to FOLDER/<name>.glb and returns the path.

    Raises ToolError when no object's name begins with PREFIX, the catalogue's prefix of the
    names that Vorlix moves, or when the exporter fails."""
    objects = vehicle_objects(context.scene)
    if not any(o.name.startswith(prefix) for o in objects):
        raise ToolError(f'no object\'s name begins with "{prefix}": nothing would move')
    return write_glb(folder)


def write_glb(folder):
    """Exports the scene's vehicle as it stands, Vorlix frames or not; raises ToolError when the
    exporter fails."""
    path = os.path.join(folder, model_name(bpy.data.filepath) + ".glb")
    try:
        result = bpy.ops.export_scene.gltf(
            filepath=path,
            export_format="GLB",
            export_yup=True,
            use_selection=False,
            export_cameras=False,
            export_lights=False,
            export_animations=False,
            export_materials="NONE",
        )
    except (AttributeError, RuntimeError, TypeError) as error:
        # An exporter that breaks raises its whole traceback: its last line says what went wrong.
        lines = str(error).strip().splitlines() or ["no reason given"]
        raise ToolError(f"the glTF export failed: {lines[-1]}") from error
    if result != {"FINISHED"} or not os.path.isfile(path):
        raise ToolError("the glTF export failed")
    return path


def root_count(glb_path):
    """How many root nodes the .glb's scene has: with several, the tool adds a root frame."""
    with open(glb_path, "rb") as f:
        data = f.read()
    (length,) = struct.unpack_from("<I", data, 12)
    document = json.loads(data[20 : 20 + length])
    scene = document.get("scenes", [{}])[document.get("scene", 0)]
    return len(scene.get("nodes", []))
