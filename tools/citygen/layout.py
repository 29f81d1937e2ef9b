"""The city's plan: the ground tiles, the models of "maps/city.ldo" and the
placements of "maps/city.map".

The player drives inside a walled arena 360 x 360 centred on the origin. The
collision pass tests exactly five placement lines, at 0-based indices 97, 98,
99, 101 and 102: the four walls and the stone hall inside the arena. Line 100
is the ground, which the car drives over. Every other line stands outside
the walls, where the car can never reach it.

Ground grid: cell (i, j) is a 40 x 40 square centred on (40 i, 0, 40 j), for
i and j from -11 to 11. Cells -4..4 form the arena floor (streets on the
lines 0 and +-4, four blocks: plaza, hall, park, car park); ring 5 is the
pavement outside the walls, rings 6 and 9 are ring roads joined by radial
streets on the axes, rings 7 and 8 hold the street's buildings, ring 10 the
towers of the skyline on grass, and ring 11 is grass.
"""

import math

from . import models
from . import textures as tex

CELL = 40.0
GROUND_CELLS = 11
ARENA_CELLS = 4
ARENA_STREETS = (-ARENA_CELLS, 0, ARENA_CELLS)
ARENA_HALF = ARENA_CELLS * CELL + CELL / 2  # 180: the inner face of the walls
WALL_THICKNESS = 2.0

COLLISION_INDICES = (97, 98, 99, 101, 102)
GROUND_INDEX = 100

# ---------------------------------------------------------------- ground tiles

ROAD = tex.CITY + "road.png"
ROAD_START = tex.CITY + "road_start.png"
SIDE_STEPS = {"top": (0, 1), "right": (1, 0), "bottom": (0, -1), "left": (-1, 0)}
JUNCTIONS = ((("top", "right", "bottom", "left"), tex.CITY + "road_cross.png"),
             (("right", "bottom", "left"), tex.CITY + "road_tee.png"),
             (("right", "bottom"), tex.CITY + "road_corner.png"))


def ring_of(i, j):
    return max(abs(i), abs(j))


def is_road(i, j):
    ring = ring_of(i, j)
    if ring <= ARENA_CELLS:
        return i in ARENA_STREETS or j in ARENA_STREETS
    if ring == ARENA_CELLS + 1:
        return False
    return ring in (6, 9) or i == 0 or j == 0


def _turned(side, turns):
    return tex.SIDES[(tex.SIDES.index(side) + turns) % 4]


def _road_tile(i, j):
    if (i, j) == (0, 0):
        return ROAD_START, 0
    connected = {side for side, (di, dj) in SIDE_STEPS.items() if is_road(i + di, j + dj)}
    if connected <= {"top", "bottom"}:
        return ROAD, 0
    if connected <= {"left", "right"}:
        return ROAD, 1
    for shape, texture in JUNCTIONS:
        for turns in range(4):
            if {_turned(side, turns) for side in shape} == connected:
                return texture, turns
    raise ValueError("no junction tile joins %s" % sorted(connected))


def _block_tile(i, j):
    ring = ring_of(i, j)
    if ring > ARENA_CELLS:
        return (tex.GRASS if ring in (10, GROUND_CELLS) else tex.PAVEMENT), 0
    if i < 0 and j < 0:
        return (tex.CITY + "plaza_rose.png" if (i, j) == (-2, -2) else tex.CITY + "plaza.jpg"), 0
    if i > 0 and j < 0:
        return tex.PAVEMENT, 0
    if i > 0 and j > 0:
        if (i, j) == (2, 2):
            return tex.CITY + "pond.png", 0
        if i == 2 or j == 2:
            return tex.CITY + "park_path.png", 0 if i == 2 else 1
        return tex.GRASS, 0
    return (tex.CITY + "court.png" if (i, j) == (-2, 2) else tex.CITY + "parking.jpg"), 0


def ground_tiles():
    """(i, j) -> (texture, quarter turns) for every cell of the ground."""
    cells = range(-GROUND_CELLS, GROUND_CELLS + 1)
    return {(i, j): (_road_tile(i, j) if is_road(i, j) else _block_tile(i, j)) for i in cells for j in cells}


# ---------------------------------------------------------------- models


