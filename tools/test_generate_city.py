#!/usr/bin/python3
"""Checks of the city generator and of the data folder it writes.

Run with Debian's Python: /usr/bin/python3 tools/test_generate_city.py
"""

import filecmp
import math
import os
import re
import subprocess
import sys
import tempfile
import unittest
from collections import deque

from PIL import Image

TOOLS = os.path.dirname(os.path.abspath(__file__))
GENERATOR = os.path.join(TOOLS, "generate_city.py")
COMMITTED = os.path.join(os.path.dirname(TOOLS), "game")

WALL_INDICES = (97, 98, 99, 101)
BUILDING_INDEX = 102
GROUND_INDEX = 100
START = (0.0, 2.0)          # x, z of the car at start, heading 0
CAR = (11.4, 4.8)           # footprint length (along z at heading 0), width
FIXED_MESHES = ("objets/cars/mycar.x", "objets/skybox/skydome.x")


def generate(folder):
    subprocess.run([sys.executable, GENERATOR, folder], check=True, stdout=subprocess.DEVNULL)


def all_files(folder):
    return sorted(os.path.relpath(os.path.join(d, f), folder) for d, _, files in os.walk(folder) for f in files)


def read_level_file(path):
    """Header integer and records, each the five fields before the five commas."""
    with open(path, encoding="ascii") as f:
        header, *lines = f.read().split("\n")
    records = []
    for line in lines:
        if line:
            fields = line.split(",")
            if len(fields) != 6 or fields[5] != "" or any(not x or " " in x for x in fields[:5]):
                raise ValueError("malformed record %r in %s" % (line, path))
            records.append(fields[:5])
    return int(header), records


def parse_x(path):
    """Vertices, (triangle, normals) faces and materials of a .x text mesh,
    checking that its arrays agree with their counts."""
    with open(path, encoding="ascii") as f:
        text = f.read()
    assert text.startswith("xof 0303txt 0032"), path
    tokens = re.findall(r'"[^"]*"|[A-Za-z_]\w*|-?\d+(?:\.\d+)?|[{}]', text)
    pos = tokens.index("Mesh") + 3

    def take(n, cast=float):
        nonlocal pos
        values = [cast(t) for t in tokens[pos:pos + n]]
        pos += n
        return values

    def faces(count):
        result = []
        for _ in range(count):
            n = take(1, int)[0]
            result.append(take(n, int))
        return result

    count = take(1, int)[0]
    vertices = [tuple(take(3)) for _ in range(count)]
    face_list = faces(take(1, int)[0])
    assert tokens[pos:pos + 2] == ["MeshNormals", "{"], path
    pos += 2
    normals = [tuple(take(3)) for _ in range(take(1, int)[0])]
    normal_faces = faces(take(1, int)[0])
    assert normal_faces == face_list, path
    pos += 3  # "}", "MeshTextureCoords", "{"
    assert take(1, int)[0] == count, path
    texcoords = [tuple(take(2)) for _ in range(count)]
    pos += 3  # "}", "MeshMaterialList", "{"
    material_count, face_count = take(2, int)
    face_materials = take(face_count, int)
    assert face_count == len(face_list) and max(face_materials) < material_count, path
    assert all(0 <= i < count for face in face_list for i in face), path
    materials = []
    for _ in range(material_count):
        assert tokens[pos] == "Material", path
        pos += 3
        diffuse, power, specular, emissive = take(4), take(1), take(3), take(3)
        texture = None
        if tokens[pos] == "TextureFilename":
            texture = tokens[pos + 2].strip('"')
            pos += 4
        pos += 1
        materials.append({"diffuse": diffuse, "emissive": emissive, "texture": texture})
    tris = [([vertices[i] for i in face], [texcoords[i] for i in face], normals[face[0]], face_materials[k])
            for k, face in enumerate(face_list)]
    return vertices, tris, materials


