#!/usr/bin/python3
"""Writes the game's data folder: the car and sky meshes, the city's meshes,
their textures and the level files "maps/city.ldo" and "maps/city.map".

Usage: /usr/bin/python3 tools/generate_city.py [OUTPUT_DIR]

OUTPUT_DIR defaults to the repository's game/ folder, the working directory
the game runs in. The output depends on nothing but this code: two runs write
identical bytes.
"""

import argparse
import os
import sys

from citygen import layout, models, textures

CAR_MESH = "objets/cars/mycar.x"
SKY_MESH = "objets/skybox/skydome.x"
DEFAULT_OUTPUT = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "game")


def build_meshes():
    """Mesh path (relative to the game's working directory) -> MeshBuilder."""
    meshes = {CAR_MESH: models.build_car(), SKY_MESH: models.build_sky()}
    for model in layout.MODELS:
        meshes[model.path] = model.build()
    return meshes


def _target(out_dir, relative):
    path = os.path.join(out_dir, *relative.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    return path


def _write_text(out_dir, relative, text):
    with open(_target(out_dir, relative), "w", encoding="ascii", newline="\n") as f:
        f.write(text)


def generate(out_dir):
    """Writes every data file under out_dir; returns their relative paths."""
    meshes = build_meshes()
    written = []
    for relative, mesh in meshes.items():
        _write_text(out_dir, relative, mesh.to_x_text())
        written.append(relative)
    for relative in sorted({t for mesh in meshes.values() for t in mesh.texture_paths()}):
        textures.save(textures.render(relative), _target(out_dir, relative))
        written.append(relative)
    _write_text(out_dir, "maps/city.ldo", layout.ldo_text())
    _write_text(out_dir, "maps/city.map", layout.map_text())
    return written + ["maps/city.ldo", "maps/city.map"]


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", nargs="?", default=DEFAULT_OUTPUT, help="data folder to write (default: game/)")
    args = parser.parse_args(argv)
    written = generate(args.output)
    print("wrote %d files to %s" % (len(written), args.output))
    return 0


if __name__ == "__main__":
    sys.exit(main())
