"""Meshes of the car, the sky dome and the city's models.

Units: the city is built at world scale (a storey is 8 units, a street cell
40). The car is drawn at scale 2, so it is modelled at half size. Diffuse
colours stay near 0.5 to 0.8: the white ambient light adds the diffuse colour
once more on faces that face the sun, and the top of the range saturates.
"""

import math

from . import textures as tex
from .xmesh import Material, MeshBuilder

STOREY = 8.0
FACADE_REPEAT = 32.0  # units of wall covered by one facade image, both ways
CAR_HALF_WIDTH = 1.1


def _facade_uv(face, width, height):
    return (0.0, 0.0, width / FACADE_REPEAT, height / FACADE_REPEAT)


# ---------------------------------------------------------------- car

# Side profile of the lower body (z, y), front (-z) first, running clockwise
# as seen from the car's right (+x) side.
CAR_PROFILE = [(-2.85, -0.62), (-2.85, -0.2), (-2.68, -0.04), (-0.95, 0.1),
               (1.7, 0.12), (2.72, 0.06), (2.85, -0.14), (2.85, -0.62)]
CABIN_BASE = (-0.95, 0.1, 1.7, 0.12, 1.02)  # front z, front y, rear z, rear y, half width
CABIN_ROOF = (-0.12, 1.22, 0.8, 0.86)       # front z, rear z, y, half width


def build_car():
    """A red hatchback with white stripes, front towards -z, wheels touching
    y = -1, about 5.7 long and 2.4 wide."""
    m = MeshBuilder("car")
    paint_top = Material("paint_top", (0.78, 0.78, 0.78), tex.CARS + "car_paint_top.png")
    paint_side = Material("paint_side", (0.78, 0.78, 0.78), tex.CARS + "car_body_side.png")
    underbody = Material("underbody", (0.08, 0.08, 0.09))
    _car_body(m, paint_top, paint_side, underbody)
    _car_cabin(m, paint_top)
    tyre = Material("tyre", (0.1, 0.1, 0.11))
    rim = Material("rim", (0.8, 0.8, 0.8), tex.CARS + "car_wheel.png")
    for z in tex.WHEEL_Z:
        for side in (1, -1):
            _car_wheel(m, z, side, tyre, rim)
    _car_details(m)
    return m


def _car_body(m, paint_top, paint_side, underbody):
    w = CAR_HALF_WIDTH
    zr, yr = tex.SIDE_Z, tex.SIDE_Y
    for side in (1, -1):
        points = [(side * w, y, z) for z, y in CAR_PROFILE]
        uvs = [((z - zr[0]) / (zr[1] - zr[0]), (yr[0] - y) / (yr[0] - yr[1])) for z, y in CAR_PROFILE]
        m.add_polygon(paint_side, points, uvs, outward=(side, 0, 0))
    segments = list(zip(CAR_PROFILE, CAR_PROFILE[1:] + CAR_PROFILE[:1]))
    lengths = [math.dist(a, b) for a, b in segments]
    total, run = sum(lengths), 0.0
    for k, ((za, ya), (zb, yb)) in enumerate(segments):
        v0, run = run / total, run + lengths[k]
        v1 = run / total
        material = underbody if k == len(segments) - 1 else paint_top
        m.add_polygon(material, [(-w, ya, za), (w, ya, za), (w, yb, zb), (-w, yb, zb)],
                      [(0, v0), (1, v0), (1, v1), (0, v1)], outward=(0, zb - za, -(yb - ya)))


