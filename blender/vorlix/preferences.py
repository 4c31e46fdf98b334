"""The add-on's preferences: where vorlix-sim is."""

import bpy

from . import tool


class VorlixPreferences(bpy.types.AddonPreferences):
    bl_idname = __package__

    tool_path: bpy.props.StringProperty(
        name="vorlix-sim",
        description="The vorlix-sim program. Empty: the one shipped beside the add-on, "
        "else the one on PATH",
        subtype="FILE_PATH",
    )

    def draw(self, context):
        self.layout.prop(self, "tool_path")


def of(context):
    return context.preferences.addons[__package__].preferences


def program(context):
    """The vorlix-sim to run; raises ToolError when there is none."""
    return tool.find(of(context).tool_path)
