#!/usr/bin/env python3
"""Writes the guide's two axes pictures (docs/pictures/axes-z-up.svg, axes-y-up.svg): a lever on its
frame axes, with the turn that `_az` asks for, as the author's tool shows it and as the exported
glTF node holds it.

    scripts/make-axes-pictures.py

The drawing is an isometric view of one set of directions; only the labels say which axis of the
tool or of the node each one is, since an exporter that writes +Y up turns the axes, not the model.
"""

import math
import os

WIDTH, PANEL = 640, 320
HEIGHT = 260
RED, GREEN, BLUE, INK, MUTED = "#e5534b", "#57ab5a", "#539bf5", "#e6edf3", "#8b949e"


def project(x, y, z, origin):
    """Isometric and right-handed: x to the left and down, y to the right and down, z up."""
    c, s = math.cos(math.radians(30)), math.sin(math.radians(30))
    return origin[0] + (y - x) * c, origin[1] + (x + y) * s - z


def arrow(start, end, colour, label, anchor="start"):
    (x0, y0), (x1, y1) = start, end
    angle = math.atan2(y1 - y0, x1 - x0)
    head = [
        (x1, y1),
        (x1 - 10 * math.cos(angle - 0.4), y1 - 10 * math.sin(angle - 0.4)),
        (x1 - 10 * math.cos(angle + 0.4), y1 - 10 * math.sin(angle + 0.4)),
    ]
    points = " ".join(f"{x:.1f},{y:.1f}" for x, y in head)
    lx, ly = x1 + 8 * math.cos(angle), y1 + 8 * math.sin(angle) + 4
    return (
        f'<line x1="{x0:.1f}" y1="{y0:.1f}" x2="{x1:.1f}" y2="{y1:.1f}" stroke="{colour}" '
        f'stroke-width="3"/><polygon points="{points}" fill="{colour}"/>'
        f'<text x="{lx:.1f}" y="{ly:.1f}" fill="{colour}" text-anchor="{anchor}">{label}</text>'
    )


def panel(left, title, labels, turn):
    """One view: the three axes with their labels (x, depth, up), a lever along the depth axis and
    the arc of a positive turn about the up axis."""
    origin = (left + PANEL / 2, 170)
    o = project(0, 0, 0, origin)
    parts = [
        f'<text x="{left + PANEL / 2}" y="28" fill="{INK}" text-anchor="middle" '
        f'font-weight="bold">{title}</text>'
    ]
    parts.append(arrow(o, project(95, 0, 0, origin), RED, labels[0], "end"))
    parts.append(arrow(o, project(0, 95, 0, origin), GREEN, labels[1]))
    parts.append(arrow(o, project(0, 0, 110, origin), BLUE, labels[2]))
    # The lever: a bar from the hinge along the depth axis, lying a little above the floor.
    a, b = project(0, 10, 12, origin), project(0, 80, 12, origin)
    parts.append(
        f'<line x1="{a[0]:.1f}" y1="{a[1]:.1f}" x2="{b[0]:.1f}" y2="{b[1]:.1f}" '
        f'stroke="{MUTED}" stroke-width="9" stroke-linecap="round"/>'
    )
    # A positive turn about the up axis (right-hand rule: from x towards depth), drawn at its top:
    # counter-clockwise seen from the axis' tip.
    arc = [
        project(30 * math.cos(t), 30 * math.sin(t), 80, origin)
        for t in [math.radians(d) for d in range(-20, 200, 10)]
    ]
    path = " ".join(f"{'M' if i == 0 else 'L'}{x:.1f},{y:.1f}" for i, (x, y) in enumerate(arc))
    parts.append(
        f'<path d="{path}" fill="none" stroke="{INK}" stroke-width="2" '
        f'marker-end="url(#head)"/>'
    )
    parts.append(
        f'<text x="{left + PANEL / 2}" y="{HEIGHT - 14}" fill="{INK}" '
        f'text-anchor="middle">{turn}</text>'
    )
    return "".join(parts)


def picture(panels):
    width = PANEL * len(panels)
    body = "".join(panel(i * PANEL, *p) for i, p in enumerate(panels))
    return (
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{HEIGHT}" '
        f'viewBox="0 0 {width} {HEIGHT}" font-family="sans-serif" font-size="13">'
        f'<defs><marker id="head" markerWidth="8" markerHeight="8" refX="6" refY="4" '
        f'orient="auto"><path d="M0,0 L8,4 L0,8 z" fill="{INK}"/></marker></defs>'
        f'<rect width="{width}" height="{HEIGHT}" fill="#111729"/>{body}</svg>\n'
    )


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs", "pictures")
    z_up = picture(
        [
            (
                "In your Z-up tool",
                ("X", "Y", "Z (up)"),
                "_az: a turn about the object's Z (arrow: +)",
            ),
            (
                "In the exported .glb (--axes z-up)",
                ("+X", "-Z (was Y)", "+Y (was Z)"),
                "the same turn: about the node's +Y",
            ),
        ]
    )
    y_up = picture(
        [
            (
                "Node axes that are the frame axes (--axes y-up)",
                ("+X", "+Y", "+Z"),
                "_az: a turn about the node's +Z (arrow: +)",
            ),
        ]
    )
    for name, svg in (("axes-z-up.svg", z_up), ("axes-y-up.svg", y_up)):
        with open(os.path.join(out, name), "w", encoding="utf-8") as f:
            f.write(svg)


if __name__ == "__main__":
    main()