def _car_cabin(m, paint_top):
    bz0, by0, bz1, by1, bw = CABIN_BASE
    rz0, rz1, ry, rw = CABIN_ROOF
    glass = Material("windscreen", (0.8, 0.8, 0.8), tex.CARS + "car_glass.png")
    side_glass = Material("side_windows", (0.8, 0.8, 0.8), tex.CARS + "car_side_glass.png")
    m.add_quad(glass, [(-rw, ry, rz0), (rw, ry, rz0), (bw, by0, bz0), (-bw, by0, bz0)], outward=(0, 1, -1))
    m.add_quad(glass, [(rw, ry, rz1), (-rw, ry, rz1), (-bw, by1, bz1), (bw, by1, bz1)], outward=(0, 1, 1))
    u0, u1 = (CAR_HALF_WIDTH - rw) / (2 * CAR_HALF_WIDTH), (CAR_HALF_WIDTH + rw) / (2 * CAR_HALF_WIDTH)
    m.add_quad(paint_top, [(-rw, ry, rz1), (rw, ry, rz1), (rw, ry, rz0), (-rw, ry, rz0)], (u0, 0, u1, 1))
    for side in (1, -1):
        points = [(side * bw, by0, bz0), (side * rw, ry, rz0), (side * rw, ry, rz1), (side * bw, by1, bz1)]
        uvs = [((z - bz0) / (bz1 - bz0), (ry - y) / (ry - by0)) for _, y, z in points]
        m.add_polygon(side_glass, points, uvs, outward=(side, 0.2, 0))


def _car_wheel(m, z, side, tyre, rim, segments=12):
    r, cy = tex.WHEEL_RADIUS, tex.WHEEL_CENTRE_Y
    outer, inner = side * 1.22, side * 0.78
    angles = [2 * math.pi * k / segments for k in range(segments)]
    ring = [(cy + r * math.sin(a), z + r * math.cos(a)) for a in angles]
    for k in range(segments):
        (y0, z0), (y1, z1) = ring[k], ring[(k + 1) % segments]
        am = angles[k] + math.pi / segments
        m.add_polygon(tyre, [(outer, y0, z0), (outer, y1, z1), (inner, y1, z1), (inner, y0, z0)],
                      [(0, 0), (1, 0), (1, 1), (0, 1)], outward=(0, math.sin(am), math.cos(am)))
    m.add_polygon(rim, [(outer, y, zz) for y, zz in ring],
                  [(0.5 + 0.5 * math.cos(a), 0.5 - 0.5 * math.sin(a)) for a in angles], outward=(side, 0, 0))
    m.add_polygon(tyre, [(inner, y, zz) for y, zz in ring], [(0, 0)] * segments, outward=(-side, 0, 0))


def _car_details(m):
    head = Material("headlights", (0.95, 0.95, 0.85), emissive=(0.85, 0.85, 0.7))
    tail = Material("taillights", (0.85, 0.1, 0.08), emissive=(0.6, 0.04, 0.03))
    trim = Material("trim", (0.09, 0.09, 0.1))
    bumper = Material("bumpers", (0.3, 0.3, 0.32))
    plate = Material("plates", (0.85, 0.85, 0.85), tex.CARS + "car_plate.png")
    mirror = Material("mirrors", (0.7, 0.13, 0.11))
    no_back = ("front", "left", "right", "top", "bottom")
    no_front = ("back", "left", "right", "top", "bottom")
    for s in (1, -1):
        x0, x1 = sorted((s * 0.55, s * 0.98))
        m.add_box(head, (x0, x1, -0.36, -0.22, -2.88, -2.84), faces=no_back)
        x0, x1 = sorted((s * 0.6, s * 1.0))
        m.add_box(tail, (x0, x1, -0.34, -0.16, 2.84, 2.88), faces=no_front)
        x0, x1 = sorted((s * 1.09, s * 1.24))
        m.add_box(mirror, (x0, x1, 0.12, 0.26, -0.85, -0.68))
    m.add_box(trim, (-0.45, 0.45, -0.42, -0.24, -2.88, -2.84), faces=no_back)
    m.add_box(bumper, (-1.12, 1.12, -0.62, -0.46, -2.9, -2.78))
    m.add_box(bumper, (-1.12, 1.12, -0.62, -0.46, 2.78, 2.9))
    m.add_quad(plate, [(-0.3, -0.47, -2.93), (0.3, -0.47, -2.93), (0.3, -0.61, -2.93), (-0.3, -0.61, -2.93)])
    m.add_quad(plate, [(0.3, -0.47, 2.93), (-0.3, -0.47, 2.93), (-0.3, -0.61, 2.93), (0.3, -0.61, 2.93)])


