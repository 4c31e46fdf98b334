"""Reading a ride's trace: what the library did to each frame, render by render."""

import json
import math


class Ride:
    """One vehicle's ride. `frames` are the frame names, depth first from the root, as the trace
    numbers them; `turns[frame]` lists (tick, [(axis, degrees), ...]) in the order they were made;
    `shown[frame]` lists (tick, drawn) for the frame's first attached object."""

    def __init__(self, vehicle, frames):
        self.vehicle = vehicle
        self.frames = frames
        self.turns = {}
        self.shown = {}
        self.last_tick = 0


def read_ride(text, render_flag):
    """The ride of the trace's first vehicle. RENDER_FLAG is the bit of an attached object's flag
    byte that draws it, as the catalogue gives it."""
    ride = None
    for line in text.splitlines():
        entry = json.loads(line)
        kind = entry.get("type")
        if kind == "create" and ride is None:
            ride = Ride(entry["vehicle"], entry["frames"])
        elif kind == "render" and ride is not None and entry["vehicle"] == ride.vehicle:
            tick = entry["tick"]
            ride.last_tick = tick
            for frame, axis, angle in entry.get("rotations", []):
                degrees = float(
                    angle
                )  # "nan", "inf" and "-inf" stand for floats that are not finite
                if not math.isfinite(degrees):
                    continue  # a turn by such an angle leaves no pose to show
                turns = ride.turns.setdefault(frame, [])
                if not turns or turns[-1][0] != tick:
                    turns.append((tick, []))
                turns[-1][1].append((axis, degrees))
            for frame, index, flag in entry.get("flags", []):
                if index == 0:  # a Blender object is one mesh: the frame's first object
                    ride.shown.setdefault(frame, []).append((tick, bool(flag & render_flag)))
    if ride is None:
        raise ValueError("the trace creates no vehicle")
    return ride
