#!/usr/bin/python3
"""Checks that every source file under src/ includes only from its own layer and
the layers below it, that no file below the assets layer includes a window,
GPU, mesh, image or video library, and that only the two TOML readers (the settings in core, the car file) include toml++.
Usage: check_layers.py SRC_DIR"""
import pathlib
import re
import sys

# Each layer's folders, and the layers it may include from (besides itself).
LAYERS = {
    "core": ({"core"}, set()),
    "math": ({"math"}, {"core"}),
    "render": ({"render"}, {"core", "math"}),
    "sim": ({"car", "collision", "camera", "input", "world"}, {"core", "math", "render"}),
    "carfile": ({"carfile"}, {"core", "math", "render", "sim"}),
    "recording": ({"recording"}, {"core", "math", "render", "sim"}),
    # The mesh and image readers give plain results of their own: the device's types stay above them.
    "assets": ({"assets"}, {"core", "math"}),
    "gl": ({"render/gl"}, {"core", "math", "render", "assets"}),
    # The keyboard source the platform fills is declared by the input logic.
    "platform": ({"platform"}, {"core", "math", "sim"}),
    "panels": ({"panels"}, {"core", "math", "render", "sim", "carfile"}),
    "panels_desktop": ({"panels/desktop"}, {"core", "math", "render", "assets", "gl", "platform", "panels"}),
    # The sound speaks its own terms (sound_frame.h): the app fills them from the car and the camera.
    "sound": ({"sound"}, {"core", "math"}),
    "replay": ({"replay"}, {"core", "math", "render", "sim", "recording"}),
    # The video encoder takes plain pictures: nothing of the game's.
    "video": ({"video"}, {"core"}),
    "app": ({"app"}, {"core", "math", "render", "sim", "carfile", "recording", "assets", "gl", "platform", "panels",
                     "panels_desktop", "sound"}),
    "main": ({"main"}, {"core", "math", "render", "sim", "carfile", "recording", "assets", "gl", "platform",
                       "panels", "panels_desktop", "replay", "video", "app", "sound"}),
}
FOREIGN = re.compile(r"#include\s*<(SDL|GL/|assimp/|png\.h|jpeglib\.h|ft2build\.h|X11/|fontconfig/|libav|libsw)")
# OpenAL and libsndfile stay in the sound layer.
AUDIO = re.compile(r"#include\s*<(AL/|sndfile)")
AUDIO_USERS = {"sound"}
# The TOML parser stays in the car file's layer.
TOML = re.compile(r"#include\s*<toml\+\+/")
TOML_READERS = {"core", "carfile"}
PLATFORM_FREE = {"core", "math", "render", "sim", "carfile", "recording", "panels", "replay"}


def layer_of(relative):
    """The layer a path under src/ belongs to: the longest matching folder wins."""
    best = None
    for layer, (folders, _) in LAYERS.items():
        for folder in folders:
            if relative.startswith(folder + "/") and (best is None or len(folder) > len(best[1])):
                best = (layer, folder)
    return best[0] if best else None


def main(src):
    root = pathlib.Path(src)
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        relative = path.relative_to(root).as_posix()
        layer = layer_of(relative)
        if layer is None:
            faults.append(f"{relative}: in no layer")
            continue
        allowed = {layer} | LAYERS[layer][1]
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            quoted = re.match(r'#include\s*"([^"]+)"', line)
            if quoted:
                target = layer_of(quoted.group(1))
                if target is not None and target not in allowed:
                    faults.append(f"{relative}:{number}: {layer} includes {quoted.group(1)} ({target})")
            if layer in PLATFORM_FREE and FOREIGN.match(line):
                faults.append(f"{relative}:{number}: {layer} includes a platform library: {line.strip()}")
            if layer not in AUDIO_USERS and AUDIO.match(line):
                faults.append(f"{relative}:{number}: {layer} includes an audio library: {line.strip()}")
            if layer not in TOML_READERS and TOML.match(line):
                faults.append(f"{relative}:{number}: {layer} includes the TOML parser: {line.strip()}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
