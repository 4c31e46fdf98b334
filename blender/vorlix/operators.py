"""The panel's buttons: Play ride and Remove ride."""

import os
import tempfile

import bpy

from . import export, names, preferences, ride, tool, trace
from .settings import vehicle_options


def ride_arguments(settings, glb, trace_path, out_dir):
    return ["preview", glb, *vehicle_options(settings), "--out", out_dir, "--trace", trace_path]


def run_ride(context, program, catalogue):
    """The ride of the scene's vehicle as exported now, and the export's number of roots."""
    settings = context.scene.vorlix
    with tempfile.TemporaryDirectory(prefix="vorlix-") as folder:
        glb = export.export_vehicle(context, folder, catalogue["prefix"])
        trace_path = os.path.join(folder, "ride.jsonl")
        tool.run(program, ride_arguments(settings, glb, trace_path, folder))
        try:
            with open(trace_path, encoding="utf-8") as f:
                text = f.read()
        except OSError as error:
            raise tool.ToolError("vorlix-sim finished but wrote no ride") from error
        try:
            played = trace.read_ride(text, catalogue["renderFlag"])
        except (ValueError, KeyError, TypeError, IndexError) as error:
            raise tool.ToolError(f"vorlix-sim wrote a ride that cannot be read: {error}") from error
        return played, export.root_count(glb)


class VORLIX_OT_play_ride(bpy.types.Operator):
    """Run the vehicle's ride with the real library and key it on these objects"""

    bl_idname = "vorlix.play_ride"
    bl_label = "Play ride"
    bl_options = {"REGISTER", "UNDO"}

    def execute(self, context):
        scene = context.scene
        settings = scene.vorlix
        current = scene.frame_current
        try:
            program = preferences.program(context)
            catalogue = names.catalogue(program)
        except tool.ToolError as error:
            return self.failed(settings, error)
        # The export must see the objects as modelled, and the rest pose must not depend on the
        # frame that happens to be current: both are taken at the scene's start.
        lifted = ride.Lifted(scene)
        scene.frame_set(scene.frame_start)
        try:
            played, roots = run_ride(context, program, catalogue)
        except tool.ToolError as error:
            lifted.put_back()
            scene.frame_set(current)
            return self.failed(settings, error)
        lifted.drop()
        tps = catalogue["ticksPerSecond"]
        moved = ride.put_ride(scene, played, roots, tps, settings.own_rate)
        scene.frame_set(current)
        seconds = played.last_tick / tps
        settings.state = f"Ride of {seconds:.1f} s ({settings.vehicle}) on {moved} objects"
        link_set_keys = [c["key"] for c in catalogue["components"] if c["children"] == "link-sets"]
        if ride.chain_hidden_by_rate(scene, played, roots, link_set_keys, tps):
            settings.state += (
                f": at fewer than {tps} frames a second the chain may seem to run backwards;"
                ' tick "At the ride\'s rate"'
            )
            self.report({"WARNING"}, settings.state)
        else:
            self.report({"INFO"}, settings.state)
        return {"FINISHED"}

    def failed(self, settings, error):
        settings.state = f"Play ride failed: {error}"
        self.report({"ERROR"}, str(error))
        return {"CANCELLED"}


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
