#!/usr/bin/env python3
"""Writes scenes/default.json, the demo's ride, which vorlix-sim embeds at build time.

Three vehicles ride together: a motorbike that carries every component, a bicycle and a car. The
motorbike pulls away, shifts up through six gears, brakes, coasts, brakes to a stop while shifting
down, and rolls back a little; the bicycle pedals, coasts and stops; the car drives through five
gears and stops. Their travel counters grow as the game's do, 286 units a kilometre, so that the
odometers show the distance actually ridden.

Run it from the repository's root after changing the ride: python3 scripts/make_default_scene.py
"""
import json

TICKS = 1500
TICKS_PER_SECOND = 50  # one host time step is 1/50 s
TRAVEL_UNITS_PER_METRE = 0.286
ENTRY_EVERY = 5  # ticks between speed updates


def frame(name, children=(), objects=1, hidden=False):
    node = {"name": name}
    if objects != 1:
        node["objects"] = objects
    if hidden:
        node["hidden"] = True
    if children:
        node["children"] = list(children)
    return node


def flip_book(name, prefix, count, objects=1):
    """A frame whose children are alternatives; only the first starts shown."""
    return frame(
        name,
        [frame(f"{prefix}{i}", objects=objects, hidden=i > 0) for i in range(count)],
        objects=0,
    )


MOTORBIKE = frame(
    "motorbike",
    [
        frame(
            "body",
            [
                frame(
                    "vx_chain",
                    [frame(f"chain_links_{c}", objects=2, hidden=c != "a") for c in "abcd"],
                    objects=0,
                ),
                frame(
                    "handlebar",
                    [
                        frame("vx_fbrake_az-30"),
                        frame("vx_cl_az20"),
                        frame(
                            "dash",
                            [
                                frame("vx_sm_m220_r270"),
                                frame("vx_rpm_m80_270"),
                                frame(
                                    "vx_gm",
                                    [frame("gear_n")]
                                    + [frame(f"gear_{g}", hidden=True) for g in range(1, 7)],
                                    objects=0,
                                ),
                                frame(
                                    "vx_om_kph",
                                    [frame(f"om_wheel_{i}") for i in range(1, 7)],
                                    objects=0,
                                ),
                            ],
                            objects=2,
                        ),
                    ],
                ),
                frame("vx_rbrake_ax25"),
                frame("vx_gl_o12"),
            ],
            objects=3,
        ),
        frame("wheel_front"),
        frame("wheel_rear"),
    ],
)

BICYCLE = frame(
    "bicycle",
    [
        frame(
            "frame",
            [
                frame(
                    "vx_chain",
                    [frame(f"chain_links_{c}", hidden=c != "a") for c in "abc"],
                    objects=0,
                ),
                frame("bars", [frame("vx_fbrake_az-25"), frame("grip")]),
                frame("vx_rbrake_ax20"),
            ],
            objects=2,
        ),
        frame("wheel_front"),
        frame("wheel_rear"),
    ],
)

CAR = frame(
    "car",
    [
        frame(
            "body",
            [
                frame(
                    "cockpit",
                    [
                        frame("vx_sm_m260_r240"),
                        frame("vx_rpm_m100_240"),
                        frame(
                            "vx_gm",
                            [frame("gear_n")]
                            + [frame(f"gear_{g}", hidden=True) for g in range(1, 6)],
                            objects=0,
                        ),
                        frame("vx_om", [frame(f"om_wheel_{i}") for i in range(1, 7)], objects=0),
                        frame("vx_gl_o15"),
                    ],
                    objects=4,
                ),
            ],
            objects=5,
        ),
        frame("wheels", objects=4),
    ],
)


def ride(keyframes):
    """Speeds in km/h per tick, linear between (tick, km/h) keyframes, held after the last."""
    speeds = []
    for tick in range(TICKS):
        for (t0, v0), (t1, v1) in zip(keyframes, keyframes[1:]):
            if t0 <= tick < t1:
                speeds.append(v0 + (v1 - v0) * (tick - t0) / (t1 - t0))
                break
        else:
            speeds.append(float(keyframes[-1][1]))
    return speeds


