#!/usr/bin/python3
"""Draws the editor's nine PNG images into img/, and the same design drawn
at two and three times the size into img/2x/ and img/3x/ (for screens at
those scales; every coordinate below is in 1x units).

Run from anywhere: /usr/bin/python3 tools/images/make_images.py
With --check it writes nothing and fails if a committed image differs from
what it would draw (a test runs it so).
Needs Debian's python3-pil and fonts-dejavu-core (the interpreter is Debian's
own, because that is where python3-pil installs). The output is a pure
function of this file, so the committed PNGs can be rebuilt byte for byte on
the same Debian release.

Shapes are drawn at SS_AT[k] times the size of set k and reduced with a
Lanczos filter for smooth edges (the larger sets need less: their own pixels
are finer); text is drawn at the set's size, unsampled, so that FreeType's
hinting keeps small captions crisp. Every frame of a strip is drawn on its own and pasted, so no
frame bleeds into its neighbour.
"""

import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

import editor_layout

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
OUT_DIR = os.path.join(ROOT, "img")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"

SS = 4  # supersampling factor for shapes at 1x; the larger sets need less
SS_AT = {1: SS, 2: 2, 3: 2}
SETS = (1, 2, 3)  # the sizes drawn; set k goes to img/kx/ (1x to img/)
S = 1  # the size being drawn now

# Palette (RGB). One warm accent on neutral, slightly blue greys.
BG_TOP = (30, 33, 38)
BG_BOTTOM = (18, 20, 23)
BAR_TOP = (40, 44, 50)
BAR_BOTTOM = (26, 29, 33)
PANEL_TOP = (39, 43, 49)
PANEL_BOTTOM = (31, 34, 39)
PANEL_EDGE = (56, 61, 69)
PANEL_SHADOW = (10, 11, 13)
HIGHLIGHT = (255, 255, 255)
RECESS_EDGE = (58, 63, 71)
WELL = (14, 15, 18)
CAPTION = (196, 201, 208)
CAPTION_DIM = (128, 134, 143)
TICK = (104, 110, 119)
ACCENT = (242, 161, 58)
ACCENT_DARK = (178, 104, 24)
ACCENT_LIGHT = (255, 196, 112)
INK_ON_ACCENT = (34, 24, 12)
BUTTON_TOP = (52, 57, 64)
BUTTON_BOTTOM = (36, 40, 46)
BUTTON_EDGE = (74, 80, 90)
FIELD = (20, 22, 26)
FIELD_EDGE = (70, 76, 86)
LIST_ROW = (47, 52, 59)
LIST_ROW_ALT = (42, 46, 53)
LIST_EDGE = (96, 103, 114)
LIST_TEXT = (226, 229, 233)
CAP_TOP = (112, 119, 130)
CAP_BOTTOM = (44, 48, 55)
SKIRT = (33, 36, 41)
SKIRT_EDGE = (74, 80, 90)
SKIRT_LIGHT = (58, 63, 71)

SANS = "DejaVuSans.ttf"
SANS_BOLD = "DejaVuSans-Bold.ttf"
COND_BOLD = "DejaVuSansCondensed-Bold.ttf"

# Editor geometry the pictures must line up with, from the plug-in's own headers.
GEOMETRY = editor_layout.geometry()
IMAGES = editor_layout.images()
W, H = GEOMETRY["EditorSize"]
LINK = GEOMETRY["Link"]
FILTER_PANEL = (8, 64, 194, 240)
ENV_PANEL = (198, 64, 499, 240)
FILTER_KNOBS = tuple(
    GEOMETRY[name] + (caption,)
    for name, caption in (("FilterFreqKnob", "FREQ"), ("FilterBandwidthKnob", "WIDTH"), ("FilterMixKnob", "MIX"))
)
ENV_KNOBS = tuple(
    GEOMETRY[f"Env{name}Knob"] + (name.upper(),) for name in ("Attack", "Decay", "Sustain", "Release", "Depth")
)
KNOB_SWEEP = 300.0
CAP_R = 8.8  # the cap leaves the outer ring of the indicator, and its pointer, visible
TYPE_AT = GEOMETRY["FilterTypeButtons"]
TYPE_LABELS = ("LP", "HP", "BP")
RESET_AT = GEOMETRY["EnvResetButton"]
TARGET_AT = GEOMETRY["EnvTargetMenu"]
TARGET_LABELS = ("none", "freq", "bw", "mix")
DIRECTION_AT = GEOMETRY["EnvDirectionButton"]
SLIDER_AREA = GEOMETRY["EnvVolCompensationSlider"]
SLIDER_BAR_Y = (SLIDER_AREA[1] + 5, SLIDER_AREA[1] + 11)
COMP_AT = GEOMETRY["EnvCompensationSwitch"]
GRAPH_STRIP = GEOMETRY["EnvelopeStrip"]
KNOB_CAPTION_Y = 146
ROW_CAPTION_Y = 101


