"""Putting a ride on the author's objects as keyframes, and taking it off again.

The ride lives in actions of its own, one an object. What it replaces (the object's action, its
rotation mode and values, its hide flags, its parent inverse) is kept on the object until the ride
is removed, so that removing it leaves the scene exactly as it was; what it changes on the scene
(the timeline's end, the frame rate) is kept on the scene."""

import json
import math

import bpy
from mathutils import Matrix, Quaternion

from . import actions

SAVED = "vorlix_ride_saved"  # on a ridden object: what the ride replaced, as JSON
RIDE_ACTION = "vorlix_ride"  # on a ride's action
SAVED_FRAME_END = "vorlix_ride_frame_end"  # on the scene
SAVED_FPS = "vorlix_ride_fps"  # on the scene, when the ride set its own rate: the old one, as JSON
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
    """(tick, quaternion) keys: each turn composes on the right, about the object's own axes. They
    are held as steps: the game shows one pose a render, nothing in between."""
    pose = rest.copy()
    keys = {0: pose.copy()}
    for tick, steps in turns:
        for axis, degrees in steps:
            pose = pose @ Quaternion(AXES[axis], math.radians(degrees))
        pose.normalize()
        keys[tick] = pose.copy()
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
            "location": list(obj.location),
            "scale": list(obj.scale),
            "parent_inverse": [list(row) for row in obj.matrix_parent_inverse],
            "hide_viewport": obj.hide_viewport,
            "hide_render": obj.hide_render,
            "hidden": obj.hide_get(),
        }
    )
    if action:
        action.use_fake_user = True  # kept while the ride stands in for it


def as_exported(obj):
    """Gives a turned object its local transform as the exporter writes it: the parent inverse
    folded in, and no shear. Under an unevenly scaled parent a turn then shears the object as it
    does in the game, instead of keeping its shape as Blender's parent inverse would have it.
    Returns the rest rotation."""
    if obj.matrix_parent_inverse == Matrix.Identity(4):
        return rest_rotation(obj)
    basis = obj.matrix_parent_inverse @ obj.matrix_basis
    obj.matrix_parent_inverse = Matrix.Identity(4)
    obj.matrix_basis = basis  # Blender splits it into location, rotation and scale
    return rest_rotation(obj)


def set_own_rate(scene, ticks_per_second):
    """Plays the scene at the ride's own rate, one frame a render, until the ride is removed."""
    scene[SAVED_FPS] = json.dumps([scene.render.fps, scene.render.fps_base])
    scene.render.fps, scene.render.fps_base = ticks_per_second, 1.0


def put_ride(scene, ride, roots, ticks_per_second, own_rate=False):
    """Keys the ride on the scene's objects at the ride's own time, TICKS_PER_SECOND renders to the
    second (OWN_RATE: with the scene set to that rate first); returns how many it moves."""
    objects = objects_of_frames(scene, ride, roots)
    moving = [i for i in objects if ride.turns.get(i) or ride.shown.get(i)]
    if moving and own_rate:
        set_own_rate(scene, ticks_per_second)
    fps = scene.render.fps / scene.render.fps_base
    frame_of = lambda tick: scene.frame_start + tick * fps / ticks_per_second  # noqa: E731
    ridden = 0
    for index in moving:
        obj, turns, shown = objects[index], ride.turns.get(index), ride.shown.get(index)
        save_state(obj)
        rest = as_exported(obj) if turns else rest_rotation(obj)
        action = bpy.data.actions.new(ACTION_PREFIX + obj.name)
        action[RIDE_ACTION] = True
        curves = actions.play(obj, action)
        if turns:
            keys = rotation_keys(rest, turns)
            frames = [frame_of(tick) for tick, _ in keys]
            for i in range(4):
                add_curve(
                    curves, "rotation_quaternion", i, frames, [q[i] for _, q in keys], "CONSTANT"
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
            # Hidden with the eye icon, it would stay hidden in the viewport whatever the ride
            # keys, while a render and the game show it.
            obj.hide_set(False)
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
        obj.location = saved["location"]
        obj.scale = saved["scale"]
        obj.matrix_parent_inverse = Matrix(saved["parent_inverse"])
        obj.hide_viewport = saved["hide_viewport"]
        obj.hide_render = saved["hide_render"]
        if saved["hidden"]:
            obj.hide_set(True)
        del obj[SAVED]
    for action in [a for a in bpy.data.actions if a.get(RIDE_ACTION) and a.users == 0]:
        bpy.data.actions.remove(action)
    if SAVED_FRAME_END in scene:
        scene.frame_end = scene[SAVED_FRAME_END]
        del scene[SAVED_FRAME_END]
    if SAVED_FPS in scene:
        scene.render.fps, scene.render.fps_base = json.loads(scene[SAVED_FPS])
        del scene[SAVED_FPS]
    scene.frame_set(scene.frame_current)


def chain_hidden_by_rate(scene, ride, roots, link_set_keys, ticks_per_second):
    """Whether the scene plays a ride whose chain steps at fewer frames a second than the ride has
    renders: frames then skip link sets, and the chain may seem to run the other way."""
    if scene.render.fps / scene.render.fps_base >= ticks_per_second:
        return False
    for index, obj in objects_of_frames(scene, ride, roots).items():
        holder = obj.parent if ride.shown.get(index) else None
        while holder is not None:
            if holder.name.startswith(tuple(link_set_keys)):
                return True
            holder = holder.parent
    return False


class Lifted:
    """A ride taken off as Remove ride does, that can be put back just as it was: a Play ride that
    fails keeps the ride that was on."""

    def __init__(self, scene):
        self.scene = scene
        self.objects = []
        for obj in scene.objects:
            if SAVED not in obj:
                continue
            data = obj.animation_data
            pose = {
                "rotation_mode": obj.rotation_mode,
                "rotation_quaternion": obj.rotation_quaternion.copy(),
                "location": obj.location.copy(),
                "scale": obj.scale.copy(),
                "matrix_parent_inverse": obj.matrix_parent_inverse.copy(),
            }
            hidden = obj.hide_get()
            self.objects.append((obj, obj[SAVED], data.action, actions.playing(data), pose, hidden))
            data.action.use_fake_user = True  # kept while it is off
        self.kept = {key: scene[key] for key in (SAVED_FRAME_END, SAVED_FPS) if key in scene}
        self.timeline = scene.frame_end, scene.render.fps, scene.render.fps_base
        remove_ride(scene)

    def put_back(self):
        scene = self.scene
        for obj, saved, action, slots, pose, hidden in self.objects:
            own = json.loads(saved)["action"]
            if own and own in bpy.data.actions:
                bpy.data.actions[own].use_fake_user = True
            obj[SAVED] = saved
            if obj.animation_data is None:
                obj.animation_data_create()
            actions.play_again(obj.animation_data, action, slots)
            action.use_fake_user = False
            for name, value in pose.items():
                setattr(obj, name, value)
            obj.hide_set(hidden)
        for key, value in self.kept.items():
            scene[key] = value
        scene.frame_end, scene.render.fps, scene.render.fps_base = self.timeline
        scene.frame_set(scene.frame_current)

    def drop(self):
        """Deletes the lifted ride's actions, once a new ride stands in its place."""
        for _, _, action, _, _, _ in self.objects:
            action.use_fake_user = False
            if action.users == 0:
                bpy.data.actions.remove(action)
