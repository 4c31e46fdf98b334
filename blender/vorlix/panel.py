"""The sidebar panel "Vorlix" of the 3D view."""

import bpy

from . import preferences


class VORLIX_PT_panel(bpy.types.Panel):
    bl_label = "Vorlix"
    bl_idname = "VORLIX_PT_panel"
    bl_space_type = "VIEW_3D"
    bl_region_type = "UI"
    bl_category = "Vorlix"

    def draw(self, context):
        settings = context.scene.vorlix
        layout = self.layout
        layout.prop(settings, "vehicle")
        row = layout.row()
        row.prop(settings, "set_gears")
        gears = row.row()
        gears.enabled = settings.set_gears
        gears.prop(settings, "gears", text="")
        layout.prop(preferences.of(context), "tool_path")
        row = layout.row()
        row.operator("vorlix.play_ride", icon="PLAY")
        row.operator("vorlix.remove_ride", icon="X")
        if settings.state:
            layout.label(text=settings.state)