# ---------------------------------------------------------------- sky


def build_sky(radius=200.0, segments=32, lowest=-20.0, step=10.0):
    """A dome seen from inside, from 20 degrees below the horizon to the
    zenith. Its material is white and emissive, so the texture shows as
    painted whatever the light."""
    m = MeshBuilder("sky")
    sky = Material("sky", (1.0, 1.0, 1.0), tex.SKY + "sky.jpg", emissive=(1.0, 1.0, 1.0))
    span = 90.0 - lowest

    def point(azimuth, elevation):
        e = math.radians(elevation)
        return (radius * math.cos(e) * math.cos(azimuth), radius * math.sin(e), radius * math.cos(e) * math.sin(azimuth))

    elevation = lowest
    while elevation < 90.0:
        top = min(90.0, elevation + step)
        v0, v1 = (90.0 - elevation) / span, (90.0 - top) / span
        for s in range(segments):
            a0, a1 = 2 * math.pi * s / segments, 2 * math.pi * (s + 1) / segments
            points = [point(a0, top), point(a1, top), point(a1, elevation), point(a0, elevation)]
            u0, u1 = 2.0 * s / segments, 2.0 * (s + 1) / segments
            centre = [sum(p[i] for p in points) / 4 for i in range(3)]
            m.add_polygon(sky, points, [(u0, v1), (u1, v1), (u1, v0), (u0, v0)],
                          outward=(-centre[0], -centre[1], -centre[2]))
        elevation = top
    return m


# ---------------------------------------------------------------- ground and walls

GROUND_DIFFUSE = (0.53, 0.53, 0.53)


def build_ground(tiles, cell):
    """One flat quad per cell at y = 0; `tiles` maps (i, j) to (texture,
    quarter turns), cell (i, j) covering x around i * cell and z around
    j * cell. A turn of 1 puts the image's top edge on the cell's +x side."""
    m = MeshBuilder("ground")
    materials = {}
    base = [(0.0, 0.0), (1.0, 0.0), (1.0, 1.0), (0.0, 1.0)]
    for (i, j), (texture, turns) in sorted(tiles.items()):
        if texture not in materials:
            name = texture.rsplit("/", 1)[-1].split(".")[0]
            materials[texture] = Material(name, GROUND_DIFFUSE, texture)
        x0, x1 = (i - 0.5) * cell, (i + 0.5) * cell
        z0, z1 = (j - 0.5) * cell, (j + 0.5) * cell
        corners = [(x0, 0.0, z1), (x1, 0.0, z1), (x1, 0.0, z0), (x0, 0.0, z0)]
        m.add_polygon(materials[texture], corners, [base[(c - turns) % 4] for c in range(4)])
    return m


def build_wall(length, height=6.0, thickness=2.0, repeat=12.0):
    """A straight wall along local z, standing on y = 0."""
    m = MeshBuilder("wall")
    brick = Material("wall", (0.66, 0.66, 0.66), tex.CITY + "arena_wall.jpg")
    coping = Material("coping", (0.55, 0.55, 0.53))

    def uv(face, width, h):
        return (0.0, 0.0, width / repeat, 1.0)

    m.add_box({"left": brick, "right": brick, "front": brick, "back": brick, "top": coping},
              (-thickness / 2, thickness / 2, 0.0, height, -length / 2, length / 2), uv)
    return m


# ---------------------------------------------------------------- buildings


class BuildingStyle:
    """Materials of one kind of building: facade image and its tint,
    optional shop floor, cornice and roof."""

    def __init__(self, name, facade, tint, shops=True):
        self.facade = Material(name + "_facade", tint, tex.CITY + facade)
        self.shop = Material(name + "_shops", (0.72, 0.72, 0.72), tex.CITY + "shopfront.png") if shops else None
        self.cornice = Material(name + "_cornice", tuple(min(0.8, c + 0.08) for c in tint))
        self.roof = Material(name + "_roof", (0.6, 0.6, 0.6), tex.CITY + "roof.jpg")


