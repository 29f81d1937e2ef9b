"""Flat-shaded meshes written as DirectX .x text files.

Conventions of the game's renderer: left-handed coordinates with y up, front
faces run clockwise as seen by the viewer, texture v = 0 is the image's top row.
Every face gets its own vertices so that its normal is the face normal.
"""

import math


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def normalise(v):
    length = math.sqrt(dot(v, v))
    return (v[0] / length, v[1] / length, v[2] / length)


def polygon_normal(points):
    """Newell's normal of a planar polygon.

    For points running clockwise as seen from the front in left-handed
    coordinates the result points towards the viewer (it equals the direction
    of cross(p1 - p0, p2 - p0) for a triangle)."""
    nx = ny = nz = 0.0
    for i, p in enumerate(points):
        q = points[(i + 1) % len(points)]
        nx += (p[1] - q[1]) * (p[2] + q[2])
        ny += (p[2] - q[2]) * (p[0] + q[0])
        nz += (p[0] - q[0]) * (p[1] + q[1])
    return normalise((nx, ny, nz))


class Material:
    """A Direct3D material: diffuse RGBA, emissive RGB and an optional texture
    path, written relative to the game's working directory."""

    def __init__(self, name, diffuse, texture=None, emissive=(0.0, 0.0, 0.0)):
        self.name = name
        self.diffuse = tuple(diffuse) if len(diffuse) == 4 else tuple(diffuse) + (1.0,)
        self.texture = texture
        self.emissive = tuple(emissive)


BOX_FACES = ("front", "back", "left", "right", "top", "bottom")


