#!/usr/bin/env python3
"""Writes the pictures of the model authors' guide (docs/pictures/) from real runs of vorlix-sim with
the real library: one file per plot of the demo ride's report (what every component of the
motorbike did), and a screenshot of the sample model's preview in headless Chromium.

    scripts/make-guide-pictures.py [VORLIX_SIM]    (default: build/linux-x86/bin/vorlix-sim)

Run it from the repository's root after a change that shows in the report, and commit the result.
"""

import html
import os
import re
import subprocess
import sys
import tempfile

# Picture name -> the motorbike's plot it shows: the frame in the plot's heading, or "Ride".
PICTURES = {
    "ride": "Ride",
    "front-brake": "vx_fbrake_az-30",
    "rear-brake": "vx_rbrake_ax25",
    "clutch-lever": "vx_cl_az20",
    "gear-lever": "vx_gl_o12",
    "chain": "vx_chain",
    "gear-meter": "vx_gm",
    "odometer": "vx_om_kph",
    "speedometer": "vx_sm_m220_r270",
    "rev-counter": "vx_rpm_m80_270",
}
VEHICLE = "motorbike"
HEADING = 30  # room above the plot for its title
SAMPLE_MODEL = "scenes/models/motorbike.glb"
PREVIEW_RENDER = 300  # in fourth gear, the clutch lever out, the needles up


def report_of_demo(program):
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(
            [program, "demo", "--out", out],
            check=True,
            cwd=out,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )
        with open(os.path.join(out, "report.html"), encoding="utf-8") as f:
            return f.read()


def plot_style(page):
    """The report's rules for its plots, with its colour variables written out."""
    css = re.search(r"<style>(.*?)</style>", page, re.S).group(1)
    colours = dict(re.findall(r"--(\w+):(#[0-9a-fA-F]+)", css))
    rules = [line[len("svg ") :] for line in css.splitlines() if line.startswith("svg .")]
    style = "\n".join(rules)
    style = re.sub(r"var\(--(\w+)\)", lambda m: colours[m.group(1)], style)
    return style, colours


def plots(page, vehicle):
    section = re.search(
        rf"<section class='vehicle'><h2>{re.escape(vehicle)}</h2>(.*?)</section>", page, re.S
    ).group(1)
    found = {}
    for card in re.finditer(
        r"<div class='card'><h3>(.*?) <code>(.*?)</code></h3>(.*?)<svg (.*?)>(.*?)</svg>",
        section,
        re.S,
    ):
        title, code, between, attributes, body = card.groups()
        what = re.search(r"<div class='what'>(.*?)</div>", between)
        found["Ride" if title == "Ride" else html.unescape(code)] = {
            "title": html.unescape(title),
            "code": html.unescape(code),
            "note": html.unescape(what.group(1)) if what else "",
            "legend": [
                (colour, html.unescape(label))
                for colour, label in re.findall(
                    r"<i style='background:(#[0-9a-fA-F]+)'></i>(.*?)</span>", between
                )
            ],
            "viewBox": re.search(r"viewBox='([^']*)'", attributes).group(1),
            "body": body,
        }
    return found


def legend_items(plot, right, y):
    """The plot's legend, right-aligned: a swatch and a label per line drawn."""
    items, x = [], right
    for colour, label in reversed(plot["legend"]):
        x -= 7 * len(label)
        items.append(f"<text class='note' x='{x:g}' y='{y:g}'>{html.escape(label)}</text>")
        x -= 20
        items.append(f"<rect x='{x:g}' y='{y - 5:g}' width='14' height='3' fill='{colour}'/>")
        x -= 14
    return "".join(reversed(items))


def standalone(plot, style, colours):
    x, y, width, height = (float(v) for v in plot["viewBox"].split())
    total = height + HEADING
    top = y - HEADING
    return (
        f"<svg xmlns='http://www.w3.org/2000/svg' width='{width:g}' height='{total:g}' "
        f"viewBox='{x:g} {top:g} {width:g} {total:g}'>\n"
        f"<style>\n{style}\ntext.title {{ fill:{colours['ink']}; font:600 14px sans-serif; }}\n"
        f"tspan.code {{ fill:{colours['accent']}; font:12px monospace; }}\n"
        f"text.note {{ fill:{colours['muted']}; font:12px sans-serif; }}\n</style>\n"
        f"<rect x='{x:g}' y='{top:g}' width='{width:g}' height='{total:g}' fill='{colours['card']}'/>\n"
        f"<text class='title' x='{x + 14:g}' y='{top + 20:g}'>{html.escape(plot['title'])} "
        f"<tspan class='code'>{html.escape(plot['code'])}</tspan></text>"
        f"<text class='note' x='{x + width - 14:g}' y='{top + 20:g}' text-anchor='end'>{html.escape(plot['note'])}</text>"
        f"{legend_items(plot, x + width - 14, top + 20)}\n"
        f"{plot['body']}\n</svg>\n"
    )


def preview_screenshot(program, picture):
    """The sample model's preview, moved to one render of its ride."""
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(
            [program, "preview", os.path.abspath(SAMPLE_MODEL), "--out", out],
            check=True,
            cwd=out,
            stdout=subprocess.DEVNULL,
        )
        with open(os.path.join(out, "preview.html"), encoding="utf-8") as f:
            page = f.read()
        seek = (
            f"<script>addEventListener('load', () => vorlixPreview.ready.then(() => "
            f"vorlixPreview.seek({PREVIEW_RENDER})));</script></body>"
        )
        with open(os.path.join(out, "at.html"), "w", encoding="utf-8") as f:
            f.write(page.replace("</body>", seek, 1))
        subprocess.run(
            [
                "chromium",
                "--headless",
                "--no-sandbox",
                "--disable-gpu",
                "--disable-quic",
                "--no-first-run",
                "--disable-background-networking",
                "--disable-component-update",
                "--disable-sync",
                f"--user-data-dir={os.path.join(out, 'profile')}",
                "--hide-scrollbars",
                "--virtual-time-budget=8000",
                "--window-size=1200,800",
                f"--screenshot={os.path.abspath(picture)}",
                "file://" + os.path.join(out, "at.html"),
            ],
            check=True,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "build/linux-x86/bin/vorlix-sim"
    page = report_of_demo(os.path.abspath(program))
    style, colours = plot_style(page)
    found = plots(page, VEHICLE)
    os.makedirs("docs/pictures", exist_ok=True)
    for name, heading in PICTURES.items():
        if heading not in found:
            sys.exit(f"the demo's report has no plot of {heading} for the {VEHICLE}")
        with open(f"docs/pictures/{name}.svg", "w", encoding="utf-8", newline="\n") as f:
            f.write(standalone(found[heading], style, colours))
        print(f"docs/pictures/{name}.svg: {found[heading]['title']} {found[heading]['code']}")
    preview_screenshot(os.path.abspath(program), "docs/pictures/preview.png")
    print(f"docs/pictures/preview.png: {SAMPLE_MODEL} at render {PREVIEW_RENDER}")


if __name__ == "__main__":
    main()
