#!/usr/bin/python3
"""Writes the hostile inputs of scripts/hostile into a folder: copies of the game's data folder, each damaged
in one way, and recordings of a short drive damaged in one way each.

    make_cases.py GAME_DIR OUT_DIR
"""
import os
import re
import shutil
import struct
import sys
import zlib
from pathlib import Path


def damaged_copy(game, out, name, files, change):
    """A copy of the data folder called name, each of files (relative to it) rewritten by change."""
    shutil.copytree(game, os.path.join(out, name))
    for path in files:
        Path(out, name, path).write_bytes(change(Path(game, path).read_bytes()))


def claiming(jpeg, width, height):
    """The JPEG with its frame header claiming width by height."""
    at = re.search(b"\xff[\xc0\xc2]", jpeg).start()
    return jpeg[:at + 5] + struct.pack(">HH", height, width) + jpeg[at + 9:]


def mesh_with_materials(count, texture):
    """A .x mesh of count triangles, each with its own material naming texture."""
    ends = [";" if i == count - 1 else "," for i in range(count)]
    material = ["  Material {", "   1.0;1.0;1.0;1.0;;", "   0.0;", "   0.0;0.0;0.0;;", "   0.0;0.0;0.0;;",
                "   TextureFilename {", '    "%s";' % texture, "   }", "  }"]
    lines = (["xof 0303txt 0032", "Mesh many {", " 3;", " 0.0;0.0;0.0;,", " 1.0;0.0;0.0;,", " 0.0;1.0;0.0;;",
              " %d;" % count] + [" 3;0,1,2;" + end for end in ends]
             + [" MeshMaterialList {", "  %d;" % count, "  %d;" % count] + ["  %d%s" % (i, e) for i, e in enumerate(ends)]
             + material * count + [" }", "}", ""])
    return "\n".join(lines).encode()


def huge_footprints(level):
    """Every model line (five fields or more) with its footprint 1e37 by 1e37."""
    lines = level.split(b"\n")
    return b"\n".join(line if i == 0 or line.count(b",") < 5 else b",".join(line.split(b",")[:3] + [b"1e37"] * 2 + [b""])
                      for i, line in enumerate(lines))


def main():
    game, out = sys.argv[1:3]
    os.makedirs(out, exist_ok=True)
    levels = ["maps/city.ldo", "maps/city.map"]
    textures = ["objets/city/textures/%s.jpg" % name for name in ("grass", "foliage", "bark", "roof")]
    bomb = claiming(Path(game, textures[0]).read_bytes(), 16384, 16384)  # a small JPEG claiming 16384 x 16384
    cases = {"clean": ([], None),
             "footprint_1e37": (levels[:1], huge_footprints),
             "bom": (levels, lambda d: b"\xef\xbb\xbf" + d),
             "cr_only": (levels, lambda d: d.replace(b"\r\n", b"\n").replace(b"\n", b"\r")),
             "trailing_text": (levels[1:], lambda d: d.replace(b"\n5,44.00,", b"\n5,44abc,", 1)),
             "texture_bomb": (textures, lambda d: bomb),
             "thousand_materials": (["objets/cars/mycar.x"],
                                    lambda d: mesh_with_materials(1000, "objets/cars/missing.png")),
             "sparse_8gb_mesh": ([], None)}
    for name, (files, change) in cases.items():
        damaged_copy(game, out, name, files, change)
    os.truncate(os.path.join(out, "sparse_8gb_mesh", "objets/cars/mycar.x"), 8 << 30)  # sparse: takes no disk

    # Recordings: cut in the middle, of a newer format, a chunk claiming 4 GB of frames behind a matching CRC.
    drive = Path(__file__).resolve().parent.joinpath("../../fuzz/corpus/recording/short_drive.tvr").read_bytes()
    fields = struct.pack("<4sIIII", b"TVCK", 1, 1, 0xFFFFFFFF, 1)
    huge_chunk = fields + struct.pack("<I", zlib.crc32(b"x", zlib.crc32(fields))) + b"x"
    Path(out, "recording_cut.tvr").write_bytes(drive[:-40])
    Path(out, "recording_newer.tvr").write_bytes(drive[:8] + struct.pack("<I", 2) + drive[12:])
    Path(out, "recording_huge_chunk.tvr").write_bytes(drive[:drive.index(b"TVCK")] + huge_chunk)


if __name__ == "__main__":
    main()
