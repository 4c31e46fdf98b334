"""Putting a ride on the author's objects as keyframes, and taking it off again.

The ride lives in actions of its own, one an object. What it replaces (the object's action, its
rotation mode and values, its hide flags) is kept on the object until the ride is removed, so that
removing it leaves the scene exactly as it was."""

import json
import math

import bpy
from mathutils import Quaternion

from . import actions

SAVED = "vorlix_ride_saved"  # on a ridden object: what the ride replaced, as JSON
RIDE_ACTION = "vorlix_ride"  # on a ride's action
SAVED_FRAME_END = "vorlix_ride_frame_end"  # on the scene
ACTION_PREFIX = "Vorlix ride: "

# A frame's X, Y and Z are the object's own local X, Y and Z: the exporter turns every node so
# that Blender's Z becomes glTF's +Y, and the tool's z-up axes turn that back.
AXES = {"x": (1.0, 0.0, 0.0), "y": (0.0, 1.0, 0.0), "z": (0.0, 0.0, 1.0)}


def has_ride(scene):
    return any(SAVED in o for o in scene.objects)


def objects_of_frames(scene, ride, roots):
    """The object of each trace frame, where there is one. With several roots the tool adds a
    root frame named after the file, which no object stands for."""
    named = {o.name: o for o in scene.objects}
    return {
        i: named[name]
        for i, name in enumerate(ride.frames)
        if name in named and not (i == 0 and roots > 1)
    }


def rest_rotation(obj):
    mode = obj.rotation_mode
    if mode == "QUATERNION":
        return obj.rotation_quaternion.normalized()
    if mode == "AXIS_ANGLE":
        angle, *axis = obj.rotation_axis_angle
        return Quaternion(axis, angle)
    return obj.rotation_euler.to_quaternion()


def rotation_keys(rest, turns):
    """(tick, quaternion) keys: each turn composes on the right, about the object's own axes. A
    key holds the pose before each turn after a still spell, so that nothing drifts between."""
    pose = rest.copy()
    keys = {0: pose.copy()}
    last = 0
    for tick, steps in turns:
        if tick - 1 > last:
            keys[tick - 1] = pose.copy()
        for axis, degrees in steps:
            pose = pose @ Quaternion(AXES[axis], math.radians(degrees))
        pose.normalize()
        keys[tick] = pose.copy()
        last = tick
    return sorted(keys.items())


def shown_keys(changes):
    keys = {0: True}
    for tick, drawn in changes:
        keys[tick] = drawn
    return sorted(keys.items())


def add_curve(curves, path, index, frames, values, interpolation):
    curve = curves.new(path, index=index)
    curve.keyframe_points.add(len(frames))
    curve.keyframe_points.foreach_set("co", [v for pair in zip(frames, values) for v in pair])
    for point in curve.keyframe_points:
        point.interpolation = interpolation
    curve.update()


def save_state(obj):
    data = obj.animation_data
    action = data.action if data else None
    obj[SAVED] = json.dumps(
        {
            "animation_data": data is not None,
            "action": action.name if action else None,
            "slots": actions.playing(data),
            "fake_user": action.use_fake_user if action else False,
            "rotation_mode": obj.rotation_mode,
            "rotation_quaternion": list(obj.rotation_quaternion),
            "rotation_euler": list(obj.rotation_euler),
            "rotation_axis_angle": list(obj.rotation_axis_angle),
            "hide_viewport": obj.hide_viewport,
            "hide_render": obj.hide_render,
        }
    )
    if action:
        action.use_fake_user = True  # kept while the ride stands in for it


def put_ride(scene, ride, roots, ticks_per_second):
    """Keys the ride on the scene's objects at the ride's own time, TICKS_PER_SECOND renders to the
    second; returns how many it moves."""
    fps = scene.render.fps / scene.render.fps_base
    frame_of = lambda tick: scene.frame_start + tick * fps / ticks_per_second  # noqa: E731
    objects = objects_of_frames(scene, ride, roots)
    ridden = 0
    for index, obj in objects.items():
        turns, shown = ride.turns.get(index), ride.shown.get(index)
        if not turns and not shown:
            continue
        rest = rest_rotation(obj)
        save_state(obj)
        action = bpy.data.actions.new(ACTION_PREFIX + obj.name)
        action[RIDE_ACTION] = True
        curves = actions.play(obj, action)
        if turns:
            keys = rotation_keys(rest, turns)
            frames = [frame_of(tick) for tick, _ in keys]
            for i in range(4):
                add_curve(
                    curves, "rotation_quaternion", i, frames, [q[i] for _, q in keys], "LINEAR"
                )
            obj.rotation_mode = "QUATERNION"
            obj.rotation_quaternion = rest
        if shown:
            keys = shown_keys(shown)
            frames = [frame_of(tick) for tick, _ in keys]
            for path in ("hide_viewport", "hide_render"):
                add_curve(
                    curves, path, 0, frames, [float(not drawn) for _, drawn in keys], "CONSTANT"
                )
        ridden += 1
    if ridden:
        scene[SAVED_FRAME_END] = scene.frame_end
        scene.frame_end = max(scene.frame_end, math.ceil(frame_of(ride.last_tick)))
        scene.frame_set(scene.frame_current)
    return ridden


def remove_ride(scene):
    """Takes every ride off the scene's objects and puts back what it replaced."""
    if not has_ride(scene):
        return
    ridden = {obj: json.loads(obj[SAVED]) for obj in scene.objects if SAVED in obj}
    # An action that several ridden objects play was seen with the fake user the ride gave it by
    # all but the first: it had one before only if every object saw one.
    fake_users = {}
    for saved in ridden.values():
        if saved["action"]:
            fake_users[saved["action"]] = (
                fake_users.get(saved["action"], True) and saved["fake_user"]
            )
    for obj, saved in ridden.items():
        action = bpy.data.actions.get(saved["action"]) if saved["action"] else None
        if action:
            action.use_fake_user = fake_users[action.name]
        if not saved["animation_data"]:
            obj.animation_data_clear()
        elif obj.animation_data:
            actions.play_again(obj.animation_data, action, saved.get("slots"))
        obj.rotation_mode = saved["rotation_mode"]
        obj.rotation_quaternion = saved["rotation_quaternion"]
        obj.rotation_euler = saved["rotation_euler"]
        obj.rotation_axis_angle = saved["rotation_axis_angle"]
        obj.hide_viewport = saved["hide_viewport"]
        obj.hide_render = saved["hide_render"]
        del obj[SAVED]
    for action in [a for a in bpy.data.actions if a.get(RIDE_ACTION) and a.users == 0]:
        bpy.data.actions.remove(action)
    if SAVED_FRAME_END in scene:
        scene.frame_end = scene[SAVED_FRAME_END]
        del scene[SAVED_FRAME_END]
    scene.frame_set(scene.frame_current)