def gear_changes(speeds, ups, downs, start_tick, neutral_tick=None):
    """Gear per tick: shift up when the speed passes each of `ups`, down below each of `downs`."""
    gears, gear = [], 0
    for tick, v in enumerate(speeds):
        if tick == start_tick and gear == 0:
            gear = 1
        elif (
            gear
            and gear <= len(ups)
            and v >= ups[gear - 1]
            and (tick == 0 or speeds[tick - 1] <= v)
        ):
            gear += 1
        elif gear > 1 and v <= downs[gear - 2] and tick > 0 and speeds[tick - 1] > v:
            gear -= 1
        if neutral_tick is not None and tick >= neutral_tick:
            gear = 0
        gears.append(gear)
    return gears


def travel(speeds):
    total, counters = 0.0, []
    for v in speeds:
        total += abs(v) / 3.6 / TICKS_PER_SECOND * TRAVEL_UNITS_PER_METRE
        counters.append(total)
    return counters


def two_wheel_speed(kmh):
    # The library reads (b1 + b0) * 0.5 / 2.45 * -186 km/h with both wheel scales 1.
    return round(-kmh * 2.45 / 186.0, 5) + 0.0  # no -0


def number(x, places):
    value = round(x, places)
    return int(value) if value == int(value) else value


def vehicle_entries(name, speeds, gears, flags, extra, fields, alive=range(TICKS)):
    """Timeline entries for one vehicle while it is alive: gear, flag and input changes at their
    tick, speeds every ENTRY_EVERY ticks while they change."""
    entries, last = [], {}
    for tick in alive:
        current = {"currentGear": gears[tick], "vehicleFlags": flags[tick]}
        current.update(extra(tick))
        changed = {k: v for k, v in current.items() if last.get(k) != v}
        first = tick == alive[0]
        if first or (tick % ENTRY_EVERY == 0 and speeds[tick] != speeds[tick - ENTRY_EVERY]):
            changed.update(fields(tick))
        if changed:
            entries.append((tick, {"tick": tick, "vehicle": name, "set": changed}))
            last.update(current)
    return entries


def motorbike():
    speeds = ride(
        [
            (0, 0),
            (40, 0),
            (600, 130),
            (700, 130),
            (820, 90),
            (870, 87),
            (1070, 0),
            (1180, 0),
            (1220, -4),
            (1290, -4),
            (1330, 0),
        ]
    )
    gears = gear_changes(
        speeds,
        ups=[25, 50, 75, 100, 120],
        downs=[12, 35, 55, 80, 100],
        start_tick=40,
        neutral_tick=1120,
    )
    counters = travel(speeds)
    braking = [700 <= t < 820 or 870 <= t < 1090 for t in range(TICKS)]
    shifting = [any(gears[max(0, t - k)] != gears[t] for k in range(1, 21)) for t in range(TICKS)]
    throttle = [40 <= t < 600 and not shifting[t] for t in range(TICKS)]
    flags = [(0x20 if braking[t] else 0) | (0x10 if throttle[t] else 0) for t in range(TICKS)]
    return vehicle_entries(
        "motorbike",
        speeds,
        gears,
        flags,
        lambda t: {
            "rearBrakeInput": 0.8 if braking[t] else 0,
            "driveInput": 1 if throttle[t] else 0,
        },
        lambda t: {
            "bikeWheelSpeed": [two_wheel_speed(speeds[t])] * 2,
            "bikeTravelCounter": number(counters[t], 2),
        },
    )


