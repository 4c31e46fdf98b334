"""The scene's Vorlix settings: what the vehicle is, what the last ride and check did, and the
name being built."""

import bpy

from . import names, preferences, tool

# Blender keeps no reference of its own to the texts of an enum whose items a function gives.
_vehicle_items = []


def vehicle_items(settings, context):
    """The vehicle kinds that vorlix-sim's rides know, from its catalogue; none while there is no
    vorlix-sim to ask (Play ride and Check then say why)."""
    try:
        kinds = names.catalogue(preferences.program(context))["vehicles"]
    except tool.ToolError:
        kinds = []
    _vehicle_items[:] = [
        (kind["name"], kind["name"].capitalize(), f"Its usual highest gear: {kind['gears']}")
        for kind in kinds
    ]
    return _vehicle_items


def vehicle_options(settings):
    """vorlix-sim's options for the vehicle that these settings describe."""
    options = ["--vehicle", settings.vehicle]
    if settings.set_gears:
        options += ["--gears", str(settings.gears)]
    return options


def select_checked(settings, context):
    """Clicking an object in the checked list makes it the active one."""
    if not 0 <= settings.checked_index < len(settings.checked):
        return
    obj = context.scene.objects.get(settings.checked[settings.checked_index].name)
    if obj is None:
        return  # renamed or deleted since the check
    for other in context.view_layer.objects:
        if other != obj:
            other.select_set(False)
    if obj.name in context.view_layer.objects:
        obj.select_set(True)
        context.view_layer.objects.active = obj


class VorlixCheckedObject(bpy.types.PropertyGroup):
    """One frame of the last check: the object's name and how many warnings it has."""

    warnings: bpy.props.IntProperty(name="Warnings")


class VorlixNameParameter(bpy.types.PropertyGroup):
    """A parameter of the component being named; the rest comes from the catalogue."""

    marker: bpy.props.StringProperty(name="Marker")
    label: bpy.props.StringProperty(name="Label")
    unit: bpy.props.StringProperty(name="Unit")
    limits: bpy.props.StringProperty(name="Limits", description="The default and the range")
    value: bpy.props.IntProperty(name="Value")


class VorlixSettings(bpy.types.PropertyGroup):
    vehicle: bpy.props.EnumProperty(
        name="Vehicle",
        description="What the model is; it chooses the ride",
        items=vehicle_items,
    )
    set_gears: bpy.props.BoolProperty(
        name="Highest gear",
        description="Give the highest gear of the ride; off: the usual one for the vehicle",
        default=False,
    )
    gears: bpy.props.IntProperty(
        name="Gears", description="The highest gear the vehicle uses", default=6, min=0
    )
    own_rate: bpy.props.BoolProperty(
        name="At the ride's rate",
        description="Play ride sets the scene's frame rate to the ride's renders a second, one frame "
        "a render, so that the chain runs as in the game; Remove ride sets it back",
        default=False,
    )
    state: bpy.props.StringProperty(name="State", description="What the last ride or check did")

    check_document: bpy.props.StringProperty(
        name="Check", description="The last check's document, as vorlix-sim wrote it"
    )
    check_signature: bpy.props.StringProperty(
        name="Checked names", description="The names and settings that the last check saw"
    )
    checked: bpy.props.CollectionProperty(type=VorlixCheckedObject)
    checked_index: bpy.props.IntProperty(name="Checked object", update=select_checked)

    name_key: bpy.props.StringProperty(
        name="Component", description="The key of the component being named"
    )
    name_title: bpy.props.StringProperty(name="Component")
    name_word: bpy.props.StringProperty(
        name="Word", description="Your own word, kept after the key (e.g. left)"
    )
    name_parameters: bpy.props.CollectionProperty(type=VorlixNameParameter)
    name_switch: bpy.props.StringProperty(
        name="Switch",
        description="The component's marker that is there or not (the odometer's kilometres)",
    )
    name_switch_on: bpy.props.BoolProperty(name="Switch on")
