"""The panel's Check button and the name builder's buttons."""

import bpy

from . import check, names, preferences, tool


class VORLIX_OT_check(bpy.types.Operator):
    """Export the vehicle and check its frame names with vorlix-sim"""

    bl_idname = "vorlix.check"
    bl_label = "Check"

    def execute(self, context):
        error = check.check_scene(context)
        if error:
            self.report({"ERROR"}, error)
            return {"CANCELLED"}
        self.report({"INFO"}, context.scene.vorlix.state)
        return {"FINISHED"}


class VORLIX_OT_pick_component(bpy.types.Operator):
    """Pick this component for the name builder (Name the object names the active object)"""

    bl_idname = "vorlix.pick_component"
    bl_label = "Pick component"
    bl_options = {"INTERNAL"}

    key: bpy.props.StringProperty(name="Key")

    def execute(self, context):
        settings = context.scene.vorlix
        try:
            entry = names.component(names.catalogue(preferences.program(context)), self.key)
        except tool.ToolError as error:
            self.report({"ERROR"}, str(error))
            return {"CANCELLED"}
        settings.name_key, settings.name_title = entry["key"], entry["title"]
        settings.name_parameters.clear()
        for parameter in entry["parameters"]:
            item = settings.name_parameters.add()
            item.marker, item.label, item.unit = (
                parameter["marker"],
                parameter["label"],
                parameter["unit"],
            )
            item.limits = names.limits(parameter)
            item.value = int(parameter["default"])
        settings.name_switch = entry.get("kilometres") or ""
        settings.name_switch_on = False
        return {"FINISHED"}


class VORLIX_OT_build_name(bpy.types.Operator):
    """Give the active object the name built from the component, your word and the parameters"""

    bl_idname = "vorlix.build_name"
    bl_label = "Name the object"
    bl_options = {"REGISTER", "UNDO"}

    @classmethod
    def poll(cls, context):
        return context.active_object is not None and context.scene.vorlix.name_key != ""

    def execute(self, context):
        settings = context.scene.vorlix
        values = {p.marker: p.value for p in settings.name_parameters}
        try:
            catalogue = names.catalogue(preferences.program(context))
            name = names.build_name(
                catalogue,
                settings.name_key,
                settings.name_word.strip(),
                values,
                settings.name_switch_on,
            )
        except tool.ToolError as error:
            self.report({"ERROR"}, str(error))
            return {"CANCELLED"}
        obj = context.active_object
        other = bpy.data.objects.get(name)
        if other is not None and other != obj:
            # Blender would rename one of the two, and they would share one state in the game.
            self.report({"ERROR"}, f"another object is already named {name}")
            return {"CANCELLED"}
        obj.name = name
        return {"FINISHED"}


class VORLIX_MT_components(bpy.types.Menu):
    """The catalogue's components, as vorlix-sim lists them."""

    bl_idname = "VORLIX_MT_components"
    bl_label = "Component"

    def draw(self, context):
        try:
            catalogue = names.catalogue(preferences.program(context))
        except tool.ToolError as error:
            self.layout.label(text=str(error), icon="ERROR")
            return
        for entry in catalogue["components"]:
            text = f"{entry['title']} ({entry['key']})"
            self.layout.operator("vorlix.pick_component", text=text).key = entry["key"]