def _block(m, style, half_w, half_d, y0, floors, with_shop):
    """A box of `floors` storeys with a cornice; returns the height of its roof."""
    height = y0 + floors * STOREY
    sides = ("front", "back", "left", "right")
    lower = y0
    if with_shop and style.shop is not None:
        lower = y0 + STOREY
        m.add_box(style.shop, (-half_w, half_w, y0, lower, -half_d, half_d),
                  lambda face, w, h: (0.0, 0.0, w / FACADE_REPEAT, 1.0), faces=sides)
    m.add_box(style.facade, (-half_w, half_w, lower, height, -half_d, half_d), _facade_uv, faces=sides)
    top = height + 1.2
    cornice = {"front": style.cornice, "back": style.cornice, "left": style.cornice,
               "right": style.cornice, "bottom": style.cornice, "top": style.roof}
    m.add_box(cornice, (-half_w - 0.5, half_w + 0.5, height, top, -half_d - 0.5, half_d + 0.5), _facade_uv)
    return top


def build_building(name, style, width, depth, floors, setback_floors=0):
    """A building `width` along x and `depth` along z standing on y = 0, with
    a shop floor where the style has one, an optional narrower upper part and
    a small roof housing."""
    m = MeshBuilder(name)
    top = _block(m, style, width / 2, depth / 2, 0.0, floors, True)
    if setback_floors:
        top = _block(m, style, width * 0.35, depth * 0.35, top, setback_floors, False)
        w, d = width * 0.35, depth * 0.35
    else:
        w, d = width / 2, depth / 2
    housing = {"front": style.cornice, "back": style.cornice, "left": style.cornice,
               "right": style.cornice, "top": style.roof}
    m.add_box(housing, (w * 0.2, w * 0.2 + 8.0, top, top + 5.0, -d * 0.5, -d * 0.5 + 6.0), _facade_uv)
    return m


def build_town_hall(width=60.0, depth=44.0):
    """The stone hall inside the arena: a four-storey block and a clock tower
    with a copper roof. Its footprint is exactly width x depth."""
    m = MeshBuilder("town_hall")
    style = BuildingStyle("hall", "facade_stone.jpg", (0.72, 0.7, 0.66), shops=False)
    top = _block(m, style, width / 2, depth / 2, 0.0, 4, False)
    tower_half, tower_top = 7.0, top + 26.0
    m.add_box(style.facade, (-tower_half, tower_half, top, tower_top, -tower_half, tower_half), _facade_uv,
              faces=("front", "back", "left", "right"))
    face = Material("clock", (0.75, 0.75, 0.75), tex.CITY + "clock.png")
    c, y0, y1, t = 5.0, tower_top - 12.0, tower_top - 2.0, tower_half
    plaques = (("front", (-c, c, y0, y1, -t - 0.6, -t)), ("back", (-c, c, y0, y1, t, t + 0.6)),
               ("left", (-t - 0.6, -t, y0, y1, -c, c)), ("right", (t, t + 0.6, y0, y1, -c, c)))
    opposite = {"front": "back", "back": "front", "left": "right", "right": "left"}
    for side, bounds in plaques:
        rims = {f: style.cornice for f in ("front", "back", "left", "right", "top", "bottom") if f != opposite[side]}
        rims[side] = face
        m.add_box(rims, bounds)
    copper = Material("copper", (0.36, 0.6, 0.52))
    m.add_lathe(copper, [(tower_half * math.sqrt(2) + 0.8, tower_top, 0), (0.0, tower_top + 14.0, 1)],
                4, centre=(0.0, 0.0, 0.0), angle_offset=math.pi / 4)
    return m


# ---------------------------------------------------------------- props


def _foliage(name, tint):
    return Material(name, tint, tex.CITY + "foliage.jpg")


def _trunk(m, height, radius):
    bark = Material("bark", (0.7, 0.7, 0.7), tex.CITY + "bark.jpg")
    m.add_lathe(bark, [(radius, 0.0, 1.0), (radius * 0.7, height, 0.0)], 6, u_repeat=2.0)