def texture_axis(points, uvs, coordinate):
    """World direction (dx, dz), along x or z, in which texture coordinate u
    (0) or v (1) grows over a flat horizontal triangle."""
    (x0, _, z0), (x1, _, z1), (x2, _, z2) = points
    a0, a1, a2 = (uv[coordinate] for uv in uvs)
    det = (x1 - x0) * (z2 - z0) - (x2 - x0) * (z1 - z0)
    gx = ((a1 - a0) * (z2 - z0) - (a2 - a0) * (z1 - z0)) / det
    gz = ((x1 - x0) * (a2 - a0) - (x2 - x0) * (a1 - a0)) / det
    return (int(math.copysign(1, gx)), 0) if abs(gx) > abs(gz) else (0, int(math.copysign(1, gz)))


class Footprint:
    """A footprint rectangle with the game's axes: forward (-sin h, -cos h)
    holds the length, side (cos h, -sin h) the width."""

    def __init__(self, x, z, heading, length, width):
        self.x, self.z, self.length, self.width = x, z, length, width
        self.f = (-math.sin(heading), -math.cos(heading))
        self.s = (math.cos(heading), -math.sin(heading))

    def corners(self):
        return [(self.x + a * self.length / 2 * self.f[0] + b * self.width / 2 * self.s[0],
                 self.z + a * self.length / 2 * self.f[1] + b * self.width / 2 * self.s[1])
                for a, b in ((1, 1), (1, -1), (-1, -1), (-1, 1))]

    def gap_to_point(self, px, pz):
        """Distance of a point outside the rectangle along its own axes
        (negative inside)."""
        dx, dz = px - self.x, pz - self.z
        along = abs(dx * self.f[0] + dz * self.f[1]) - self.length / 2
        across = abs(dx * self.s[0] + dz * self.s[1]) - self.width / 2
        return max(along, across)


def rectangles_gap(a, b):
    """Largest separation of two rectangles along their edge normals
    (negative when they overlap)."""
    r1, r2 = a.corners(), b.corners()
    gap = -math.inf
    for axis in (a.f, a.s, b.f, b.s):
        p1 = [p[0] * axis[0] + p[1] * axis[1] for p in r1]
        p2 = [p[0] * axis[0] + p[1] * axis[1] for p in r2]
        gap = max(gap, min(p2) - max(p1), min(p1) - max(p2))
    return gap


