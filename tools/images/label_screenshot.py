#!/usr/bin/python3
"""Draws numbered badges onto a copy of the editor screenshot for the manual:
reads docs/editor-screenshot.png, writes docs/editor-labelled.png. The
numbers are the ones the manual's table of controls explains.

Run from anywhere: /usr/bin/python3 tools/images/label_screenshot.py
Needs Debian's python3-pil and fonts-dejavu-core. The output is a pure
function of this file and the screenshot.
"""

import os

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SOURCE = os.path.join(ROOT, "docs", "editor-screenshot.png")
TARGET = os.path.join(ROOT, "docs", "editor-labelled.png")
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

SCALE = 2  # the picture is small; the badges read better on a larger copy
RADIUS = 10
BADGE = (255, 214, 64)
BADGE_EDGE = (20, 20, 20)

# Badge centres in editor pixels, in the order of the manual's table; each
# sits just off its control (a knob's before its caption) so that the
# control itself stays visible.
BADGES = (
    (106, 14),   # 1 name panel (link)
    (62, 118),   # 2 filter type
    (32, 147),   # 3 frequency
    (83, 147),   # 4 bandwidth
    (145, 147),  # 5 mix
    (196, 94),   # 6 reset
    (262, 119),  # 7 envelope target
    (343, 137),  # 8 direction
    (428, 128),  # 9 volume compensation
    (462, 137),  # 10 compensation curve
    (203, 147),  # 11 attack
    (262, 147),  # 12 decay
    (312, 147),  # 13 sustain
    (369, 147),  # 14 release
    (430, 147),  # 15 depth
    (200, 214),  # 16 envelope output
)


def main():
    shot = Image.open(SOURCE).convert("RGB")
    big = shot.resize((shot.width * SCALE, shot.height * SCALE), Image.LANCZOS)
    draw = ImageDraw.Draw(big)
    font = ImageFont.truetype(FONT, 12)
    for number, (x, y) in enumerate(BADGES, start=1):
        cx, cy = x * SCALE, y * SCALE
        draw.ellipse((cx - RADIUS, cy - RADIUS, cx + RADIUS, cy + RADIUS),
                     fill=BADGE, outline=BADGE_EDGE, width=2)
        draw.text((cx, cy), str(number), fill=BADGE_EDGE, font=font, anchor="mm")
    big.save(TARGET, optimize=True)


if __name__ == "__main__":
    main()