# ---------------------------------------------------------------- helpers


def font(name, size):
    return ImageFont.truetype(os.path.join(FONT_DIR, name), size * S)


def at(xy):
    """A 1x point in the pixels of the size being drawn."""
    return (xy[0] * S, xy[1] * S)


def rgba(c, a=255):
    return (c[0], c[1], c[2], a)


def mix(c0, c1, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c0, c1))


class Layer:
    """An RGBA drawing surface in 1x coordinates, rasterised at SS_AT[S] x S
    times the size; resolve() reduces it to the size being drawn."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.k = SS_AT[S] * S  # raster pixels per 1x unit
        self.img = Image.new("RGBA", (w * self.k, h * self.k), (0, 0, 0, 0))

    def _box(self, box):
        x0, y0, x1, y1 = box
        k = self.k
        # Box corners are pixel edges in 1x; PIL's boxes are inclusive.
        return (x0 * k, y0 * k, x1 * k - 1, y1 * k - 1)

    def over(self, other):
        """Composites another Layer of the same size over this one."""
        self.img = Image.alpha_composite(self.img, other.img)

    def shape_mask(self, draw_fn):
        mask = Image.new("L", self.img.size, 0)
        draw_fn(ImageDraw.Draw(mask))
        return mask

    def fill_mask(self, mask, colour, alpha=255):
        solid = Image.new("RGBA", self.img.size, rgba(colour, 0))
        solid.putalpha(mask.point(lambda v: v * alpha // 255))
        self.img = Image.alpha_composite(self.img, solid)

    def gradient_mask(self, mask, top_colour, bottom_colour, y0, y1, alpha=255):
        """Fills the mask with a vertical gradient running from y0 to y1."""
        grad = Image.new("RGBA", self.img.size)
        gd = ImageDraw.Draw(grad)
        span = max(1, (y1 - y0) * self.k)
        for row in range(self.img.size[1]):
            t = min(1.0, max(0.0, (row - y0 * self.k) / span))
            gd.line([(0, row), (self.img.size[0], row)], fill=rgba(mix(top_colour, bottom_colour, t)))
        grad.putalpha(mask.point(lambda v: v * alpha // 255))
        self.img = Image.alpha_composite(self.img, grad)

    def round_rect_mask(self, box, radius):
        return self.shape_mask(lambda d: d.rounded_rectangle(self._box(box), radius=radius * self.k, fill=255))

    def round_rect(self, box, radius, colour, alpha=255):
        self.fill_mask(self.round_rect_mask(box, radius), colour, alpha)

    def round_rect_gradient(self, box, radius, top, bottom, alpha=255):
        self.gradient_mask(self.round_rect_mask(box, radius), top, bottom, box[1], box[3], alpha)

    def circle_mask(self, cx, cy, r):
        k = self.k
        return self.shape_mask(lambda d: d.ellipse(((cx - r) * k, (cy - r) * k, (cx + r) * k - 1, (cy + r) * k - 1), fill=255))

    def circle(self, cx, cy, r, colour, alpha=255):
        self.fill_mask(self.circle_mask(cx, cy, r), colour, alpha)

    def circle_gradient(self, cx, cy, r, top, bottom, alpha=255):
        self.gradient_mask(self.circle_mask(cx, cy, r), top, bottom, cy - r, cy + r, alpha)

    def ring(self, cx, cy, r_out, r_in, colour, alpha=255):
        outer = self.circle_mask(cx, cy, r_out)
        inner = self.circle_mask(cx, cy, r_in)
        self.fill_mask(Image.composite(Image.new("L", outer.size, 0), outer, inner), colour, alpha)

    def line(self, points, colour, width, alpha=255, round_caps=True):
        k = self.k
        pts = [(x * k, y * k) for x, y in points]

        def draw(d):
            d.line(pts, fill=255, width=int(round(width * k)), joint="curve")
            if round_caps:
                r = width * k / 2
                for x, y in (pts[0], pts[-1]):
                    d.ellipse((x - r, y - r, x + r, y + r), fill=255)

        self.fill_mask(self.shape_mask(draw), colour, alpha)

    def polygon(self, points, colour, alpha=255):
        pts = [(x * self.k, y * self.k) for x, y in points]
        self.fill_mask(self.shape_mask(lambda d: d.polygon(pts, fill=255)), colour, alpha)

    def resolve(self):
        return self.img.resize((self.w * S, self.h * S), Image.LANCZOS)


def text_mask(size, xy, text, fnt, tracking=0.0, anchor="ls"):
    """Draws text into a fresh L mask at xy (pixels of the size drawn);
    tracking (1x) adds space between characters. anchor: l/m/r
    horizontally, s (baseline) only vertically."""
    mask = Image.new("L", size, 0)
    d = ImageDraw.Draw(mask)
    tracking *= S
    width = text_width(text, fnt, tracking / S) * S
    x, y = xy
    if anchor[0] == "m":
        x -= width / 2
    elif anchor[0] == "r":
        x -= width
    if tracking == 0:
        d.text((round(x), y), text, font=fnt, fill=255, anchor="ls")
    else:
        for ch in text:
            d.text((round(x), y), ch, font=fnt, fill=255, anchor="ls")
            x += fnt.getlength(ch) + tracking
    return mask


def text_width(text, fnt, tracking=0.0):
    """Width in 1x units."""
    if tracking == 0:
        return fnt.getlength(text) / S
    return sum(fnt.getlength(ch) for ch in text) / S + tracking * (len(text) - 1)


def cap_baseline(fnt, centre_y):
    """Baseline (pixels of the size drawn) that centres capital letters on
    centre_y (1x)."""
    top = fnt.getbbox("H", anchor="ls")[1]  # negative: cap height above baseline
    return int(round(centre_y * S - top / 2.0))


def put_text(img, xy, text, fnt, colour, alpha=255, tracking=0.0, anchor="ls"):
    """Composites text onto an RGBA image without dark fringes; xy in 1x."""
    return put_text_at(img, at(xy), text, fnt, colour, alpha, tracking, anchor)


def put_text_at(img, xy, text, fnt, colour, alpha=255, tracking=0.0, anchor="ls"):
    """put_text with xy in pixels of the size drawn."""
    mask = text_mask(img.size, xy, text, fnt, tracking, anchor)
    solid = Image.new("RGBA", img.size, rgba(colour, 0))
    solid.putalpha(mask.point(lambda v: v * alpha // 255))
    return Image.alpha_composite(img, solid)


def put_caption(img, cx, cy, text, fnt, colour, alpha=255, tracking=0.0, anchor="m"):
    return put_text_at(img, (cx * S, cap_baseline(fnt, cy)), text, fnt, colour, alpha, tracking, anchor + "s")


def flatten(img, colour):
    """An RGB image of img composited over a solid colour."""
    base = Image.new("RGBA", img.size, rgba(colour))
    return Image.alpha_composite(base, img).convert("RGB")


def flatten_on(img, panel, xy):
    """An RGB image of img composited over the panel where the editor puts
    it, so that its rounded corners blend into the real surroundings."""
    x, y = at(xy)
    under = panel.crop((x, y, x + img.width, y + img.height))
    return Image.alpha_composite(under, img).convert("RGB")


def shadow_layer(w, h, box, radius, offset, blur_steps, alpha):
    """A soft drop shadow built from a few concentric rounded rects."""
    layer = Layer(w, h)
    x0, y0, x1, y1 = box
    for i in range(blur_steps, 0, -1):
        grow = i * 0.75
        layer.round_rect(
            (x0 - grow, y0 - grow + offset, x1 + grow, y1 + grow + offset),
            radius + grow,
            PANEL_SHADOW,
            alpha // blur_steps,
        )
    return layer


# ------------------------------------------------------------ components


def draw_button_body(layer, box, radius, top=BUTTON_TOP, bottom=BUTTON_BOTTOM, edge=BUTTON_EDGE):
    """A raised rounded button: dark edge, gradient face, top highlight."""
    layer.round_rect(box, radius, PANEL_SHADOW, 200)
    x0, y0, x1, y1 = box
    layer.round_rect_gradient((x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5), radius - 0.5, edge, mix(edge, bottom, 0.6))
    layer.round_rect_gradient((x0 + 1, y0 + 1, x1 - 1, y1 - 1), radius - 1, top, bottom)
    layer.line([(x0 + radius, y0 + 1.5), (x1 - radius, y0 + 1.5)], HIGHLIGHT, 0.75, 40, False)


def draw_field(layer, box, radius):
    """A recessed dark field, as for a display or a drop-down."""
    x0, y0, x1, y1 = box
    layer.round_rect(box, radius, FIELD_EDGE)
    layer.round_rect((x0 + 1, y0 + 1, x1 - 1, y1 - 1), radius - 1, FIELD)
    layer.line([(x0 + radius, y0 + 1.5), (x1 - radius, y0 + 1.5)], PANEL_SHADOW, 1.0, 255, False)


def arrow_triangle(layer, cx, cy, size, up, colour):
    h = size * 0.8
    if up:
        pts = [(cx - size / 2, cy + h / 2), (cx + size / 2, cy + h / 2), (cx, cy - h / 2)]
    else:
        pts = [(cx - size / 2, cy - h / 2), (cx + size / 2, cy - h / 2), (cx, cy + h / 2)]
    layer.polygon(pts, colour)


def direction_face(up):
    """One look of the direction button, 50 x 16, RGBA."""
    w, h = 50, 16
    layer = Layer(w, h)
    draw_button_body(layer, (0, 0, w, h), 3)
    label = "UP" if up else "DOWN"
    fnt = font(COND_BOLD, 9)
    arrow, gap = 7, 4
    x0 = (w - (arrow + gap + text_width(label, fnt))) / 2
    arrow_triangle(layer, x0 + arrow / 2, 8, arrow, up, ACCENT)
    img = layer.resolve()
    return put_caption(img, int(round(x0 + arrow + gap)), 8, label, fnt, CAPTION, anchor="l")


def reset_face(pressed):
    """The reset button, 15 x 15, RGBA: a round button with a circular arrow."""
    size = 15
    c = size / 2
    layer = Layer(size, size)
    layer.circle(c, c, 7.5, PANEL_SHADOW, 220)
    if pressed:
        layer.circle_gradient(c, c, 6.8, ACCENT_LIGHT, ACCENT_DARK)
        ink = INK_ON_ACCENT
    else:
        layer.circle_gradient(c, c, 6.8, BUTTON_EDGE, mix(BUTTON_EDGE, BUTTON_BOTTOM, 0.6))
        layer.circle_gradient(c, c, 6.0, BUTTON_TOP, BUTTON_BOTTOM)
        ink = CAPTION
    # A circular arrow: 300 degrees of arc, head at the top right.
    r = 3.3
    pts = []
    for i in range(41):
        a = math.radians(-50 + 280 * i / 40)  # from the right, clockwise on screen
        pts.append((c + r * math.cos(a), c + r * math.sin(a)))
    layer.line(pts, ink, 1.3)
    hx, hy = pts[0]
    layer.polygon([(hx - 2.3, hy - 0.6), (hx + 1.6, hy - 1.9), (hx + 0.9, hy + 2.2)], ink)
    return layer.resolve()


def knob_indicator():
    """Left knob frame, 32 x 32: the turning skirt. Its pointer points
    straight up, which the editor shows at mid value (angle 0); it turns the
    frame about its centre by -150..+150 degrees for values 0..1."""
    n = 32
    c = n / 2
    layer = Layer(n, n)
    layer.circle(c, c, 15.6, PANEL_SHADOW, 230)
    layer.circle(c, c, 15.0, SKIRT_EDGE)
    # A conical skirt: shading depends on the radius only, so it looks the
    # same at every angle the editor turns it to.
    steps = 10
    for i in range(steps + 1):
        r = 14.4 - 4.4 * i / steps
        layer.circle(c, c, r, mix(SKIRT_LIGHT, SKIRT, i / steps))
    # Fine grip notches; they turn with the knob, which reads as motion.
    for i in range(36):
        a = 2 * math.pi * i / 36
        x0, y0 = c + 12.6 * math.sin(a), c - 12.6 * math.cos(a)
        x1, y1 = c + 14.2 * math.sin(a), c - 14.2 * math.cos(a)
        layer.line([(x0, y0), (x1, y1)], PANEL_SHADOW, 0.6, 120, False)
    layer.line([(c, c - 7.0), (c, c - 14.8)], ACCENT, 4.4, 70)
    layer.line([(c, c - 7.0), (c, c - 14.8)], ACCENT, 2.6)
    layer.line([(c, c - 8.0), (c, c - 14.2)], ACCENT_LIGHT, 0.9, 160)
    return layer.resolve()


def knob_cap():
    """Right knob frame, 32 x 32: the fixed shaded cap, transparent around."""
    n = 32
    c = n / 2
    layer = Layer(n, n)
    # Shadow falls a little downwards onto the skirt.
    for grow, alpha in ((2.2, 40), (1.5, 60), (0.8, 90)):
        layer.circle(c, c + 1.0, CAP_R + grow, PANEL_SHADOW, alpha)
    layer.circle_gradient(c, c, CAP_R, (150, 157, 168), (30, 33, 38))
    layer.circle_gradient(c, c, CAP_R - 0.8, CAP_TOP, CAP_BOTTOM)
    # Soft sheen on the upper half.
    sheen = Layer(n, n)
    sheen.circle(c, c - 2.8, 5.8, HIGHLIGHT, 26)
    layer.over(sheen)
    return layer.resolve()


def type_cell(index, selected):
    """One Filter Type button (24 x 13) in its selected or unselected look."""
    w, h = 24, 13
    layer = Layer(w, h)
    # Only the outer ends of the row are rounded; inner cells extend past
    # their box so that their square edges meet the neighbours.
    left = 0 if index == 0 else -4
    right = w if index == len(TYPE_LABELS) - 1 else w + 4
    if selected:
        layer.round_rect((left, 0, right, h), 3, ACCENT_DARK)
        layer.round_rect_gradient((left + 1, 1, right - 1, h - 1), 2, ACCENT_LIGHT, ACCENT)
        ink, alpha = INK_ON_ACCENT, 255
    else:
        layer.round_rect((left, 0, right, h), 3, FIELD_EDGE)
        layer.round_rect_gradient((left + 1, 1, right - 1, h - 1), 2, (24, 26, 30), (30, 33, 38))
        if index > 0:
            layer.line([(0.5, 1), (0.5, h - 1)], FIELD_EDGE, 1.0, 255, False)
        ink, alpha = CAPTION_DIM, 255
    img = layer.resolve()
    return put_caption(img, w / 2, 6.5, TYPE_LABELS[index], font(COND_BOLD, 9), ink, alpha)


def target_face(label):
    """One frame of the target drop-down's button, 44 x 12, RGBA."""
    w, h = 44, 12
    layer = Layer(w, h)
    draw_field(layer, (0, 0, w, h), 2.5)
    arrow_triangle(layer, 37.5, 6.3, 5.5, False, ACCENT)
    img = layer.resolve()
    colour = CAPTION_DIM if label == "none" else LIST_TEXT
    return put_text(img, (5, 9), label, font(SANS, 9), colour)


