"""The scene's Vorlix settings: what the vehicle is, and what the last ride did."""

import bpy


class VorlixSettings(bpy.types.PropertyGroup):
    vehicle: bpy.props.EnumProperty(
        name="Vehicle",
        description="What the model is; it chooses the ride",
        items=[
            ("motorbike", "Motorbike", ""),
            ("bicycle", "Bicycle", ""),
            ("car", "Car", ""),
        ],
        default="motorbike",
    )
    set_gears: bpy.props.BoolProperty(
        name="Highest gear",
        description="Give the highest gear of the ride; off: the usual one for the vehicle",
        default=False,
    )
    gears: bpy.props.IntProperty(
        name="Gears", description="The highest gear the vehicle uses", default=6, min=0
    )
    state: bpy.props.StringProperty(name="State", description="What the last ride did")