def build_round_tree():
    m = MeshBuilder("round_tree")
    _trunk(m, 6.0, 0.7)
    crown = [(0.0, 4.5, 1.0), (3.2, 5.0, 0.85), (5.0, 7.5, 0.6), (4.6, 10.5, 0.35), (2.8, 12.8, 0.15), (0.0, 13.6, 0.0)]
    m.add_lathe(_foliage("leaves", (0.8, 0.82, 0.72)), crown, 8, u_repeat=3.0)
    return m


def build_pine_tree():
    m = MeshBuilder("pine_tree")
    _trunk(m, 4.0, 0.6)
    needles = _foliage("needles", (0.58, 0.72, 0.62))
    for y0, r, y1 in ((3.0, 4.2, 9.0), (7.0, 3.3, 12.5), (10.8, 2.4, 15.5)):
        m.add_lathe(needles, [(0.0, y0, 1.0), (r, y0, 0.7), (0.0, y1, 0.0)], 8, u_repeat=3.0)
    return m


def build_lamp_post():
    """A street lamp 12 high whose arm reaches 3.8 along local +x."""
    m = MeshBuilder("lamp_post")
    metal = Material("lamp_metal", (0.28, 0.3, 0.32))
    light = Material("lamp_light", (0.95, 0.92, 0.8), emissive=(0.9, 0.85, 0.6))
    m.add_box(metal, (-0.5, 0.5, 0.0, 1.2, -0.5, 0.5))
    m.add_box(metal, (-0.25, 0.25, 1.2, 12.0, -0.25, 0.25), faces=("front", "back", "left", "right", "top"))
    m.add_box(metal, (0.25, 3.0, 11.6, 12.0, -0.2, 0.2), faces=("front", "back", "right", "top", "bottom"))
    m.add_box({"front": metal, "back": metal, "left": metal, "right": metal, "top": metal, "bottom": light},
              (2.2, 3.8, 11.2, 11.8, -0.5, 0.5))
    return m


def build_fountain():
    """A round stone basin 16 across with a two-tier fountain."""
    m = MeshBuilder("fountain")
    stone = Material("fountain_stone", (0.72, 0.69, 0.62))
    pool = Material("fountain_water", (0.7, 0.7, 0.7), tex.CITY + "water.jpg", emissive=(0.12, 0.14, 0.16))
    m.add_lathe(stone, [(8.0, 0.0, 0), (8.0, 1.2, 0), (7.2, 1.2, 0), (7.2, 0.9, 0)], 16)
    m.add_lathe(pool, [(7.2, 0.9, 1.0), (0.0, 0.9, 0.0)], 16, u_repeat=4.0)
    m.add_lathe(stone, [(1.0, 0.9, 0), (1.0, 3.6, 0), (2.8, 4.0, 0), (2.8, 4.5, 0), (2.4, 4.5, 0), (2.4, 4.3, 0)], 12)
    m.add_lathe(pool, [(2.4, 4.3, 1.0), (0.4, 4.3, 0.2)], 12)
    m.add_lathe(stone, [(0.4, 4.3, 0), (0.4, 5.6, 0), (0.9, 5.9, 0), (0.0, 6.4, 0)], 8)
    return m


def build_billboard(width=24.0):
    """An advertising board 10 high on two posts, its picture on local -z."""
    m = MeshBuilder("billboard")
    metal = Material("frame", (0.3, 0.31, 0.33))
    picture = Material("advert", (0.75, 0.75, 0.75), tex.CITY + "billboard.png", emissive=(0.1, 0.1, 0.1))
    back = Material("board_back", (0.45, 0.45, 0.46))
    for x in (-width / 3, width / 3):
        m.add_box(metal, (x - 0.4, x + 0.4, 0.0, 9.0, -0.4, 0.4), faces=("front", "back", "left", "right"))
    m.add_box({"front": picture, "back": back, "left": metal, "right": metal, "top": metal, "bottom": metal},
              (-width / 2, width / 2, 9.0, 19.0, -0.4, 0.4))
    return m
