#!/usr/bin/python3
"""Writes the hostile inputs of scripts/hostile into a folder: copies of the
game's data folder, each damaged in one way, and a few lone files.

    make_cases.py GAME_DIR OUT_DIR
"""
import os
import shutil
import struct
import sys
import zlib


def copy_game(game, out, name):
    target = os.path.join(out, name)
    shutil.copytree(game, target)
    return target


def rewrite(path, change):
    with open(path, 'rb') as f:
        data = f.read()
    with open(path, 'wb') as f:
        f.write(change(data))


def jpeg_claiming(source, width, height):
    """The JPEG at source with its frame header claiming width by height."""
    with open(source, 'rb') as f:
        data = bytearray(f.read())
    for marker in (b'\xff\xc0', b'\xff\xc2'):
        at = data.find(marker)
        if at >= 0:
            data[at + 5:at + 9] = struct.pack('>HH', height, width)
            return bytes(data)
    raise SystemExit('no frame header in ' + source)


def mesh_with_materials(count, texture):
    """A .x mesh of count triangles, each with its own material naming texture."""
    lines = ['xof 0303txt 0032', 'Mesh many {', ' 3;', ' 0.0;0.0;0.0;,', ' 1.0;0.0;0.0;,', ' 0.0;1.0;0.0;;',
             ' %d;' % count]
    lines += [' 3;0,1,2;%s' % (';' if i == count - 1 else ',') for i in range(count)]
    lines += [' MeshMaterialList {', '  %d;' % count, '  %d;' % count]
    lines += ['  %d%s' % (i, ';' if i == count - 1 else ',') for i in range(count)]
    for i in range(count):
        lines += ['  Material {', '   1.0;1.0;1.0;1.0;;', '   0.0;', '   0.0;0.0;0.0;;', '   0.0;0.0;0.0;;',
                  '   TextureFilename {', '    "%s";' % texture, '   }', '  }']
    lines += [' }', '}', '']
    return '\n'.join(lines).encode()


def recordings(out):
    """Recordings of a short drive on the game's data: cut in its middle, in a
    newer format, and with a chunk claiming 4 GB of frames behind a matching CRC."""
    source = os.path.join(os.path.dirname(__file__), '../../fuzz/corpus/recording/short_drive.tvr')
    with open(source, 'rb') as f:
        data = f.read()
    with open(os.path.join(out, 'recording_cut.tvr'), 'wb') as f:
        f.write(data[:len(data) - 40])
    with open(os.path.join(out, 'recording_newer.tvr'), 'wb') as f:
        f.write(data[:8] + struct.pack('<I', 2) + data[12:])
    header_end = data.index(b'TVCK')
    fields = struct.pack('<4sIIII', b'TVCK', 1, 1, 0xFFFFFFFF, 1)
    chunk = fields + struct.pack('<I', zlib.crc32(b'x', zlib.crc32(fields))) + b'x'
    with open(os.path.join(out, 'recording_huge_chunk.tvr'), 'wb') as f:
        f.write(data[:header_end] + chunk)


def main():
    game, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    maps = lambda root, name: os.path.join(root, 'maps', name)

    copy_game(game, out, 'clean')

    # Level files: absurd numbers, a byte-order mark, CR-only line ends, trailing text.
    root = copy_game(game, out, 'footprint_1e37')
    rewrite(maps(root, 'city.ldo'), lambda d: b'\n'.join(
        l if i == 0 or l.count(b',') < 5 else b','.join(l.split(b',')[:3] + [b'1e37', b'1e37', b''])
        for i, l in enumerate(d.split(b'\n'))))
    root = copy_game(game, out, 'bom')
    for name in ('city.ldo', 'city.map'):
        rewrite(maps(root, name), lambda d: b'\xef\xbb\xbf' + d)
    root = copy_game(game, out, 'cr_only')
    for name in ('city.ldo', 'city.map'):
        rewrite(maps(root, name), lambda d: d.replace(b'\r\n', b'\n').replace(b'\n', b'\r'))
    root = copy_game(game, out, 'trailing_text')
    rewrite(maps(root, 'city.map'), lambda d: d.replace(b'\n5,44.00,', b'\n5,44abc,', 1))

    # Textures: a small JPEG claiming 16384 x 16384, named by four city textures.
    root = copy_game(game, out, 'texture_bomb')
    bomb = jpeg_claiming(os.path.join(game, 'objets/city/textures/grass.jpg'), 16384, 16384)
    for name in ('grass.jpg', 'foliage.jpg', 'bark.jpg', 'roof.jpg'):
        with open(os.path.join(root, 'objets/city/textures', name), 'wb') as f:
            f.write(bomb)

    # A car of 1000 materials, each naming a texture that is not there.
    root = copy_game(game, out, 'thousand_materials')
    with open(os.path.join(root, 'objets/cars/mycar.x'), 'wb') as f:
        f.write(mesh_with_materials(1000, 'objets/cars/missing.png'))

    recordings(out)

    # An 8 GB sparse car mesh.
    root = copy_game(game, out, 'sparse_8gb_mesh')
    with open(os.path.join(root, 'objets/cars/mycar.x'), 'r+b') as f:
        f.truncate(8 << 30)


if __name__ == '__main__':
    main()