def bicycle():
    speeds = ride([(0, 0), (100, 0), (400, 22), (600, 18), (800, 22), (900, 22), (1000, 0)])
    counters = travel(speeds)
    pedalling = [100 <= t < 400 or 600 <= t < 800 for t in range(TICKS)]
    braking = [900 <= t < 1010 for t in range(TICKS)]
    return vehicle_entries(
        "bicycle",
        speeds,
        [0] * TICKS,
        [0x20 if braking[t] else 0 for t in range(TICKS)],
        lambda t: {
            "driveInput": 1 if pedalling[t] else 0,
            "rearBrakeInput": 1 if braking[t] else 0,
        },
        lambda t: {
            "bikeWheelSpeed": [two_wheel_speed(speeds[t])] * 2,
            "travelCounter": number(counters[t], 2),
        },
        alive=range(100, 1400),
    )


def car():
    speeds = ride([(0, 0), (60, 0), (560, 100), (900, 100), (1000, 60), (1100, 60), (1300, 0)])
    gears = gear_changes(
        speeds, ups=[20, 40, 60, 80], downs=[10, 25, 40, 60], start_tick=60, neutral_tick=1320
    )
    counters = travel(speeds)
    shifting = [any(gears[max(0, t - k)] != gears[t] for k in range(1, 16)) for t in range(TICKS)]
    throttle = [60 <= t < 560 and not shifting[t] for t in range(TICKS)]
    return vehicle_entries(
        "car",
        speeds,
        gears,
        [0x10 if throttle[t] else 0 for t in range(TICKS)],
        lambda t: {"driveInput": 1 if throttle[t] else 0},
        lambda t: {
            "moveSpeed": [number(speeds[t] / 3.6 / TICKS_PER_SECOND, 6), 0, 0],
            "travelCounter": number(counters[t], 2),
        },
    )


def frame_lines(node, indent):
    """A frame on one line, or its own line plus one line per child frame."""
    fields = ", ".join(f'"{k}": {json.dumps(v)}' for k, v in node.items() if k != "children")
    pad = " " * indent
    if "children" not in node:
        return [pad + "{ " + fields + " }"]
    lines = [pad + "{ " + fields + ', "children": [']
    children = node["children"]
    for i, child in enumerate(children):
        child_lines = frame_lines(child, indent + 2)
        if i + 1 < len(children):
            child_lines[-1] += ","
        lines += child_lines
    lines.append(pad + "] }")
    return lines


def main():
    vehicles = [
        {
            "name": "motorbike",
            "class": 9,
            "modelIndex": 522,
            "wheelScales": [1.0, 1.0],
            "renderSite": "call",
            "model": MOTORBIKE,
        },
        {
            "name": "bicycle",
            "class": 10,
            "modelIndex": 509,
            "spawnTick": 100,
            "despawnTick": 1400,
            "renderSite": "jump",
            "model": BICYCLE,
        },
        {"name": "car", "class": 3, "modelIndex": 596, "renderSite": "alternate", "model": CAR},
    ]
    entries = motorbike() + bicycle() + car()
    entries.sort(key=lambda e: e[0])  # stable: vehicles keep their order within a tick
    timeline = [{"tick": 0, "set": {"timeStep": 1.0, "timeCounter": 0}}] + [e for _, e in entries]

    head = {
        "format": 1,
        "host": {"version": 1001, "poolSize": 110},
        "ticks": TICKS,
        "clock": {"timeStep": 1.0, "counterStart": 0, "counterStep": 16},
    }
    lines = ["{"]
    for key, value in head.items():
        lines.append(f'  "{key}": {json.dumps(value)},')
    lines.append('  "vehicles": [')
    for i, v in enumerate(vehicles):
        rest = ", ".join(f'"{k}": {json.dumps(x)}' for k, x in v.items() if k != "model")
        model = frame_lines(v["model"], 8)
        model[0] = '      "model":' + model[0][7:]
        lines.append(f"    {{ {rest},")
        lines += model
        lines.append("    }" + ("," if i + 1 < len(vehicles) else ""))
    lines.append("  ],")
    lines.append('  "timeline": [')
    for i, e in enumerate(timeline):
        lines.append("    " + json.dumps(e) + ("," if i + 1 < len(timeline) else ""))
    lines.append("  ]")
    lines.append("}")
    with open("scenes/default.json", "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
