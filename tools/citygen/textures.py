"""Procedural textures of the city, the car and the sky, drawn with PIL.

Every painter takes a random.Random seeded from the texture's path, so each
image is reproducible on its own. Sizes are powers of two. Images that tile
(ground, facades, walls) are drawn seamless in the directions they repeat.
"""

import math
import random
import zlib

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont, ImageOps

CARS = "objets/cars/"
SKY = "objets/skybox/"
CITY = "objets/city/textures/"


def seed_for(path):
    """Stable seed of a texture, independent of the order of generation."""
    return zlib.crc32(path.encode("ascii"))


def rng_for(path):
    return random.Random(seed_for(path))


# ---------------------------------------------------------------- noise


def smooth_noise(size, cells, rng):
    """Value noise that tiles in both directions: a cells-sized random grid,
    repeated 3 x 3 and enlarged, of which the middle copy is kept."""
    w, h = size
    cx, cy = cells
    grid = Image.frombytes("L", (cx, cy), rng.randbytes(cx * cy))
    tiled = Image.new("L", (3 * cx, 3 * cy))
    for i in range(3):
        for j in range(3):
            tiled.paste(grid, (i * cx, j * cy))
    big = tiled.resize((3 * w, 3 * h), Image.BICUBIC)
    return big.crop((w, h, 2 * w, 2 * h))


def fractal_noise(size, cells, octaves, rng, persistence=0.5):
    """Weighted sum of smooth_noise octaves, stretched to the full 0..255 range."""
    result, total = None, 0.0
    for k in range(octaves):
        weight = persistence ** k
        layer = smooth_noise(size, (cells[0] << k, cells[1] << k), rng)
        result = layer if result is None else Image.blend(result, layer, weight / (total + weight))
        total += weight
    return ImageOps.autocontrast(result)


def speckle(size, rng):
    """Per-pixel white noise (tiles trivially)."""
    return Image.frombytes("L", size, rng.randbytes(size[0] * size[1]))


def modulate(image, gray, amount):
    """Brightens image where gray is light and darkens it where gray is dark,
    by up to +-amount (0..1)."""
    lighter = image.point(lambda c: min(255, int(c * (1.0 + amount))))
    darker = image.point(lambda c: int(c * (1.0 - amount)))
    return Image.composite(lighter, darker, gray)


def noisy_fill(size, colour, rng, blotch=0.10, grain=0.08, cells=(4, 4)):
    """A colour with soft blotches and fine grain."""
    image = Image.new("RGB", size, colour)
    image = modulate(image, fractal_noise(size, cells, 4, rng), blotch)
    return modulate(image, speckle(size, rng), grain)