class Model:
    """A record of "maps/city.ldo": a mesh and its collision footprint,
    `length` along the model's local z and `width` along its local x."""

    def __init__(self, key, build, length, width):
        self.key = key
        self.path = "objets/city/%s.x" % key
        self.build = build
        self.length = length
        self.width = width

    @property
    def radius(self):
        """Half the footprint's diagonal, plus 10 % and 1 unit: the broad test
        measures distances with an octagonal estimate that can overstate them
        by up to 8 %, and must not miss a car touching a corner."""
        return math.ceil((1.1 * math.hypot(self.length, self.width) / 2 + 1.0) * 10) / 10


def _building(key, style, width, depth, floors, setback_floors=0):
    return Model(key, lambda: models.build_building(key, style, width, depth, floors, setback_floors), depth, width)


BRICK = models.BuildingStyle("brick", "facade_brick.jpg", (0.7, 0.7, 0.7))
OFFICE = models.BuildingStyle("office", "facade_office.jpg", (0.72, 0.72, 0.74))
CONCRETE = models.BuildingStyle("concrete", "facade_concrete.jpg", (0.7, 0.69, 0.66))
TOWER = models.BuildingStyle("tower", "facade_tower.jpg", (0.74, 0.74, 0.76))
PEACH = models.BuildingStyle("peach", "facade_plaster.png", (0.8, 0.62, 0.5))
MINT = models.BuildingStyle("mint", "facade_plaster.png", (0.55, 0.72, 0.64))
LEMON = models.BuildingStyle("lemon", "facade_plaster.png", (0.8, 0.74, 0.46))

GROUND_SIZE = (2 * GROUND_CELLS + 1) * CELL
WALL_LONG = 2 * (ARENA_HALF + WALL_THICKNESS)  # along x, across the corners
WALL_SHORT = 2 * ARENA_HALF                     # along z, between the long walls
HALL_SIZE = (60.0, 44.0)                        # x, z

MODELS = [
    Model("ground", lambda: models.build_ground(ground_tiles(), CELL), GROUND_SIZE, GROUND_SIZE),
    Model("wall_long", lambda: models.build_wall(WALL_LONG, thickness=WALL_THICKNESS), WALL_LONG, WALL_THICKNESS),
    Model("wall_short", lambda: models.build_wall(WALL_SHORT, thickness=WALL_THICKNESS), WALL_SHORT, WALL_THICKNESS),
    Model("town_hall", lambda: models.build_town_hall(*HALL_SIZE), HALL_SIZE[1], HALL_SIZE[0]),
    _building("brick_low", BRICK, 40, 32, 4),
    _building("brick_mid", BRICK, 48, 40, 6),
    _building("peach_row", PEACH, 40, 28, 3),
    _building("mint_row", MINT, 32, 28, 4),
    _building("lemon_row", LEMON, 48, 32, 3),
    _building("concrete_block", CONCRETE, 56, 40, 8),
    _building("office_mid", OFFICE, 48, 48, 11),
    _building("glass_tower", OFFICE, 48, 48, 13, setback_floors=6),
    _building("dark_tower", TOWER, 36, 36, 15),
    _building("slim_tower", CONCRETE, 32, 32, 13),
    _building("office_slim", OFFICE, 40, 32, 10),
    Model("round_tree", models.build_round_tree, 10.0, 10.0),
    Model("pine_tree", models.build_pine_tree, 8.4, 8.4),
    Model("lamp_post", models.build_lamp_post, 1.0, 1.0),
    Model("fountain", models.build_fountain, 16.0, 16.0),
    Model("billboard", models.build_billboard, 0.8, 24.0),
]
MODEL_NUMBERS = {model.key: n for n, model in enumerate(MODELS, 1)}
MODEL_BY_KEY = {model.key: model for model in MODELS}

# ---------------------------------------------------------------- placements

# The five obstacles and the ground, in the order of lines 97 to 102.
ARENA_LINES = [
    ("wall_long", 0.0, -(ARENA_HALF + WALL_THICKNESS / 2), math.pi / 2),
    ("wall_short", ARENA_HALF + WALL_THICKNESS / 2, 0.0, 0.0),
    ("wall_long", 0.0, ARENA_HALF + WALL_THICKNESS / 2, math.pi / 2),
    ("ground", 0.0, 0.0, 0.0),
    ("wall_short", -(ARENA_HALF + WALL_THICKNESS / 2), 0.0, 0.0),
    ("town_hall", 80.0, -80.0, 0.0),
]

