"""The editor's geometry and image table, read from the C++ headers that the
plug-in is built from (effect/EditorGeometry.h, effect/EditorImages.h), so
the pictures line up with the controls by construction."""

import collections
import os
import re

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
GEOMETRY_HEADER = os.path.join(ROOT, "effect", "EditorGeometry.h")
IMAGES_HEADER = os.path.join(ROOT, "effect", "EditorImages.h")

Image = collections.namedtuple("Image", "resource_id file frames")

_VALUE = re.compile(r"inline constexpr (Point|Rect) k(\w+)\{([^}]*)\};")
_IMAGE = re.compile(r'IMAGE\((\w+), (\d+), "([^"]+)", (\d+)\)')


def _read(path, pattern):
    with open(path, encoding="utf-8") as f:
        found = pattern.findall(f.read())
    if not found:
        raise SystemExit(f"editor_layout: nothing found in {path}")
    return found


def geometry():
    """Name (without the k) -> tuple of ints: (x, y) or (left, top, right, bottom)."""
    values = {}
    for kind, name, numbers in _read(GEOMETRY_HEADER, _VALUE):
        value = tuple(int(n) for n in numbers.split(","))
        if len(value) != (2 if kind == "Point" else 4):
            raise SystemExit(f"editor_layout: k{name} has {len(value)} numbers")
        values[name] = value
    return values


def images():
    """Name -> Image(resource_id, file, frames), in table order."""
    return {name: Image(int(rid), file, int(frames))
            for name, rid, file, frames in _read(IMAGES_HEADER, _IMAGE)}