def lerp(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def text_mask(text, scale):
    """Coverage mask of text in PIL's built-in bitmap font, enlarged without
    smoothing."""
    font = ImageFont.load_default()
    left, top, right, bottom = font.getbbox(text)
    mask = Image.new("L", (right - left + 2, bottom - top + 2), 0)
    ImageDraw.Draw(mask).text((1 - left, 1 - top), text, fill=255, font=font)
    return mask.resize((mask.width * scale, mask.height * scale), Image.NEAREST)


# ---------------------------------------------------------------- ground

GRASS = CITY + "grass.jpg"
PAVEMENT = CITY + "pavement.jpg"
SIDEWALK_PX = 38  # 6 of a cell's 40 units, at 256 px per cell


def grass(rng, size=256):
    image = noisy_fill((size, size), (78, 128, 50), rng, blotch=0.16, grain=0.10)
    tufts = ImageOps.colorize(fractal_noise((size, size), (16, 16), 2, rng), (60, 100, 35), (110, 150, 60))
    return Image.blend(image, tufts, 0.25)


def asphalt(rng, size):
    return noisy_fill((size, size), (74, 75, 79), rng, blotch=0.08, grain=0.10)


def sidewalk_slabs(image, box, slab, rng):
    """Light concrete slabs with joints inside box (x0, y0, x1, y1)."""
    draw = ImageDraw.Draw(image)
    x0, y0, x1, y1 = box
    for x in range(x0, x1, slab):
        for y in range(y0, y1, slab):
            tone = 158 + rng.randint(-7, 7)
            draw.rectangle([x, y, min(x + slab, x1) - 1, min(y + slab, y1) - 1], fill=(tone, tone - 2, tone - 8))
            draw.line([x, y, min(x + slab, x1) - 1, y], fill=(126, 124, 118))
            draw.line([x, y, x, min(y + slab, y1) - 1], fill=(126, 124, 118))


def road_surface(rng, size, sidewalks):
    """Asphalt with slab sidewalks in the given boxes (x0, y0, x1, y1) and a
    curb stone wherever a sidewalk meets the asphalt."""
    s = size / 256.0
    image = asphalt(rng, size)
    mask = Image.new("L", (size, size), 0)
    for box in sidewalks:
        sidewalk_slabs(image, box, int(16 * s), rng)
        ImageDraw.Draw(mask).rectangle([box[0], box[1], box[2] - 1, box[3] - 1], fill=255)
    curb = int(3 * s)
    inner = mask.filter(ImageFilter.MinFilter(2 * curb + 1))  # edges are replicated: no curb at the border
    image.paste((188, 186, 178), (0, 0, size, size), ImageChops.subtract(mask, inner))
    return image


def road_straight(rng, size=256):
    """A two-way, four-lane road running along v, sidewalks on both sides."""
    s = size / 256.0
    sw = int(SIDEWALK_PX * s)
    image = road_surface(rng, size, [(0, 0, sw, size), (size - sw, 0, size, size)])
    draw = ImageDraw.Draw(image)
    mid = size // 2
    for x in (mid - int(4 * s), mid + int(2 * s)):
        draw.rectangle([x, 0, x + int(2 * s) - 1, size], fill=(222, 184, 40))
    period = int(64 * s)
    for x in ((sw + mid) // 2, (size - sw + mid) // 2):
        for y in range(0, size, period):
            draw.rectangle([x - int(1 * s), y, x + int(1 * s), y + period // 2 - 1], fill=(230, 230, 224))
    return image


SIDES = ("top", "right", "bottom", "left")  # the image's edges: +z, +x, -z, -x on an unturned ground cell


def junction(rng, connected, size=256, centre_ring=False):
    """A road junction; `connected` names the image edges that a road
    leaves by. Other edges get a sidewalk; road edges get a zebra crossing."""
    s = size / 256.0
    sw = int(SIDEWALK_PX * s)
    far = size - sw
    strips = {"top": (0, 0, size, sw), "bottom": (0, far, size, size),
              "left": (0, 0, sw, size), "right": (far, 0, size, size)}
    corners = [(x, y, x + sw, y + sw) for x in (0, far) for y in (0, far)]
    image = road_surface(rng, size, corners + [strips[side] for side in SIDES if side not in connected])
    draw = ImageDraw.Draw(image)
    white = (232, 232, 226)
    bar, depth, inset = int(8 * s), int(24 * s), int(6 * s)
    for side in connected:
        for k in range(sw + bar // 2, far - bar // 2, 2 * bar):
            if side == "top":
                draw.rectangle([k, inset, k + bar - 1, inset + depth], fill=white)
            elif side == "bottom":
                draw.rectangle([k, size - inset - depth, k + bar - 1, size - inset], fill=white)
            elif side == "left":
                draw.rectangle([inset, k, inset + depth, k + bar - 1], fill=white)
            else:
                draw.rectangle([size - inset - depth, k, size - inset, k + bar - 1], fill=white)
    if centre_ring:
        mid = size // 2
        for radius, width in ((int(72 * s), int(3 * s)), (int(60 * s), int(2 * s))):
            draw.ellipse([mid - radius, mid - radius, mid + radius, mid + radius], outline=white, width=width)
        for k in range(16):
            a = 2 * math.pi * k / 16
            r0, r1 = 63 * s, 69 * s
            draw.line([mid + r0 * math.cos(a), mid + r0 * math.sin(a), mid + r1 * math.cos(a), mid + r1 * math.sin(a)],
                      fill=(222, 184, 40), width=max(1, int(2 * s)))
    return image


def pavement(rng, size=256):
    image = Image.new("RGB", (size, size))
    draw = ImageDraw.Draw(image)
    slab = 32
    for x in range(0, size, slab):
        for y in range(0, size, slab):
            tone = 150 + rng.randint(-8, 8)
            draw.rectangle([x, y, x + slab - 1, y + slab - 1], fill=(tone, tone, tone - 5))
            draw.line([x, y, x + slab - 1, y], fill=(116, 116, 112), width=2)
            draw.line([x, y, x, y + slab - 1], fill=(116, 116, 112), width=2)
    return modulate(modulate(image, fractal_noise((size, size), (4, 4), 3, rng), 0.08), speckle((size, size), rng), 0.07)


def plaza_paving(rng, size=256):
    """Warm stone flags in two tones, laid as a chequer with joints."""
    image = Image.new("RGB", (size, size))
    draw = ImageDraw.Draw(image)
    tile = 32
    for i in range(size // tile):
        for j in range(size // tile):
            base = (204, 184, 150) if (i + j) % 2 == 0 else (172, 150, 122)
            jitter = rng.randint(-6, 6)
            draw.rectangle([i * tile, j * tile, i * tile + tile - 1, j * tile + tile - 1],
                           fill=tuple(c + jitter for c in base))
            draw.line([i * tile, j * tile, i * tile + tile - 1, j * tile], fill=(120, 108, 90), width=2)
            draw.line([i * tile, j * tile, i * tile, j * tile + tile - 1], fill=(120, 108, 90), width=2)
    return modulate(image, speckle((size, size), rng), 0.06)


def plaza_centre(rng, size=256):
    """The plaza's flags with an inlaid compass rose."""
    image = plaza_paving(rng_for(CITY + "plaza.jpg"), size)
    draw = ImageDraw.Draw(image)
    mid = size / 2
    draw.ellipse([mid - 110, mid - 110, mid + 110, mid + 110], fill=(128, 54, 44))
    draw.ellipse([mid - 100, mid - 100, mid + 100, mid + 100], fill=(222, 212, 190))
    for k in range(16):
        a = math.pi * k / 8
        length = 96 if k % 2 == 0 else 60
        half = 16 if k % 2 == 0 else 10
        tip = (mid + length * math.sin(a), mid - length * math.cos(a))
        left = (mid + half * math.sin(a - math.pi / 2), mid - half * math.cos(a - math.pi / 2))
        right = (mid + half * math.sin(a + math.pi / 2), mid - half * math.cos(a + math.pi / 2))
        dark = (52, 58, 70) if k % 4 == 0 else (150, 60, 48)
        draw.polygon([(mid, mid), left, tip], fill=dark)
        draw.polygon([(mid, mid), tip, right], fill=(238, 232, 214) if k % 2 == 0 else (200, 160, 90))
    draw.ellipse([mid - 12, mid - 12, mid + 12, mid + 12], fill=(200, 160, 90), outline=(52, 58, 70), width=3)
    return modulate(image, speckle((size, size), rng), 0.05)


def parking(rng, size=256):
    """Two rows of parking bays on either side of an aisle."""
    image = asphalt(rng, size)
    draw = ImageDraw.Draw(image)
    white = (226, 226, 220)
    for x in range(0, size, 32):
        draw.rectangle([x, 0, x + 1, 64], fill=white)
        draw.rectangle([x, size - 65, x + 1, size - 1], fill=white)
    draw.rectangle([0, 64, size - 1, 65], fill=white)
    draw.rectangle([0, size - 66, size - 1, size - 65], fill=white)
    for x in range(16, size, 64):
        draw.polygon([(x, 124), (x + 16, 128), (x, 132)], fill=white)
    return image


def court(rng, size=256):
    """A sports court with its lines, on a green surround."""
    image = noisy_fill((size, size), (52, 112, 74), rng, blotch=0.05, grain=0.05)
    draw = ImageDraw.Draw(image)
    x0, y0, x1, y1 = 36, 58, size - 36, size - 58
    draw.rectangle([x0, y0, x1, y1], fill=(178, 82, 58))
    white = (236, 236, 230)
    draw.rectangle([x0, y0, x1, y1], outline=white, width=2)
    mid = size // 2
    draw.line([mid, y0, mid, y1], fill=white, width=2)
    draw.ellipse([mid - 18, mid - 18, mid + 18, mid + 18], outline=white, width=2)
    for x, d in ((x0, 1), (x1, -1)):
        draw.rectangle(sorted_box(x, mid - 16, x + d * 40, mid + 16), outline=white, width=2)
        draw.arc(sorted_box(x + d * 40 - 16, mid - 16, x + d * 40 + 16, mid + 16),
                 -90 if d > 0 else 90, 90 if d > 0 else 270, fill=white, width=2)
    return image


def sorted_box(x0, y0, x1, y1):
    return [min(x0, x1), min(y0, y1), max(x0, x1), max(y0, y1)]


def gravel_strip(image, box, rng):
    x0, y0, x1, y1 = box
    size = (x1 - x0, y1 - y0)
    strip = noisy_fill(size, (186, 170, 138), rng, blotch=0.06, grain=0.18, cells=(2, 2))
    image.paste(strip, (x0, y0))


def park_path(rng, size=256):
    """Grass crossed along v by a gravel path with stone edging."""
    image = grass(rng_for(GRASS), size)
    gravel_strip(image, (size // 2 - 19, 0, size // 2 + 19, size), rng)
    draw = ImageDraw.Draw(image)
    for x in (size // 2 - 21, size // 2 + 19):
        draw.rectangle([x, 0, x + 2, size], fill=(170, 168, 160))
    return image


def pond(rng, size=256):
    """A round pond with a stone rim, reached by four gravel paths."""
    image = grass(rng_for(GRASS), size)
    mid = size // 2
    gravel_strip(image, (mid - 19, 0, mid + 19, size), rng)
    gravel_strip(image, (0, mid - 19, size, mid + 19), rng)
    draw = ImageDraw.Draw(image)
    draw.ellipse([mid - 100, mid - 100, mid + 100, mid + 100], fill=(176, 170, 158))
    water = noisy_fill((184, 184), (46, 104, 142), rng, blotch=0.15, grain=0.05, cells=(6, 6))
    mask = Image.new("L", (184, 184), 0)
    ImageDraw.Draw(mask).ellipse([0, 0, 183, 183], fill=255)
    image.paste(water, (mid - 92, mid - 92), mask)
    return image


# ---------------------------------------------------------------- buildings

FLOOR_PX = 64  # a facade texture shows 4 floors and 4 bays of 8 units


def window(draw, box, frame, glass_top, glass_bottom, frame_width=2):
    x0, y0, x1, y1 = box
    draw.rectangle(box, fill=frame)
    for y in range(y0 + frame_width, y1 - frame_width + 1):
        t = (y - y0) / max(1, y1 - y0)
        draw.line([x0 + frame_width, y, x1 - frame_width, y], fill=lerp(glass_top, glass_bottom, t))
    mx = (x0 + x1) // 2
    draw.line([mx, y0, mx, y1], fill=frame, width=frame_width)


def glass_colours(rng):
    """Top and bottom colour of a window pane: sky reflections, a few curtains."""
    pick = rng.random()
    if pick < 0.2:
        return (168, 120, 92), (110, 70, 60)
    if pick < 0.35:
        return (200, 190, 150), (120, 110, 90)
    shade = rng.randint(-12, 12)
    return (120 + shade, 150 + shade, 178 + shade), (40 + shade, 56 + shade, 78 + shade)


def facade_brick(rng, size=256):
    image = Image.new("RGB", (size, size))
    draw = ImageDraw.Draw(image)
    for row in range(size // 4):
        offset = 4 if row % 2 else 0
        for x in range(-offset, size, 8):
            tone = rng.randint(-14, 14)
            draw.rectangle([x, row * 4, x + 7, row * 4 + 3], fill=(150 + tone, 72 + tone // 2, 52 + tone // 3))
            draw.line([x, row * 4 + 3, x + 7, row * 4 + 3], fill=(170, 160, 146))
            draw.line([x + 7, row * 4, x + 7, row * 4 + 3], fill=(170, 160, 146))
    for floor in range(4):
        for bay in range(4):
            x, y = bay * 64, floor * FLOOR_PX
            draw.rectangle([x + 14, y + 8, x + 50, y + 13], fill=(206, 198, 182))
            window(draw, (x + 18, y + 14, x + 46, y + 50), (236, 234, 226), *glass_colours(rng))
            draw.rectangle([x + 15, y + 51, x + 49, y + 54], fill=(206, 198, 182))
    return image


def facade_office(rng, size=256):
    image = Image.new("RGB", (size, size), (88, 96, 108))
    draw = ImageDraw.Draw(image)
    for floor in range(4):
        y = floor * FLOOR_PX
        draw.rectangle([0, y + 48, size, y + 63], fill=(132, 140, 150))
        for x in range(0, size, 32):
            shade = rng.randint(-10, 10)
            top = (96 + shade, 160 + shade, 182 + shade)
            bottom = (34 + shade, 78 + shade, 104 + shade)
            for yy in range(y, y + 48):
                draw.line([x + 2, yy, x + 29, yy], fill=lerp(top, bottom, (yy - y) / 47))
            draw.line([x + 6, y + 4, x + 18, y + 40], fill=lerp(top, (230, 240, 245), 0.4), width=2)
    return modulate(image, speckle((size, size), rng), 0.03)


def facade_concrete(rng, size=256):
    image = noisy_fill((size, size), (206, 196, 172), rng, blotch=0.05, grain=0.06)
    draw = ImageDraw.Draw(image)
    for floor in range(4):
        y = floor * FLOOR_PX
        for x in range(0, size, 16):
            top, bottom = glass_colours(rng)
            window(draw, (x, y + 18, x + 15, y + 46), (70, 70, 74), top, bottom, frame_width=1)
        draw.rectangle([0, y + 50, size, y + 57], fill=(226, 220, 204))
        draw.rectangle([0, y + 58, size, y + 61], fill=(120, 114, 104))
    return image


def facade_tower(rng, size=256):
    image = Image.new("RGB", (size, size), (52, 56, 62))
    draw = ImageDraw.Draw(image)
    for floor in range(4):
        for x in range(0, size, 32):
            y = floor * FLOOR_PX
            if rng.random() < 0.3:
                top, bottom = (250, 226, 150), (214, 170, 92)
            else:
                top, bottom = (92, 118, 150), (30, 40, 58)
            window(draw, (x + 4, y + 10, x + 27, y + 54), (30, 32, 36), top, bottom)
    return modulate(image, speckle((size, size), rng), 0.04)


def facade_plaster(rng, size=256):
    """Light plaster with shuttered windows; the material tints it."""
    image = noisy_fill((size, size), (232, 228, 218), rng, blotch=0.05, grain=0.05)
    draw = ImageDraw.Draw(image)
    for floor in range(4):
        y = floor * FLOOR_PX
        draw.rectangle([0, y, size, y + 4], fill=(246, 244, 238))
        for bay in range(4):
            x = bay * 64
            window(draw, (x + 22, y + 14, x + 42, y + 50), (240, 238, 232), *glass_colours(rng))
            for sx in (x + 12, x + 43):
                draw.rectangle([sx, y + 14, sx + 8, y + 50], fill=(64, 92, 70))
                for yy in range(y + 17, y + 50, 4):
                    draw.line([sx + 1, yy, sx + 7, yy], fill=(48, 72, 54))
            draw.rectangle([x + 10, y + 51, x + 54, y + 54], fill=(200, 196, 186))
    return image


def facade_stone(rng, size=256):
    """Sandstone blocks with tall arched windows, two floors each."""
    image = Image.new("RGB", (size, size))
    draw = ImageDraw.Draw(image)
    for row in range(size // 16):
        offset = 16 if row % 2 else 0
        for x in range(-offset, size, 32):
            tone = rng.randint(-10, 10)
            draw.rectangle([x, row * 16, x + 31, row * 16 + 15], fill=(214 + tone, 196 + tone, 160 + tone))
            draw.line([x, row * 16 + 15, x + 31, row * 16 + 15], fill=(170, 154, 124))
            draw.line([x + 31, row * 16, x + 31, row * 16 + 15], fill=(170, 154, 124))
    for level in range(2):
        y = level * 128
        draw.rectangle([0, y + 118, size, y + 127], fill=(186, 168, 136))
        for bay in range(4):
            x = bay * 64
            top, bottom = (130, 154, 176), (40, 52, 70)
            draw.ellipse([x + 18, y + 12, x + 46, y + 40], fill=(236, 228, 206))
            draw.rectangle([x + 18, y + 26, x + 46, y + 108], fill=(236, 228, 206))
            draw.ellipse([x + 21, y + 15, x + 43, y + 37], fill=top)
            for yy in range(y + 26, y + 106):
                draw.line([x + 21, yy, x + 43, yy], fill=lerp(top, bottom, (yy - y - 26) / 80))
            draw.line([x + 32, y + 15, x + 32, y + 106], fill=(236, 228, 206), width=2)
            draw.line([x + 21, y + 60, x + 43, y + 60], fill=(236, 228, 206), width=2)
    return image


def shopfront(rng, size=(256, 64)):
    """One floor of shop windows under a striped awning, 4 bays of 8 units."""
    w, h = size
    image = Image.new("RGB", size, (96, 84, 74))
    draw = ImageDraw.Draw(image)
    awning = [(190, 50, 44), (36, 110, 130), (214, 160, 40), (70, 130, 60)][rng.randint(0, 3)]
    for bay in range(4):
        x = bay * 64
        if bay == 2:
            draw.rectangle([x + 22, 18, x + 42, h - 1], fill=(70, 46, 30))
            draw.rectangle([x + 24, 22, x + 40, h - 8], fill=(110, 132, 150))
        else:
            window(draw, (x + 4, 18, x + 60, h - 6), (50, 50, 54), (150, 176, 190), (54, 70, 86))
        for k in range(8):
            colour = awning if k % 2 == 0 else (236, 232, 222)
            draw.rectangle([x + k * 8, 2, x + k * 8 + 7, 13], fill=colour)
            draw.polygon([(x + k * 8, 13), (x + k * 8 + 7, 13), (x + k * 8 + 3, 16)], fill=colour)
    draw.rectangle([0, h - 4, w, h], fill=(120, 116, 110))
    return image


def roof(rng, size=256):
    image = noisy_fill((size, size), (104, 102, 98), rng, blotch=0.12, grain=0.20)
    draw = ImageDraw.Draw(image)
    for x in range(0, size, 64):
        draw.line([x, 0, x, size], fill=(72, 70, 68), width=2)
    return image


def clock(rng, size=128):
    image = noisy_fill((size, size), (214, 196, 160), rng, blotch=0.04, grain=0.04)
    draw = ImageDraw.Draw(image)
    mid = size / 2
    draw.ellipse([8, 8, size - 9, size - 9], fill=(40, 44, 52))
    draw.ellipse([13, 13, size - 14, size - 14], fill=(244, 240, 228))
    for k in range(12):
        a = 2 * math.pi * k / 12
        r0 = 40 if k % 3 else 34
        draw.line([mid + r0 * math.sin(a), mid - r0 * math.cos(a), mid + 47 * math.sin(a), mid - 47 * math.cos(a)],
                  fill=(30, 30, 34), width=3 if k % 3 == 0 else 2)
    draw.line([mid, mid, mid + 22 * math.sin(2.2), mid - 22 * math.cos(2.2)], fill=(30, 30, 34), width=5)
    draw.line([mid, mid, mid + 38 * math.sin(0.1), mid - 38 * math.cos(0.1)], fill=(30, 30, 34), width=3)
    draw.ellipse([mid - 4, mid - 4, mid + 4, mid + 4], fill=(180, 40, 40))
    return image


# ---------------------------------------------------------------- arena and props


def arena_wall(rng, size=(512, 256)):
    """12 units of wall, 6 high: brick panel between concrete posts, a coping
    on top and a red and white kerb band at the foot."""
    w, h = size
    image = Image.new("RGB", size)
    draw = ImageDraw.Draw(image)
    for row in range(h // 11 + 1):
        offset = 12 if row % 2 else 0
        for x in range(-offset, w, 24):
            tone = rng.randint(-12, 12)
            draw.rectangle([x, row * 11, x + 23, row * 11 + 10], fill=(136 + tone, 66 + tone // 2, 48 + tone // 3))
            draw.line([x, row * 11 + 10, x + 23, row * 11 + 10], fill=(176, 168, 152), width=2)
            draw.line([x + 23, row * 11, x + 23, row * 11 + 10], fill=(176, 168, 152), width=2)
    concrete = noisy_fill((40, h), (176, 174, 166), rng, blotch=0.05, grain=0.08, cells=(2, 8))
    image.paste(concrete, (0, 0))
    coping = noisy_fill((w, 22), (190, 188, 180), rng, blotch=0.05, grain=0.08, cells=(16, 2))
    image.paste(coping, (0, 0))
    draw.line([0, 22, w, 22], fill=(90, 88, 84), width=2)
    for k in range(0, w, 64):
        draw.rectangle([k, h - 40, k + 31, h - 1], fill=(196, 40, 36))
        draw.rectangle([k + 32, h - 40, k + 63, h - 1], fill=(238, 236, 230))
    return modulate(image, speckle(size, rng), 0.05)


def foliage(rng, size=128):
    dark = ImageOps.colorize(fractal_noise((size, size), (8, 8), 3, rng), (30, 70, 26), (104, 150, 58))
    return modulate(dark, speckle((size, size), rng), 0.2)


def bark(rng, size=64):
    streaks = smooth_noise((size, size), (16, 2), rng)
    return modulate(ImageOps.colorize(streaks, (62, 44, 30), (120, 92, 66)), speckle((size, size), rng), 0.12)


def water(rng, size=128):
    ripples = ImageOps.colorize(fractal_noise((size, size), (4, 8), 3, rng), (30, 84, 126), (118, 178, 206))
    return modulate(ripples, speckle((size, size), rng), 0.05)


def billboard(rng, size=(256, 128)):
    w, h = size
    image = Image.new("RGB", size)
    draw = ImageDraw.Draw(image)
    for y in range(h):
        draw.line([0, y, w, y], fill=lerp((232, 84, 36), (120, 24, 80), y / (h - 1)))
    for k in range(10):
        draw.polygon([(k * 40 - 60, h), (k * 40 - 40, h), (k * 40 + 20, 0), (k * 40, 0)], fill=lerp((232, 84, 36), (250, 190, 60), 0.35))
    title = text_mask("TORVANE", 5)
    image.paste((20, 20, 30), ((w - title.width) // 2 + 3, 19), title)
    image.paste((255, 255, 255), ((w - title.width) // 2, 16), title)
    line = text_mask("CITY GRAND PRIX", 2)
    image.paste((255, 236, 140), ((w - line.width) // 2, 86), line)
    draw.rectangle([0, 0, w - 1, h - 1], outline=(240, 240, 240), width=4)
    return image


# ---------------------------------------------------------------- car

CAR_RED = (204, 34, 30)


def car_paint_top(rng, size=64):
    """Paint seen from above: two racing stripes along v."""
    image = noisy_fill((size, size), CAR_RED, rng, blotch=0.04, grain=0.02)
    draw = ImageDraw.Draw(image)
    for x0 in (22, 36):
        draw.rectangle([x0, 0, x0 + 5, size], fill=(244, 244, 240))
    return image


# Side panel layout, shared with the car model: u covers z = -2.85 .. 2.85,
# v covers y = 0.15 (top) .. -0.65 (bottom).
SIDE_Z = (-2.85, 2.85)
SIDE_Y = (0.15, -0.65)
WHEEL_Z = (-1.8, 1.8)
WHEEL_CENTRE_Y = -0.5
WHEEL_RADIUS = 0.5


def car_body_side(rng, size=(512, 64)):
    """Body side: red paint, door seams and handles, a white stripe, dark
    wheel arches and sill."""
    w, h = size
    image = noisy_fill(size, CAR_RED, rng, blotch=0.04, grain=0.02)
    draw = ImageDraw.Draw(image)

    def px(z, y):
        return ((z - SIDE_Z[0]) / (SIDE_Z[1] - SIDE_Z[0]) * w, (SIDE_Y[0] - y) / (SIDE_Y[0] - SIDE_Y[1]) * h)

    draw.rectangle([0, px(0, -0.18)[1], w, px(0, -0.26)[1]], fill=(244, 244, 240))
    draw.rectangle([0, px(0, -0.56)[1], w, h], fill=(36, 36, 40))
    for z in (-0.95, 0.35, 1.55):
        x = px(z, 0)[0]
        draw.line([x, px(0, 0.1)[1], x, px(0, -0.55)[1]], fill=(90, 16, 14), width=2)
    for z in (0.05, 1.25):
        x, y = px(z, 0.0)
        draw.rectangle([x - 12, y - 2, x, y + 2], fill=(200, 200, 204))
    for z in WHEEL_Z:
        cx, cy = px(z, WHEEL_CENTRE_Y)
        r = (WHEEL_RADIUS + 0.1) / (SIDE_Z[1] - SIDE_Z[0]) * w
        ry = (WHEEL_RADIUS + 0.1) / (SIDE_Y[0] - SIDE_Y[1]) * h
        draw.ellipse([cx - r, cy - ry, cx + r, cy + ry], fill=(24, 24, 26))
    return image


def car_glass(rng, size=(128, 64), pillar=None):
    """Tinted glass with a reflection streak inside a black frame; `pillar`
    (0..1 across u) adds a door pillar."""
    w, h = size
    image = Image.new("RGB", size)
    draw = ImageDraw.Draw(image)
    for y in range(h):
        draw.line([0, y, w, y], fill=lerp((120, 146, 170), (26, 34, 48), y / (h - 1)))
    draw.polygon([(w * 0.2, 0), (w * 0.32, 0), (w * 0.18, h), (w * 0.06, h)], fill=(150, 172, 190))
    draw.rectangle([0, 0, w - 1, h - 1], outline=(16, 16, 18), width=3)
    if pillar is not None:
        draw.rectangle([pillar * w - 4, 0, pillar * w + 4, h], fill=(16, 16, 18))
    return image


def car_side_glass(rng):
    return car_glass(rng, (128, 32), pillar=0.49)


def car_wheel(rng, size=64):
    """Tyre, silver rim with five spokes and a hub cap, filling the image's
    inscribed circle."""
    image = Image.new("RGB", (size, size), (22, 22, 24))
    draw = ImageDraw.Draw(image)
    mid = size / 2
    draw.ellipse([0, 0, size - 1, size - 1], fill=(30, 30, 32))
    draw.ellipse([11, 11, size - 12, size - 12], fill=(172, 176, 182))
    draw.ellipse([15, 15, size - 16, size - 16], fill=(60, 62, 66))
    for k in range(5):
        a = 2 * math.pi * k / 5
        points = []
        for da, r in ((-0.25, 5), (0.25, 5), (0.12, 18), (-0.12, 18)):
            points.append((mid + r * math.sin(a + da), mid - r * math.cos(a + da)))
        draw.polygon(points, fill=(196, 200, 206))
    draw.ellipse([mid - 6, mid - 6, mid + 6, mid + 6], fill=(210, 212, 216))
    return image


def car_plate(rng, size=(64, 16)):
    image = Image.new("RGB", size, (240, 236, 210))
    draw = ImageDraw.Draw(image)
    draw.rectangle([0, 0, size[0] - 1, size[1] - 1], outline=(30, 30, 30))
    text = text_mask("TRV 42", 1)
    image.paste((20, 20, 24), ((size[0] - text.width) // 2, (size[1] - text.height) // 2 + 1), text)
    return image


# ---------------------------------------------------------------- sky


def sky(rng, size=(1024, 512)):
    """Vertical gradient from deep blue to a pale horizon and haze below it,
    with soft clouds that tile around the dome."""
    w, h = size
    column = Image.new("RGB", (1, h))
    band = Image.new("L", (1, h))
    for y in range(h):
        elevation = 90.0 - 110.0 * (y + 0.5) / h
        if elevation >= 0:
            colour = lerp((196, 218, 236), (52, 104, 184), (elevation / 90.0) ** 0.55)
        else:
            colour = lerp((196, 218, 236), (176, 188, 198), min(1.0, -elevation / 4.0))
        column.putpixel((0, y), colour)
        fade_in = min(1.0, max(0.0, (elevation - 2.0) / 10.0))
        fade_out = min(1.0, max(0.0, (65.0 - elevation) / 25.0))
        band.putpixel((0, y), int(255 * fade_in * fade_out))
    image = column.resize(size, Image.NEAREST)
    clouds = fractal_noise(size, (6, 4), 5, rng, persistence=0.55)
    clouds = clouds.point(lambda c: int(255 * min(1.0, max(0.0, (c - 120) / 90.0)) ** 1.5))
    clouds = ImageChops.multiply(clouds, band.resize(size, Image.NEAREST))
    white = Image.new("RGB", size, (250, 250, 252))
    return Image.composite(white, image, clouds)


# ---------------------------------------------------------------- registry


def _junction_painter(connected, size=256, centre_ring=False):
    return lambda rng: junction(rng, connected, size, centre_ring)


PAINTERS = {
    GRASS: grass,
    PAVEMENT: pavement,
    CITY + "road.png": road_straight,
    CITY + "road_cross.png": _junction_painter(("top", "right", "bottom", "left")),
    CITY + "road_tee.png": _junction_painter(("right", "bottom", "left")),
    CITY + "road_corner.png": _junction_painter(("right", "bottom")),
    CITY + "road_start.png": _junction_painter(("top", "right", "bottom", "left"), 512, True),
    CITY + "plaza.jpg": plaza_paving,
    CITY + "plaza_rose.png": plaza_centre,
    CITY + "parking.jpg": parking,
    CITY + "court.png": court,
    CITY + "park_path.png": park_path,
    CITY + "pond.png": pond,
    CITY + "facade_brick.jpg": facade_brick,
    CITY + "facade_office.jpg": facade_office,
    CITY + "facade_concrete.jpg": facade_concrete,
    CITY + "facade_tower.jpg": facade_tower,
    CITY + "facade_plaster.png": facade_plaster,
    CITY + "facade_stone.jpg": facade_stone,
    CITY + "shopfront.png": shopfront,
    CITY + "roof.jpg": roof,
    CITY + "clock.png": clock,
    CITY + "arena_wall.jpg": arena_wall,
    CITY + "foliage.jpg": foliage,
    CITY + "bark.jpg": bark,
    CITY + "water.jpg": water,
    CITY + "billboard.png": billboard,
    CARS + "car_paint_top.png": car_paint_top,
    CARS + "car_body_side.png": car_body_side,
    CARS + "car_glass.png": car_glass,
    CARS + "car_side_glass.png": car_side_glass,
    CARS + "car_wheel.png": car_wheel,
    CARS + "car_plate.png": car_plate,
    SKY + "sky.jpg": sky,
}


def render(path):
    """The image of the texture at `path` (a key of PAINTERS)."""
    return PAINTERS[path](rng_for(path))


def save(image, filename):
    """Writes PNG or JPEG by extension, without metadata, so that equal images
    give equal bytes."""
    if filename.endswith(".png"):
        image.save(filename, "PNG", optimize=False, compress_level=9)
    else:
        image.save(filename, "JPEG", quality=88, optimize=False, progressive=False, subsampling=0)