def target_list_row(index, label):
    """One row of the open target list, 44 x 12, opaque."""
    w, h = 44, 12
    layer = Layer(w, h)
    layer.round_rect((0, 0, w, h), 0, LIST_EDGE)
    top = 1 if index == 0 else 0
    bottom = h - 1 if index == len(TARGET_LABELS) - 1 else h
    layer.round_rect((1, top, w - 1, bottom), 0, LIST_ROW if index % 2 == 0 else LIST_ROW_ALT)
    if index > 0:
        layer.line([(1, 0.5), (w - 1, 0.5)], (36, 40, 46), 1.0, 255, False)
    img = layer.resolve()
    return flatten(put_text(img, (5, 9), label, font(SANS, 9), LIST_TEXT), LIST_EDGE)


def comp_face(mode):
    """One compensation switch frame, 31 x 20. The icon plots the
    extra gain over the target's range: high at the left end, at the right
    end, or at both ends."""
    w, h = 31, 20
    layer = Layer(w, h)
    draw_button_body(layer, (0, 0, w, h), 3)
    x0, x1, top, base = 7.5, 23.5, 3.6, 8.6
    if mode == "left":
        pts = [(x0, top), (x1, base)]
    elif mode == "right":
        pts = [(x0, base), (x1, top)]
    else:
        pts = [(x0, top), ((x0 + x1) / 2, base), (x1, top)]
    layer.line(pts, ACCENT, 1.5)
    img = layer.resolve()
    label = {"left": "LEFT", "right": "RIGHT", "both": "BOTH"}[mode]
    return put_caption(img, w / 2, 14.5, label, font(COND_BOLD, 8), CAPTION)


