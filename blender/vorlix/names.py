"""Building a frame name from vorlix-sim's component catalogue: the prefix and key, the author's
own word, then each marker with its number. Everything about the components comes from the
catalogue that the program writes."""

import json

from . import tool

# Blender cuts an object's name after this many bytes, which would cut off markers.
LONGEST_NAME = 63

_catalogues = {}  # program: its catalogue, read once a session


def catalogue(program):
    if program not in _catalogues:
        try:
            _catalogues[program] = json.loads(tool.run(program, ["catalogue"]))
        except ValueError as error:
            raise tool.ToolError(
                "vorlix-sim catalogue wrote no document that can be read"
            ) from error
    return _catalogues[program]


def component(catalogue_document, key):
    for entry in catalogue_document["components"]:
        if entry["key"] == key:
            return entry
    raise tool.ToolError(f"the catalogue has no component {key!r}")


def range_text(low, high):
    """A range as a person writes it: "1 to 360", "-360 to 360, not 0"."""
    text = f"{low} to {high}"
    return f"{text}, not 0" if low < 0 < high else text


def accepted(parameter, value):
    """The catalogue's range is what check accepts without a warning, and 0 never is: a part
    set to 0 never moves, a needle with a full scale of 0 swings to full scale at once."""
    low, high = parameter["range"]
    return low <= value <= high and value != 0


def limits(parameter):
    low, high = parameter["range"]
    return f"default {parameter['default']}, {range_text(low, high)}"


def build_name(catalogue_document, key, word, values, switch_on):
    """The name of a frame of component KEY with the author's WORD and the parameter VALUES
    ({marker: whole number}); SWITCH_ON adds the component's kilometres marker. Raises ToolError
    for a value out of the component's range or a name too long for Blender."""
    prefix = catalogue_document["prefix"]
    entry = component(catalogue_document, key)
    name = key if key.startswith(prefix) else prefix + key
    if word:
        name += "_" + word
    # Markers come last: the last one followed by digits counts, so a word cannot override them.
    for parameter in entry["parameters"]:
        marker, value = parameter["marker"], values.get(parameter["marker"], parameter["default"])
        if not accepted(parameter, value):
            raise tool.ToolError(
                f"{entry['title']}: {parameter['label']} {value} is out of range "
                f"({range_text(*parameter['range'])})"
            )
        separator = "" if marker.startswith("_") else "_"
        name += f"{separator}{marker}{int(value)}"
    if switch_on and entry.get("kilometres"):
        name += entry["kilometres"]
    if len(name.encode()) > LONGEST_NAME:
        raise tool.ToolError(f"{name} is longer than the {LONGEST_NAME} bytes of a Blender name")
    return name