class MeshBuilder:
    """Collects textured, flat-shaded polygons and writes them as one .x Mesh."""

    def __init__(self, name):
        self.name = name
        self.materials = []
        self.triangles = []  # (material index, three (position, uv) pairs, normal)

    def _material_index(self, material):
        for i, known in enumerate(self.materials):
            if known is material:
                return i
        self.materials.append(material)
        return len(self.materials) - 1

    def add_polygon(self, material, points, uvs, outward=None):
        """Adds a convex planar polygon whose points run clockwise seen from its
        front. With `outward` given the order is reversed where needed so that
        the front faces that direction."""
        pairs = []
        for p, uv in zip(points, uvs):
            if not pairs or max(abs(c) for c in sub(p, pairs[-1][0])) > 1e-9:
                pairs.append((tuple(p), tuple(uv)))
        if max(abs(c) for c in sub(pairs[0][0], pairs[-1][0])) <= 1e-9:
            pairs.pop()
        if len(pairs) < 3:
            return
        normal = polygon_normal([p for p, _ in pairs])
        if outward is not None and dot(normal, outward) < 0:
            pairs.reverse()
            normal = (-normal[0], -normal[1], -normal[2])
        index = self._material_index(material)
        for i in range(1, len(pairs) - 1):
            self.triangles.append((index, (pairs[0], pairs[i], pairs[i + 1]), normal))

    def add_quad(self, material, corners, uv_rect=(0.0, 0.0, 1.0, 1.0), outward=None):
        """Adds a quad given as top-left, top-right, bottom-right, bottom-left
        corners seen from its front; uv_rect (u0, v0, u1, v1) spans the same
        corners."""
        u0, v0, u1, v1 = uv_rect
        self.add_polygon(material, corners, [(u0, v0), (u1, v0), (u1, v1), (u0, v1)], outward)

    def add_box(self, materials, bounds, uv=None, faces=BOX_FACES):
        """Adds an axis-aligned box (x0, x1, y0, y1, z0, z1).

        `materials` is one Material or a dict face name -> Material (faces
        missing from the dict are skipped). `uv(face, width, height)` returns
        the uv rectangle of a face from its size as seen from outside; by
        default each face shows the whole texture once."""
        x0, x1, y0, y1, z0, z1 = bounds
        corners = {
            "front": ((x0, y1, z0), (x1, y1, z0), (x1, y0, z0), (x0, y0, z0)),
            "back": ((x1, y1, z1), (x0, y1, z1), (x0, y0, z1), (x1, y0, z1)),
            "left": ((x0, y1, z1), (x0, y1, z0), (x0, y0, z0), (x0, y0, z1)),
            "right": ((x1, y1, z0), (x1, y1, z1), (x1, y0, z1), (x1, y0, z0)),
            "top": ((x0, y1, z1), (x1, y1, z1), (x1, y1, z0), (x0, y1, z0)),
            "bottom": ((x1, y0, z1), (x0, y0, z1), (x0, y0, z0), (x1, y0, z0)),
        }
        sizes = {
            "front": (x1 - x0, y1 - y0), "back": (x1 - x0, y1 - y0),
            "left": (z1 - z0, y1 - y0), "right": (z1 - z0, y1 - y0),
            "top": (x1 - x0, z1 - z0), "bottom": (x1 - x0, z1 - z0),
        }
        for face in faces:
            material = materials.get(face) if isinstance(materials, dict) else materials
            if material is None:
                continue
            rect = uv(face, *sizes[face]) if uv else (0.0, 0.0, 1.0, 1.0)
            self.add_quad(material, corners[face], rect)

    def add_lathe(self, material, profile, segments, centre=(0.0, 0.0, 0.0), u_repeat=1.0,
                  angle_offset=0.0):
        """Adds a surface of revolution about the vertical axis through `centre`.

        `profile` lists (radius, height, v) points; the outside of the surface
        lies to the right of the profile as it is walked, so a profile that
        climbs the outer wall and then runs inwards over the top faces
        outwards and upwards."""
        cx, cy, cz = centre
        for k in range(len(profile) - 1):
            r0, y0, v0 = profile[k]
            r1, y1, v1 = profile[k + 1]
            dr, dy = r1 - r0, y1 - y0
            for s in range(segments):
                a0 = angle_offset + 2.0 * math.pi * s / segments
                a1 = angle_offset + 2.0 * math.pi * (s + 1) / segments
                am = 0.5 * (a0 + a1)
                points = [
                    (cx + r0 * math.cos(a0), cy + y0, cz + r0 * math.sin(a0)),
                    (cx + r0 * math.cos(a1), cy + y0, cz + r0 * math.sin(a1)),
                    (cx + r1 * math.cos(a1), cy + y1, cz + r1 * math.sin(a1)),
                    (cx + r1 * math.cos(a0), cy + y1, cz + r1 * math.sin(a0)),
                ]
                u0 = u_repeat * s / segments
                u1 = u_repeat * (s + 1) / segments
                uvs = [(u0, v0), (u1, v0), (u1, v1), (u0, v1)]
                outward = (dy * math.cos(am), -dr, dy * math.sin(am))
                self.add_polygon(material, points, uvs, outward)

    def texture_paths(self):
        return sorted({m.texture for m in self.materials if m.texture})

    def to_x_text(self):
        """The mesh as a DirectX .x text file."""
        positions, normals, uvs, face_materials = [], [], [], []
        for index, tri, normal in self.triangles:
            for position, uv in tri:
                positions.append(position)
                normals.append(normal)
                uvs.append(uv)
            face_materials.append(index)
        count = len(self.triangles)
        faces = ["3;%d,%d,%d;" % (3 * i, 3 * i + 1, 3 * i + 2) for i in range(count)]

        out = ["xof 0303txt 0032", "", "Mesh %s {" % self.name]
        out.append(" %d;" % len(positions))
        out.extend(_listed([" %s;%s;%s;" % tuple(_num(c) for c in p) for p in positions]))
        out.append(" %d;" % count)
        out.extend(_listed([" " + f for f in faces]))
        out.append(" MeshNormals {")
        out.append("  %d;" % len(normals))
        out.extend(_listed(["  %s;%s;%s;" % tuple(_num(c) for c in n) for n in normals]))
        out.append("  %d;" % count)
        out.extend(_listed(["  " + f for f in faces]))
        out.append(" }")
        out.append(" MeshTextureCoords {")
        out.append("  %d;" % len(uvs))
        out.extend(_listed(["  %s;%s;" % (_num(u), _num(v)) for u, v in uvs]))
        out.append(" }")
        out.append(" MeshMaterialList {")
        out.append("  %d;" % len(self.materials))
        out.append("  %d;" % count)
        out.append(",\n".join("  %d" % i for i in face_materials) + ";")
        for material in self.materials:
            out.extend(_material_lines(material))
        out.append(" }")
        out.append("}")
        return "\n".join(out) + "\n"

    def write(self, path):
        with open(path, "w", encoding="ascii", newline="\n") as f:
            f.write(self.to_x_text())


def _num(value):
    text = "%.4f" % value
    return "0.0000" if text == "-0.0000" else text


def _listed(items):
    """Array elements of a .x text file: ',' between items, ';' after the last."""
    return [item + ("," if i < len(items) - 1 else ";") for i, item in enumerate(items)]


def _material_lines(material):
    lines = ["  Material %s {" % material.name,
             "   %s;;" % ";".join(_num(c) for c in material.diffuse),
             "   0.0000;",
             "   0.0000;0.0000;0.0000;;",
             "   %s;;" % ";".join(_num(c) for c in material.emissive)]
    if material.texture:
        lines += ["   TextureFilename {", '    "%s";' % material.texture, "   }"]
    lines.append("  }")
    return lines
