"""The panel's buttons: Play ride and Remove ride."""

import os
import tempfile

import bpy

from . import export, names, preferences, ride, tool, trace
from .settings import vehicle_options


def ride_arguments(settings, glb, trace_path, out_dir):
    return ["preview", glb, *vehicle_options(settings), "--out", out_dir, "--trace", trace_path]


class VORLIX_OT_play_ride(bpy.types.Operator):
    """Run the vehicle's ride with the real library and key it on these objects"""

    bl_idname = "vorlix.play_ride"
    bl_label = "Play ride"
    bl_options = {"REGISTER", "UNDO"}

    def execute(self, context):
        scene = context.scene
        settings = scene.vorlix
        try:
            program = preferences.program(context)
            catalogue = names.catalogue(program)
            ride.remove_ride(scene)  # the export must see the objects as modelled
            with tempfile.TemporaryDirectory(prefix="vorlix-") as folder:
                glb = export.export_vehicle(context, folder, catalogue["prefix"])
                trace_path = os.path.join(folder, "ride.jsonl")
                tool.run(program, ride_arguments(settings, glb, trace_path, folder))
                with open(trace_path, encoding="utf-8") as f:
                    played = trace.read_ride(f.read(), catalogue["renderFlag"])
                roots = export.root_count(glb)
        except tool.ToolError as error:
            settings.state = f"Play ride failed: {error}"
            self.report({"ERROR"}, str(error))
            return {"CANCELLED"}
        moved = ride.put_ride(scene, played, roots, catalogue["ticksPerSecond"])
        seconds = played.last_tick / catalogue["ticksPerSecond"]
        settings.state = f"Ride of {seconds:.1f} s ({settings.vehicle}) on {moved} objects"
        self.report({"INFO"}, settings.state)
        return {"FINISHED"}


class VORLIX_OT_remove_ride(bpy.types.Operator):
    """Take the ride off and put the objects back as they were"""

    bl_idname = "vorlix.remove_ride"
    bl_label = "Remove ride"
    bl_options = {"REGISTER", "UNDO"}

    @classmethod
    def poll(cls, context):
        return ride.has_ride(context.scene)

    def execute(self, context):
        ride.remove_ride(context.scene)
        context.scene.vorlix.state = "Ride removed"
        return {"FINISHED"}