OUTWARD = ((0, -1), (1, 0), (0, 1), (-1, 0))  # the four sides of the city
STREET_ROW = ["brick_low", "peach_row", "concrete_block", "office_mid", "mint_row",
              "brick_mid", "lemon_row", "office_mid", "peach_row", "brick_low", "mint_row", "concrete_block"]
SKYLINE = ["dark_tower", "office_slim", "slim_tower"]


def _on_side(d, t, r):
    """World (x, z) at tangential offset t and distance r on side d."""
    return (r * d[0] - t * d[1], r * d[1] + t * d[0])


def _facing_arena(d):
    """Heading that turns a model's local -z towards the arena from side d."""
    return math.atan2(d[0], d[1]) % (2 * math.pi)


def _street_row(side, d):
    """Buildings along one side of the outer ring road, packed outwards from
    the radial street, their fronts 6 units behind the road."""
    rows = []
    for half, sign in enumerate((1, -1)):
        sequence = STREET_ROW[(4 * side + 3 * half) % len(STREET_ROW):] + STREET_ROW
        t = 24.0
        for key in sequence:
            model = MODEL_BY_KEY[key]
            if t + model.width > 256.0:
                break
            r = 266.0 + model.length / 2
            rows.append((key, *_on_side(d, sign * (t + model.width / 2), r), _facing_arena(d)))
            t += model.width + 8.0
    return rows


def outer_placements():
    """Everything outside the walls, in file order."""
    rows = []
    for side, d in enumerate(OUTWARD):
        rows += _street_row(side, d)
    for d in OUTWARD:
        cx, cz = 300.0 * (d[0] - d[1]), 300.0 * (d[1] + d[0])
        rows.append(("glass_tower", cx, cz, _facing_arena(d)))
        rows.append(("round_tree", cx - math.copysign(32.0, cx), cz, 0.0))
        rows.append(("round_tree", cx, cz - math.copysign(32.0, cz), 1.0))
    for side, d in enumerate(OUTWARD):
        for k, t in enumerate((-155.0, -100.0, -45.0, 45.0, 100.0, 155.0)):
            key = SKYLINE[(side + k) % len(SKYLINE)]
            rows.append((key, *_on_side(d, t, 384.0 + MODEL_BY_KEY[key].length / 2), _facing_arena(d)))
    for side, d in enumerate(OUTWARD):
        for k, t in enumerate((-160.0, -120.0, -80.0, -40.0, 40.0, 80.0, 120.0, 160.0)):
            key = "round_tree" if (k + side) % 2 == 0 else "pine_tree"
            rows.append((key, *_on_side(d, t, 201.0), (0.7 * k) % (2 * math.pi)))
    for d in OUTWARD:
        arm_inwards = math.atan2(d[1], -d[0]) % (2 * math.pi)
        for t in (-100.0, -20.0, 20.0, 100.0):
            rows.append(("lamp_post", *_on_side(d, t, 187.0), arm_inwards))
    for d in OUTWARD:
        rows.append(("billboard", *_on_side(d, 0.0, 206.0), _facing_arena(d)))
    for d in OUTWARD:
        rows.append(("fountain", 201.0 * (d[0] - d[1]), 201.0 * (d[1] + d[0]), 0.0))
    for side, d in enumerate(OUTWARD):
        for t in (-100.0, -50.0, 50.0, 100.0):
            rows.append(("pine_tree", *_on_side(d, t, 436.0), 0.0))
    return rows


def placements():
    """All placement lines: 97 outer objects, the arena's six lines, then the
    rest of the outer objects."""
    outer = outer_placements()
    first = COLLISION_INDICES[0]
    if len(outer) < first:
        raise ValueError("the city needs at least %d objects outside the arena" % first)
    return outer[:first] + ARENA_LINES + outer[first:]


def ldo_text():
    lines = ["%d" % len(MODELS)]
    for n, model in enumerate(MODELS, 1):
        lines.append("%d,%s,%.1f,%.1f,%.1f," % (n, model.path, model.radius, model.length, model.width))
    return "\n".join(lines) + "\n"


def map_text():
    rows = placements()
    lines = ["%d" % len(rows)]
    for key, x, z, heading in rows:
        lines.append("%d,%.2f,%.2f,%.2f,%.7f," % (MODEL_NUMBERS[key], x, 0.0, z, heading))
    return "\n".join(lines) + "\n"
