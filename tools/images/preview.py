#!/usr/bin/python3
"""Composes a picture of the whole editor from the images in img/, the way the
editor paints them, for one set of parameter values; writes
docs/panel-preview.png. A design aid only: run make_images.py first.

Usage: /usr/bin/python3 tools/images/preview.py [--list-open] [--reset-held] [--scale N] [OUT]
"""

import argparse
import os
import sys

from PIL import Image, ImageDraw, ImageFont

import editor_layout

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
IMG = os.path.join(ROOT, "img")
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"

KNOB_SWEEP = 300.0
TEXT_SIZE, TEXT_GAP = 14, 6
VALUE_COLOUR = (255, 255, 255, 200)

G = editor_layout.geometry()
KNOB_HALF, WIDE_KNOB_HALF = 16, 30


def knob(name, value, text, half=KNOB_HALF):
    """pivot, rectangle (knob and read-out below it), normalised value, read-out"""
    cx, cy = G[name]
    return (cx, cy), (cx - half, cy - 16, cx + half, cy + 16 + TEXT_SIZE + TEXT_GAP), value, text


KNOBS = (
    knob("FilterFreqKnob", 0.72, "2400Hz", WIDE_KNOB_HALF),
    knob("FilterBandwidthKnob", 0.35, "1.20"),
    knob("FilterMixKnob", 1.0, "100%"),
    knob("EnvAttackKnob", 0.0, "1ms"),
    knob("EnvDecayKnob", 0.25, "250ms"),
    knob("EnvSustainKnob", 0.5, "50%"),
    knob("EnvReleaseKnob", 0.6, "600ms"),
    knob("EnvDepthKnob", 0.9, "90%"),
)
FILTER_TYPE = 2  # 0 LP, 1 HP, 2 BP
TARGET = 1  # 0 none .. 3 mix
DIRECTION_DOWN = True
VOL_COMP = 6 / 24.0
COMP_MODE = 1  # 0 left, 1 right, 2 both
GRAPH_VALUE = 0.62  # position of the marker within the target's range


def load(name):
    return Image.open(os.path.join(IMG, name)).convert("RGBA")


def nearest(v):
    return int(v + 0.5) if v >= 0 else -int(-v + 0.5)


def frame(img, index, count, horizontal):
    w, h = img.size
    if horizontal:
        fw = w // count
        return img.crop((fw * index, 0, fw * (index + 1), h))
    fh = h // count
    return img.crop((0, fh * index, w, fh * (index + 1)))


def value_text(panel, rect, text):
    layer = Image.new("RGBA", panel.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    fnt = ImageFont.truetype(FONT, 11)
    cx = (rect[0] + rect[2]) / 2
    cy = rect[3] - TEXT_SIZE / 2
    d.text((cx, cy), text, font=fnt, fill=VALUE_COLOUR, anchor="mm")
    panel.alpha_composite(layer)


def compose(list_open, reset_held):
    panel = load("bg.png")

    knob = load("knob.png")
    indicator, cap = frame(knob, 0, 2, True), frame(knob, 1, 2, True)
    for (cx, cy), rect, value, text in KNOBS:
        value_text(panel, rect, text)
        degrees = KNOB_SWEEP * (value - 0.5)
        turned = indicator.rotate(-degrees, resample=Image.BICUBIC)
        panel.alpha_composite(turned, (cx - 16, cy - 16))
        panel.alpha_composite(cap, (cx - 16, cy - 16))

    strip = load("flt_tp.png")
    x = 24 * FILTER_TYPE
    tx, ty = G["FilterTypeButtons"]
    panel.alpha_composite(strip.crop((x, 0, x + 24, 13)), (tx + x, ty))

    if reset_held:
        panel.alpha_composite(load("reset.png"), G["EnvResetButton"])

    panel.alpha_composite(frame(load("mod_tg.png"), TARGET, 4, False), G["EnvTargetMenu"])

    if DIRECTION_DOWN:
        panel.alpha_composite(load("adsr_tp.png"), G["EnvDirectionButton"])

    # Slider: read-out, grey bar from the track start to the handle centre, handle.
    sx0, sy0, sx1, _ = slider = G["EnvVolCompensationSlider"]
    travel = sx1 - sx0 - 16
    value_text(panel, slider, "%ddB" % round(VOL_COMP * 24))
    right = nearest(travel * VOL_COMP + 8 + sx0)
    ImageDraw.Draw(panel).rectangle((sx0 + 1, sy0 + 5, right - 1, sy0 + 10), fill=(120, 120, 120, 255))
    panel.alpha_composite(load("slider.png"), (nearest(sx0 + travel * VOL_COMP), sy0))

    panel.alpha_composite(frame(load("comp.png"), COMP_MODE, 3, False), G["EnvCompensationSwitch"])

    gx0, gy0, gx1, gy1 = G["EnvelopeStrip"]
    p = nearest(GRAPH_VALUE * (gx1 - gx0 - 6))
    marker = Image.new("RGBA", panel.size, (0, 0, 0, 0))
    ImageDraw.Draw(marker).rectangle((gx0 + p, gy0, gx0 + p + 5, gy1 - 1), fill=(255, 255, 255, 150))
    panel.alpha_composite(marker)

    if list_open:
        panel.alpha_composite(load("mod_tg_.png"), (G["EnvTargetMenu"][0], G["EnvTargetMenu"][1] + 12))
    return panel


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("out", nargs="?", default=os.path.join(ROOT, "docs", "panel-preview.png"))
    ap.add_argument("--list-open", action="store_true", help="show the target list opened")
    ap.add_argument("--reset-held", action="store_true", help="show the reset button held down")
    ap.add_argument("--scale", type=int, default=1, help="enlarge by this factor (nearest pixel)")
    args = ap.parse_args()
    panel = compose(args.list_open, args.reset_held).convert("RGB")
    if args.scale > 1:
        panel = panel.resize((panel.width * args.scale, panel.height * args.scale), Image.NEAREST)
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    panel.save(args.out, "PNG", optimize=True)
    print("wrote", args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
