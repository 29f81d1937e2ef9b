#!/usr/bin/python3
"""Draws Torvane's application icon (a red car seen from above on a grey road
through a green town square) and writes it at the sizes the desktop uses:

    dist/icons/32.png 64.png 128.png 256.png

Usage: /usr/bin/python3 tools/make_icons.py [OUT_DIR]   (default: dist/icons)

Drawn once at 1024 pixels and scaled down, so every size is the same picture.
Deterministic: the PNGs carry no timestamp. Needs Debian's python3-pil.
"""
import os
import sys

from PIL import Image, ImageDraw

SIZES = (32, 64, 128, 256)
BIG = 1024


def draw_icon():
    image = Image.new("RGBA", (BIG, BIG), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    # The town square: a rounded tile of grass, the road crossing it at a slant.
    draw.rounded_rectangle((32, 32, BIG - 32, BIG - 32), radius=180, fill=(86, 140, 72, 255))
    draw.polygon([(300, 32), (620, 32), (724, BIG - 32), (404, BIG - 32)], fill=(92, 92, 98, 255))
    for y in range(80, BIG - 80, 160):
        x = 460 + (y - 32) * 104 // (BIG - 64)
        draw.rectangle((x, y, x + 24, y + 80), fill=(235, 235, 225, 255))
    # The car, nose up: body, windscreen, rear window and four wheels.
    car = (380, 250, 660, 790)
    for wx, wy in ((350, 330), (640, 330), (350, 620), (640, 620)):
        draw.rounded_rectangle((wx, wy, wx + 50, wy + 120), radius=16, fill=(25, 25, 28, 255))
    draw.rounded_rectangle(car, radius=90, fill=(200, 36, 40, 255), outline=(120, 16, 20, 255), width=14)
    draw.polygon([(420, 400), (620, 400), (590, 480), (450, 480)], fill=(150, 200, 230, 255))
    draw.polygon([(450, 640), (590, 640), (610, 700), (430, 700)], fill=(150, 200, 230, 255))
    return image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "dist", "icons")
    os.makedirs(out, exist_ok=True)
    icon = draw_icon()
    for size in SIZES:
        icon.resize((size, size), Image.LANCZOS).save(os.path.join(out, f"{size}.png"), optimize=True)


if __name__ == "__main__":
    main()
