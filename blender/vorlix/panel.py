"""The sidebar panel "Vorlix" of the 3D view, with the active object as the last check read it,
the list of checked objects and the name builder."""

import bpy

from . import check, preferences


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
        layout.prop(settings, "own_rate")
        layout.operator("vorlix.check", icon="VIEWZOOM")
        row = layout.row()
        row.operator("vorlix.play_ride", icon="PLAY")
        row.operator("vorlix.remove_ride", icon="X")
        if settings.state:
            layout.label(text=settings.state)


class VorlixSubpanel:
    bl_space_type = "VIEW_3D"
    bl_region_type = "UI"
    bl_category = "Vorlix"
    bl_parent_id = "VORLIX_PT_panel"


def wrapped(layout, text, icon="NONE"):
    """A long line of text over as many label rows as the panel needs."""
    width = 48
    words, line = text.split(), ""
    for word in words:
        if line and len(line) + 1 + len(word) > width:
            layout.label(text=line, icon=icon)
            line, icon = word, "BLANK1"
        else:
            line = f"{line} {word}" if line else word
    layout.label(text=line, icon=icon)


class VORLIX_PT_active_object(VorlixSubpanel, bpy.types.Panel):
    bl_label = "Active object"
    bl_idname = "VORLIX_PT_active_object"

    def draw(self, context):
        layout = self.layout
        obj = context.active_object
        settings = context.scene.vorlix
        if obj is None:
            layout.label(text="No active object")
            return
        if not settings.check_document:
            layout.label(text="Not checked yet: press Check")
            return
        frame = check.checked_frames(settings).get(obj.name)
        if frame is None:
            layout.label(text=f"{obj.name}: no component and no warning")
            return
        for component in frame["components"]:
            box = layout.box()
            axis = f", turns about {component['axis'].upper()}" if component["axis"] else ""
            box.label(text=f"{component['title']} ({component['key']}){axis}", icon="OBJECT_DATA")
            if component["usesStateOf"]:
                box.label(text=f"shares the state of {component['usesStateOf']}")
            for parameter in component["parameters"]:
                unit = f" {parameter['unit']}" if parameter["unit"] else ""
                value = (
                    parameter["value"]
                    if parameter["converts"]
                    else f"{parameter['text']} (out of range)"
                )
                where = (
                    f"from \"{parameter['marker']}{parameter['text']}\""
                    if parameter["source"] == "name"
                    else "default"
                )
                box.label(text=f"{parameter['label']}: {value}{unit}, {where}")
            if component["detail"]:
                box.label(text=component["detail"])
            # Which child fills each slot, as check words it: the export writes children
            # sorted by name, which need not be the order the author meant.
            for line in component.get("slotLines") or []:
                wrapped(box, line)
        for message in frame["warnings"]:
            wrapped(layout, message, icon="ERROR")


class VORLIX_UL_checked(bpy.types.UIList):
    def draw_item(self, context, layout, data, item, icon, active_data, active_property, index=0):
        layout.label(text=item.name, icon="OBJECT_DATA")
        if item.warnings:
            layout.label(
                text=f"{item.warnings} warning{'s' if item.warnings > 1 else ''}", icon="ERROR"
            )
        else:
            layout.label(text="ok", icon="CHECKMARK")


class VORLIX_PT_checked_objects(VorlixSubpanel, bpy.types.Panel):
    bl_label = "Checked objects"
    bl_idname = "VORLIX_PT_checked_objects"

    def draw(self, context):
        settings = context.scene.vorlix
        self.layout.template_list(
            "VORLIX_UL_checked", "", settings, "checked", settings, "checked_index"
        )


class VORLIX_PT_name_builder(VorlixSubpanel, bpy.types.Panel):
    bl_label = "Name builder"
    bl_idname = "VORLIX_PT_name_builder"
    bl_options = {"DEFAULT_CLOSED"}

    def draw(self, context):
        settings = context.scene.vorlix
        layout = self.layout
        picked = (
            f"{settings.name_title} ({settings.name_key})"
            if settings.name_key
            else "Pick a component"
        )
        layout.menu("VORLIX_MT_components", text=picked)
        if not settings.name_key:
            return
        layout.prop(settings, "name_word")
        for parameter in settings.name_parameters:
            unit = f" ({parameter.unit})" if parameter.unit else ""
            layout.prop(parameter, "value", text=f"{parameter.label}{unit}, {parameter.marker}")
            layout.label(text=parameter.limits, icon="BLANK1")
        if settings.name_switch:
            layout.prop(
                settings, "name_switch_on", text=f"Counts kilometres ({settings.name_switch})"
            )
        layout.operator("vorlix.build_name", icon="SORTALPHA")