class GeneratedCity(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.tmp.name, "first")
        generate(cls.out)
        cls.count, model_rows = read_level_file(os.path.join(cls.out, "maps", "city.ldo"))
        cls.models = {int(n): (path, float(r), float(length), float(width)) for n, path, r, length, width in model_rows}
        cls.header, rows = read_level_file(os.path.join(cls.out, "maps", "city.map"))
        cls.placed = [(int(n), float(x), float(y), float(z), float(h)) for n, x, y, z, h in rows]
        cls.meshes = {path: parse_x(os.path.join(cls.out, path))
                      for path in FIXED_MESHES + tuple(m[0] for m in cls.models.values())}

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def footprint(self, index):
        n, x, _, z, h = self.placed[index]
        _, _, length, width = self.models[n]
        return Footprint(x, z, h, length, width)

    def test_two_runs_write_identical_bytes(self):
        second = os.path.join(self.tmp.name, "second")
        generate(second)
        files = all_files(self.out)
        self.assertEqual(files, all_files(second))
        _, mismatch, errors = filecmp.cmpfiles(self.out, second, files, shallow=False)
        self.assertEqual((mismatch, errors), ([], []))

    @unittest.skipUnless(os.path.isdir(COMMITTED), "no game/ folder")
    def test_committed_data_matches_the_generator(self):
        files = all_files(self.out)
        committed = [f for f in all_files(COMMITTED) if f.split(os.sep)[0] in ("objets", "maps")]
        self.assertEqual(files, committed, "game/objets and game/maps hold exactly the generated files")
        _, mismatch, errors = filecmp.cmpfiles(self.out, COMMITTED, files, shallow=False)
        self.assertEqual((mismatch, errors), ([], []), "regenerate game/ with tools/generate_city.py")

    def test_level_files_are_consistent(self):
        self.assertEqual(self.count, len(self.models))
        self.assertTrue(all(1 <= n <= 100 for n in self.models))
        self.assertEqual(self.header, len(self.placed))
        self.assertTrue(103 <= len(self.placed) <= 150)
        for n, *_ in self.placed:
            self.assertIn(n, self.models)
        for path, radius, length, width in self.models.values():
            self.assertTrue(os.path.isfile(os.path.join(self.out, path)), path)
            self.assertGreaterEqual(radius, math.hypot(length, width) / 2, path)

    def test_collision_volumes_match_their_meshes(self):
        for index in WALL_INDICES + (BUILDING_INDEX,):
            n, _, y, _, _ = self.placed[index]
            path, _, length, width = self.models[n]
            self.assertTrue(length > 0 and width > 0, index)
            self.assertTrue(-8.0 < y <= 2.0, "the car (y 2) must meet the volume's 10-high faces")
            low = [v for v in self.meshes[path][0] if v[1] < 10.0]
            self.assertAlmostEqual(max(v[0] for v in low) - min(v[0] for v in low), width, places=3)
            self.assertAlmostEqual(max(v[2] for v in low) - min(v[2] for v in low), length, places=3)
        walls = [self.models[self.placed[i][0]] for i in WALL_INDICES]
        self.assertTrue(all(w[3] <= 4.0 < w[2] for w in walls), "walls are long and thin")

    def reachable(self, reach=260):
        """Grid points (1 unit apart) that the car's centre reaches from the
        start while staying half its width away from every wall."""
        walls = [self.footprint(i) for i in WALL_INDICES]
        start = (round(START[0]), round(START[1]))
        seen, queue = {start}, deque([start])
        while queue:
            x, z = queue.popleft()
            if max(abs(x), abs(z)) >= reach:
                self.fail("the walls leave a way out of the arena at %s" % ((x, z),))
            for c in ((x + 1, z), (x - 1, z), (x, z + 1), (x, z - 1)):
                if c not in seen and all(w.gap_to_point(*c) > CAR[1] / 2 for w in walls):
                    seen.add(c)
                    queue.append(c)
        return seen

    def test_start_lies_in_a_closed_arena_clear_of_the_building(self):
        cells = self.reachable()
        self.assertGreater(len(cells), 250 * 250, "the arena is roomy")
        car = Footprint(START[0], START[1], 0.0, *CAR)
        for index in WALL_INDICES:
            self.assertGreater(rectangles_gap(car, self.footprint(index)), 0.0)
        hall = self.footprint(BUILDING_INDEX)
        self.assertGreater(rectangles_gap(car, hall), 20.0)
        self.assertTrue(any(hall.gap_to_point(*c) < 0 for c in cells), "the building stands inside the arena")
        xs, zs = [c[0] for c in cells], [c[1] for c in cells]
        for index, (n, x, _, z, h) in enumerate(self.placed):
            if index in WALL_INDICES + (BUILDING_INDEX, GROUND_INDEX):
                continue
            for px, pz in self.footprint(index).corners() + [(x, z)]:
                self.assertFalse(min(xs) <= px <= max(xs) and min(zs) <= pz <= max(zs),
                                 "placement %d stands where the car drives" % index)

    def test_textures_exist_in_both_formats_with_power_of_two_sizes(self):
        formats = set()
        for path, (_, _, materials) in self.meshes.items():
            for texture in (m["texture"] for m in materials if m["texture"]):
                file = os.path.join(self.out, texture)
                self.assertTrue(os.path.isfile(file), "%s names missing %s" % (path, texture))
                with Image.open(file) as image:
                    formats.add(image.format)
                    self.assertEqual(image.format, {"png": "PNG", "jpg": "JPEG"}[texture.rsplit(".", 1)[1]])
                    for side in image.size:
                        self.assertEqual(side & (side - 1), 0, "%s is %s" % (texture, image.size))
        self.assertEqual(formats, {"PNG", "JPEG"})

    def test_faces_look_the_right_way(self):
        for path, (_, tris, _) in self.meshes.items():
            for points, _, normal, _ in tris:
                a, b, c = points
                u = [b[i] - a[i] for i in range(3)]
                v = [c[i] - a[i] for i in range(3)]
                cross = (u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0])
                self.assertGreater(sum(cross[i] * normal[i] for i in range(3)), 0, "%s: winding" % path)
                self.assertAlmostEqual(math.hypot(*normal), 1.0, places=3)
        for points, _, normal, _ in self.meshes["objets/skybox/skydome.x"][1]:
            centre = [sum(p[i] for p in points) / 3 for i in range(3)]
            self.assertLess(sum(centre[i] * normal[i] for i in range(3)), 0, "the sky is seen from inside")
        ground = self.models[self.placed[GROUND_INDEX][0]][0]
        self.assertTrue(all(n[1] > 0.999 for _, _, n, _ in self.meshes[ground][1]))

    def test_car_size_and_orientation(self):
        vertices, tris, materials = self.meshes["objets/cars/mycar.x"]
        lo = [min(v[i] for v in vertices) for i in range(3)]
        hi = [max(v[i] for v in vertices) for i in range(3)]
        self.assertAlmostEqual(lo[1], -1.0, places=3)
        self.assertTrue(5.5 < hi[2] - lo[2] < 6.0 and 2.3 < hi[0] - lo[0] < 2.6)
        self.assertGreaterEqual(len(materials), 4)
        self.assertTrue(any(m["texture"] for m in materials))
        lights = [sum(p[2] for p in pts) / 3 for pts, _, _, k in tris
                  if min(materials[k]["emissive"]) > 0.5]  # white headlights
        self.assertTrue(lights and max(lights) < -2.5, "headlights at the front, local -z")

    def test_road_tiles_join_their_neighbours(self):
        """Reads each ground cell's image orientation back from the mesh's
        uvs: a road leaves a tile exactly towards the cells that are road too."""
        exits = {"road.png": "top bottom", "road_start.png": "top right bottom left",
                 "road_cross.png": "top right bottom left", "road_tee.png": "right bottom left",
                 "road_corner.png": "right bottom"}
        _, tris, materials = self.meshes[self.models[self.placed[GROUND_INDEX][0]][0]]
        roads = {}
        for points, uvs, _, m in tris:
            image = materials[m]["texture"].rsplit("/", 1)[1]
            cell = (round(sum(p[0] for p in points) / 120.0), round(sum(p[2] for p in points) / 120.0))
            if image in exits:
                (ux, uz), (vx, vz) = texture_axis(points, uvs, 0), texture_axis(points, uvs, 1)
                towards = {"right": (ux, uz), "left": (-ux, -uz), "bottom": (vx, vz), "top": (-vx, -vz)}
                roads[cell] = {towards[side] for side in exits[image].split()}
        self.assertEqual(len(roads[(0, 0)]), 4, "the start is a crossroads")
        limit = max(abs(i) for i, _ in roads)
        for (i, j), leaving in roads.items():
            for di, dj in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if max(abs(i + di), abs(j + dj)) <= limit:
                    self.assertEqual((di, dj) in leaving, (i + di, j + dj) in roads, "road at %s" % ((i, j),))

    def test_placed_objects_do_not_overlap(self):
        solid = [i for i in range(len(self.placed)) if i != GROUND_INDEX]
        for a in solid:
            for b in solid:
                if a < b:
                    self.assertGreaterEqual(rectangles_gap(self.footprint(a), self.footprint(b)), -1e-3, (a, b))
            x, z = self.placed[a][1], self.placed[a][3]
            self.assertLess(math.hypot(x, z), 450.0, "placement %d beyond the far plane's reach" % a)

    def test_data_stays_small(self):
        total = sum(os.path.getsize(os.path.join(self.out, f)) for f in all_files(self.out))
        self.assertLess(total, 10 * 1024 * 1024)


if __name__ == "__main__":
    unittest.main()
