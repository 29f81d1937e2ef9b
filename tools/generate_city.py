#!/usr/bin/python3
"""Writes the game's data folder: the car and sky meshes, the city's meshes,
their textures and the level files "maps/city.ldo" and "maps/city.map".

Usage: /usr/bin/python3 tools/generate_city.py [OUTPUT_DIR]

OUTPUT_DIR defaults to the repository's game/ folder, the working directory
the game runs in. The output depends on nothing but this code: two runs write
identical bytes.
"""

import os
import sys

import generator_cli
from citygen import layout, models, textures

CAR_MESH = "objets/cars/mycar.x"
SKY_MESH = "objets/skybox/skydome.x"


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
    return generator_cli.run(__doc__.splitlines()[0], generate, argv)


if __name__ == "__main__":
    sys.exit(main())
