#!/usr/bin/env python3
"""Renders docs/pictures/blender-ride.png: the sample model in Blender with the add-on's ride on
it, at a moment when the front brake lever is half way out and the gear display shows first gear.

Run from the repository's root after building vorlix-sim:

    python3 scripts/make-blender-picture.py build/linux-x86/bin/vorlix-sim

It runs itself again inside headless Blender, in a home of its own so that no one's preferences
are touched, installs the add-on from its zip, imports scenes/models/motorbike.glb, presses Play
ride and renders with Cycles on the CPU (no denoiser: Debian's Blender has none).
"""

import math
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "docs", "pictures", "blender-ride.png")

try:
    import bpy
except ImportError:
    bpy = None


def outside():
    sys.path.insert(0, os.path.join(ROOT, "blender"))
    import headless

    sys.exit(headless.run_with_addon(__file__, [os.path.abspath(sys.argv[1])]))


def inside():
    from mathutils import Vector

    addon, sim = sys.argv[sys.argv.index("--") + 1 :][:2]
    bpy.ops.preferences.addon_install(filepath=addon)
    bpy.ops.preferences.addon_enable(module="vorlix")
    bpy.context.preferences.addons["vorlix"].preferences.tool_path = sim
    for obj in list(bpy.data.objects):
        bpy.data.objects.remove(obj)
    # Blender 3.4's glTF importer still asks for numpy.bool, which Debian 12's numpy has dropped.
    import numpy

    numpy.bool = bool
    bpy.ops.import_scene.gltf(filepath=os.path.join(ROOT, "scenes", "models", "motorbike.glb"))
    scene = bpy.context.scene
    assert bpy.ops.vorlix.play_ride() == {"FINISHED"}

    # The first frame at which the lever has turned half of its 30 degrees, with first gear in.
    lever = bpy.data.objects["vx_fbrake_az-30_lever"]
    rest = lever.rotation_quaternion.copy()
    for frame in range(scene.frame_start, scene.frame_end + 1):
        scene.frame_set(frame)
        if (
            math.degrees(rest.rotation_difference(lever.rotation_quaternion).angle) >= 15
            and not bpy.data.objects["gear_1"].hide_render
        ):
            break

    # From above the rider's seat: the lever on the handlebar and the dash's gear display.
    target = Vector((0.15, 0.74, 1.0))
    camera = bpy.data.objects.new("camera", bpy.data.cameras.new("camera"))
    scene.collection.objects.link(camera)
    camera.location = Vector((0.45, 0.2, 2.05))
    camera.rotation_euler = (target - camera.location).to_track_quat("-Z", "Y").to_euler()
    camera.data.lens = 40
    scene.camera = camera
    sun = bpy.data.objects.new("sun", bpy.data.lights.new("sun", "SUN"))
    sun.data.energy = 4
    sun.rotation_euler = (0.7, 0.2, 0.9)
    scene.collection.objects.link(sun)
    world = bpy.data.worlds.new("world")
    world.color = (0.6, 0.65, 0.7)
    scene.world = world

    scene.render.engine = "CYCLES"
    scene.cycles.device = "CPU"
    scene.cycles.samples = 32
    scene.cycles.use_denoising = False
    scene.render.resolution_x, scene.render.resolution_y = 480, 320
    scene.render.resolution_percentage = 100
    scene.render.image_settings.file_format = "PNG"
    scene.render.image_settings.color_mode = "RGB"
    scene.render.image_settings.compression = 100
    scene.render.filepath = OUT
    bpy.ops.render.render(write_still=True)
    print(f"{OUT}: frame {scene.frame_current}")


if bpy is None:
    outside()
else:
    inside()
