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


# Beyond this a range's end stands for "no limit" (the largest number a name can hold).
NO_LIMIT = 1e9


def number_text(value):
    return str(int(value)) if float(value).is_integer() else str(value)


def range_text(low, high):
    """A range as a person writes it: "0 to 20", "0 or more", "any whole number"."""
    if low <= -NO_LIMIT and high >= NO_LIMIT:
        return "any whole number"
    if high >= NO_LIMIT:
        return f"{number_text(low)} or more"
    if low <= -NO_LIMIT:
        return f"{number_text(high)} or less"
    return f"{number_text(low)} to {number_text(high)}"


def limits(parameter):
    low, high = parameter["range"]
    return f"default {number_text(parameter['default'])}, {range_text(low, high)}"


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
        low, high = parameter["range"]
        if not low <= value <= high:
            raise tool.ToolError(
                f"{entry['title']}: {parameter['label']} {value} is out of range "
                f"({range_text(low, high)})"
            )
        separator = "" if marker.startswith("_") else "_"
        name += f"{separator}{marker}{int(value)}"
    if switch_on and entry.get("kilometres"):
        name += entry["kilometres"]
    if len(name.encode()) > LONGEST_NAME:
        raise tool.ToolError(f"{name} is longer than the {LONGEST_NAME} bytes of a Blender name")
    return name