def slider_handle():
    """The volume compensation slider's handle, 16 x 16, RGBA."""
    n = 16
    c = n / 2
    layer = Layer(n, n)
    layer.circle(c, c + 0.6, 7.6, PANEL_SHADOW, 170)
    layer.circle_gradient(c, c, 7.0, (150, 157, 168), (30, 33, 38))
    layer.circle_gradient(c, c, 6.2, CAP_TOP, CAP_BOTTOM)
    layer.circle(c, c, 2.0, ACCENT)
    return layer.resolve()


# ------------------------------------------------------------ background


def knob_scale(layer, cx, cy):
    """Recessed well and tick scale of one knob, fixed on the panel."""
    layer.circle(cx, cy, 17.2, RECESS_EDGE, 120)
    layer.circle(cx, cy, 16.6, WELL)
    steps = 10
    for i in range(steps + 1):
        deg = -KNOB_SWEEP / 2 + KNOB_SWEEP * i / steps
        a = math.radians(deg)
        major = i in (0, steps // 2, steps)
        r0, r1 = 18.6, (21.6 if major else 20.4)
        p0 = (cx + r0 * math.sin(a), cy - r0 * math.cos(a))
        p1 = (cx + r1 * math.sin(a), cy - r1 * math.cos(a))
        layer.line([p0, p1], CAPTION_DIM if major else TICK, 1.0 if major else 0.8)


def section_panel(layer, box):
    x0, y0, x1, y1 = box
    layer.over(shadow_layer(W, H, box, 6, 1.5, 4, 160))
    layer.round_rect(box, 6, PANEL_EDGE)
    layer.round_rect_gradient((x0 + 1, y0 + 1, x1 - 1, y1 - 1), 5, PANEL_TOP, PANEL_BOTTOM)
    layer.line([(x0 + 6, y0 + 1.5), (x1 - 6, y0 + 1.5)], HIGHLIGHT, 0.8, 28, False)


def header_rule(layer, x0, x1, y):
    layer.line([(x0, y), (x1, y)], PANEL_SHADOW, 1.0, 200, False)
    layer.line([(x0, y + 1), (x1, y + 1)], HIGHLIGHT, 1.0, 14, False)


def emblem(layer, cx, cy, r):
    """The product mark: a resonant response curve inside a ring."""
    layer.ring(cx, cy, r, r - 1.4, ACCENT, 230)
    layer.circle(cx, cy, r - 1.4, (22, 24, 28))
    pts = []
    for i in range(61):
        t = i / 60.0
        # Second-order low-pass magnitude with its resonant peak at 0.58.
        f = t / 0.58
        mag = 1.0 / math.sqrt((1 - f * f) ** 2 + (f / 2.6) ** 2)
        y = cy + 0.18 * r - 20 * math.log10(mag) * 0.045 * r
        pts.append((cx - 0.65 * r + 1.3 * r * t, min(y, cy + 0.6 * r)))
    layer.line(pts, ACCENT, 0.1 * r)


def panel_base():
    """The background's surfaces, before any button faces or texts."""
    layer = Layer(W, H)
    layer.gradient_mask(Image.new("L", layer.img.size, 255), BG_TOP, BG_BOTTOM, 0, H)

    # Title bar.
    bar = (0, 0, W, 60)
    layer.gradient_mask(layer.round_rect_mask(bar, 0), BAR_TOP, BAR_BOTTOM, 0, 60)
    layer.line([(0, 59.5), (W, 59.5)], PANEL_SHADOW, 1.0, 255, False)
    layer.line([(0, 60.5), (W, 60.5)], HIGHLIGHT, 1.0, 12, False)

    # Name plate: the link area.
    lx0, ly0, lx1, ly1 = LINK
    layer.round_rect((lx0, ly0 + 1, lx1, ly1 + 1), 5, PANEL_SHADOW, 200)
    layer.round_rect(LINK, 5, (62, 67, 75))
    layer.round_rect_gradient((lx0 + 1, ly0 + 1, lx1 - 1, ly1 - 1), 4, (24, 26, 30), (15, 16, 19))
    emblem(layer, lx0 / 2, 30, 19)

    section_panel(layer, FILTER_PANEL)
    section_panel(layer, ENV_PANEL)
    header_rule(layer, FILTER_PANEL[0] + 8, FILTER_PANEL[2] - 8, 82.5)
    header_rule(layer, ENV_PANEL[0] + 8, ENV_PANEL[2] - 8, 82.5)

    for cx, cy, _ in FILTER_KNOBS + ENV_KNOBS:
        knob_scale(layer, cx, cy)

    # Slider groove: the editor fills its left part with a grey bar.
    sx0, _, sx1, _ = SLIDER_AREA
    by0, by1 = SLIDER_BAR_Y
    layer.round_rect((sx0, by0 - 1, sx1, by1 + 1), 2, RECESS_EDGE, 140)
    layer.round_rect((sx0 + 0.5, by0 - 0.5, sx1 - 0.5, by1 + 0.5), 1.5, WELL)

    # Envelope marker strip: a dark groove the marker slides along.
    gx0, gy0, gx1, gy1 = GRAPH_STRIP
    layer.round_rect((gx0 - 2, gy0 - 2, gx1 + 2, gy1 + 2), 2, RECESS_EDGE, 110)
    layer.round_rect((gx0 - 1, gy0 - 1, gx1 + 1, gy1 + 1), 1.5, WELL)

    # Drop-down and direction button sit in shallow recesses.
    tx, ty = TARGET_AT
    layer.round_rect((tx - 1, ty - 1, tx + 45, ty + 14), 3, PANEL_SHADOW, 110)
    dx, dy = DIRECTION_AT
    layer.round_rect((dx - 1, dy - 1, dx + 51, dy + 17), 4, PANEL_SHADOW, 110)
    cx_, cy_ = COMP_AT
    layer.round_rect((cx_ - 1, cy_ - 1, cx_ + 32, cy_ + 21), 4, PANEL_SHADOW, 110)

    return layer.resolve()


def background(base):
    img = base.copy()
    lx0, _, lx1, _ = LINK

    # Unselected Filter Type buttons, and the direction button's "Up" look.
    for i in range(len(TYPE_LABELS)):
        img.alpha_composite(type_cell(i, False), at((TYPE_AT[0] + 24 * i, TYPE_AT[1])))
    img.alpha_composite(direction_face(True), at(DIRECTION_AT))
    img.alpha_composite(reset_face(False), at(RESET_AT))

    # Texts.
    plate_mid = (lx0 + lx1) / 2
    img = put_text(img, (plate_mid, 36), "Quorvane", font(SANS_BOLD, 25), (236, 238, 241), anchor="ms")
    img = put_text(img, (plate_mid, 48), "KELTO", font(COND_BOLD, 8), ACCENT, tracking=2.6, anchor="ms")

    tag = font(COND_BOLD, 9)
    img = put_caption(img, 406, 24, "STEREO  ENVELOPE  FILTER", tag, CAPTION_DIM, tracking=1.4)
    img = put_caption(img, 406, 37, "MIDI-GATED  ADSR", tag, TICK, tracking=1.4)

    head = font(SANS_BOLD, 10)
    img = put_caption(img, FILTER_PANEL[0] + 10, 74, "FILTER", head, ACCENT, tracking=2.4, anchor="l")
    img = put_caption(img, ENV_PANEL[0] + 10, 74, "ENVELOPE", head, ACCENT, tracking=2.4, anchor="l")

    cap = font(COND_BOLD, 9)
    for cx, _, name in FILTER_KNOBS + ENV_KNOBS:
        img = put_caption(img, cx, KNOB_CAPTION_Y, name, cap, CAPTION, tracking=0.9)

    row = font(COND_BOLD, 8)
    img = put_caption(img, TYPE_AT[0] - 8, 118.5, "TYPE", row, CAPTION, tracking=0.9, anchor="r")
    img = put_caption(img, RESET_AT[0] + 19, 94.5, "RESET", row, CAPTION_DIM, tracking=0.9, anchor="l")
    img = put_caption(img, TARGET_AT[0] + 22, ROW_CAPTION_Y, "TARGET", row, CAPTION, tracking=0.9)
    img = put_caption(img, DIRECTION_AT[0] + 25, ROW_CAPTION_Y, "DIRECTION", row, CAPTION, tracking=0.9)
    img = put_caption(img, (SLIDER_AREA[0] + SLIDER_AREA[2]) / 2, ROW_CAPTION_Y, "VOL COMP", row, CAPTION, tracking=0.9)
    img = put_caption(img, COMP_AT[0] + 15.5, ROW_CAPTION_Y, "CURVE", row, CAPTION, tracking=0.9)

    small = font(COND_BOLD, 8)
    img = put_caption(img, GRAPH_STRIP[0] - 1, 224, "MIN", small, TICK, tracking=0.8, anchor="l")
    img = put_caption(img, GRAPH_STRIP[2] + 1, 224, "MAX", small, TICK, tracking=0.8, anchor="r")
    img = put_caption(img, (GRAPH_STRIP[0] + GRAPH_STRIP[2]) / 2, 224, "ENVELOPE OUTPUT", small, TICK, tracking=1.2)
    return img


# ------------------------------------------------------------ assembling


def strip(frames, horizontal, mode):
    fw, fh = frames[0].size
    for f in frames:
        require(f.size == (fw, fh), "frames of one strip differ in size")
    size = (fw * len(frames), fh) if horizontal else (fw, fh * len(frames))
    out = Image.new(mode, size)
    for i, f in enumerate(frames):
        out.paste(f.convert(mode), (fw * i, 0) if horizontal else (0, fh * i))
    return out


def require(condition, message):
    if not condition:
        raise SystemExit("make_images: " + message)


def build():
    """Image name -> (image, size, PNG colour type, frames) as the editor
    expects them, at the size being drawn (S)."""
    base = panel_base()
    comp_modes = ("left", "right", "both")

    def size(w, h):
        return (w * S, h * S)

    return {
        "Background": (background(base), size(W, H), "RGBA", 1),
        "Knob": (strip([knob_indicator(), knob_cap()], True, "RGBA"), size(64, 32), "RGBA", 2),
        "FilterType": (strip([type_cell(i, True) for i in range(3)], True, "RGBA"), size(72, 13), "RGBA", 3),
        "Target": (strip([target_face(t) for t in TARGET_LABELS], False, "RGBA"), size(44, 48), "RGBA", 4),
        "TargetList": (
            strip([target_list_row(i, t) for i, t in enumerate(TARGET_LABELS)], False, "RGB"),
            size(44, 48),
            "RGB",
            4,
        ),
        "Direction": (flatten_on(direction_face(False), base, DIRECTION_AT), size(50, 16), "RGB", 1),
        "SliderHandle": (slider_handle(), size(16, 16), "RGBA", 1),
        "Compensation": (
            strip([flatten_on(comp_face(m), base, COMP_AT) for m in comp_modes], False, "RGB"),
            size(31, 60),
            "RGB",
            3,
        ),
        "Reset": (reset_face(True), size(15, 15), "RGBA", 1),
    }


def set_dir(k):
    return OUT_DIR if k == 1 else os.path.join(OUT_DIR, "%dx" % k)


def set_file(k, name):
    return IMAGES[name].file if k == 1 else "%dx/%s" % (k, IMAGES[name].file)


def differences(k, images):
    """Files of set k whose pixels, size or colour type differ from these."""
    differing = []
    for name, (img, _, mode, _) in images.items():
        path = os.path.join(OUT_DIR, set_file(k, name))
        if not os.path.exists(path):
            differing.append(set_file(k, name))
            continue
        with Image.open(path) as committed:
            same = (committed.mode, committed.size, committed.tobytes()) == (mode, img.size, img.tobytes())
        if not same:
            differing.append(set_file(k, name))
    return differing


def build_checked():
    images = build()
    require(sorted(images) == sorted(IMAGES), "the images drawn are not the editor's images")
    require(images["Background"][0].getextrema()[3] == (255, 255), "background must be opaque")
    for name, (img, size, mode, frames) in images.items():
        require(img.size == size and img.mode == mode, "%s is %s %s at %dx" % (name, img.size, img.mode, S))
        require(frames == IMAGES[name].frames, "%s has %d frames, the editor takes %d" % (name, frames, IMAGES[name].frames))
    return images


def main(argv):
    global S
    check = argv[1:] == ["--check"]
    differing = []
    written = 0
    for k in SETS:
        S = k
        images = build_checked()
        if check:
            differing += differences(k, images)
            continue
        os.makedirs(set_dir(k), exist_ok=True)
        for name, (img, size, mode, _) in images.items():
            path = os.path.join(OUT_DIR, set_file(k, name))
            img.save(path, "PNG", optimize=True)
            with Image.open(path) as saved:
                found = (saved.size, saved.mode)
            require(found == (size, mode), "%s was written as %s %s" % ((set_file(k, name),) + found))
            written += 1
    if check:
        for file in differing:
            print("img/%s does not match the editor's layout: run %s" % (file, __file__))
        return 1 if differing else 0
    print("wrote %d images to %s" % (written, OUT_DIR))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
