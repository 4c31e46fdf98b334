"""Vorlix for Blender: plays a vehicle's Vorlix ride on the author's own objects.

The sidebar panel "Vorlix" in the 3D view exports the scene's vehicle with Blender's glTF exporter,
runs it through `vorlix-sim preview` with the real library, and keys the ride's frame rotations and
shown or hidden parts on the timeline; Remove ride puts the scene back as it was.
"""

bl_info = {
    "name": "Vorlix",
    "author": "The Vorlix developers",
    "version": (1, 0, 0),
    "blender": (3, 4, 0),
    "location": "View3D > Sidebar > Vorlix",
    "description": "Plays the Vorlix ride of a vehicle model on its own objects",
    "category": "Animation",
}

import bpy

from . import operators, panel, preferences, settings

classes = (
    preferences.VorlixPreferences,
    settings.VorlixSettings,
    operators.VORLIX_OT_play_ride,
    operators.VORLIX_OT_remove_ride,
    panel.VORLIX_PT_panel,
)


def register():
    for cls in classes:
        bpy.utils.register_class(cls)
    bpy.types.Scene.vorlix = bpy.props.PointerProperty(type=settings.VorlixSettings)


def unregister():
    del bpy.types.Scene.vorlix
    for cls in reversed(classes):
        bpy.utils.unregister_class(cls)
