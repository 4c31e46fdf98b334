"""An object's action as each Blender keeps it.

Up to 4.3 an action holds its F-curves itself and an object plays all of it. From 4.4 an action
holds them in channel bags, one for each of its slots, and an object plays one slot; 5.0 dropped
the older way. Each version is given its own API here, chosen by the version, never by trying."""

import bpy

SLOTTED = bpy.app.version >= (4, 4, 0)


def play(obj, action):
    """Makes ACTION the one the object plays, and returns the F-curves to key it with: the
    action's own, or those of a new slot of it for this object."""
    if obj.animation_data is None:
        obj.animation_data_create()
    obj.animation_data.action = action
    if not SLOTTED:
        return action.fcurves
    slot = action.slots.new(id_type="OBJECT", name=obj.name)
    obj.animation_data.action_slot = slot
    strip = action.layers.new("Layer").strips.new(type="KEYFRAME")
    return strip.channelbag(slot, ensure=True).fcurves


def playing(data):
    """What an object's animation data plays besides its action: its slot and the slot it would
    look for in the next action it is given, by identifier (None where actions have no slots).
    """
    if not SLOTTED or data is None:
        return None
    slot = data.action_slot
    return {
        "slot": slot.identifier if slot else None,
        "last_slot": data.last_slot_identifier,
    }


def play_again(data, action, slots):
    """Gives the animation data back ACTION and what PLAYING said of it."""
    data.action = action
    if slots is None:
        return
    if action is not None:
        data.action_slot = next((s for s in action.slots if s.identifier == slots["slot"]), None)
    data.last_slot_identifier = slots["last_slot"]
