"""Vorlix for Blender: checks a vehicle's frame names and plays its Vorlix ride on the author's
own objects.

The sidebar panel "Vorlix" in the 3D view exports the scene's vehicle with Blender's glTF exporter.
Check runs `vorlix-sim check` on it and shows each object as Vorlix reads it, again after each
rename; the name builder names objects from the program's component catalogue. Play ride runs it
through `vorlix-sim preview` with the real library and keys the ride's frame rotations and shown or
hidden parts on the timeline; Remove ride puts the scene back as it was.
"""

bl_info = {
    "name": "Vorlix",
    "author": "The Vorlix developers",
    "version": (1, 0, 0),
    "blender": (3, 4, 0),
    "location": "View3D > Sidebar > Vorlix",
    "description": "Checks the frame names of a vehicle model and plays its Vorlix ride on its own objects",
    "category": "Animation",
}

import bpy

from . import check, check_operators, operators, panel, preferences, settings

classes = (
    preferences.VorlixPreferences,
    settings.VorlixCheckedObject,
    settings.VorlixNameParameter,
    settings.VorlixSettings,
    operators.VORLIX_OT_play_ride,
    operators.VORLIX_OT_remove_ride,
    check_operators.VORLIX_OT_check,
    check_operators.VORLIX_OT_pick_component,
    check_operators.VORLIX_OT_build_name,
    check_operators.VORLIX_MT_components,
    panel.VORLIX_PT_panel,
    panel.VORLIX_PT_active_object,
    panel.VORLIX_UL_checked,
    panel.VORLIX_PT_checked_objects,
    panel.VORLIX_PT_name_builder,
)


def register():
    for cls in classes:
        bpy.utils.register_class(cls)
    bpy.types.Scene.vorlix = bpy.props.PointerProperty(type=settings.VorlixSettings)
    check.start_looking()


def unregister():
    check.stop_looking()
    del bpy.types.Scene.vorlix
    for cls in reversed(classes):
        bpy.utils.unregister_class(cls)
