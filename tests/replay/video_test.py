#!/usr/bin/python3
"""torvane-replay --video as its users meet it: a 60-frame drive decodes
(ffprobe, ffmpeg) to 60 pictures of the right size at the drive's rate, the
first one the replay tool's screenshot of that frame within the codec's loss,
in H.264 and scaled in VP9; bad requests refused, an earlier file kept.
Usage: video_test.py REPLAY (status 77: no OpenGL device or no ffprobe here)"""
import os
import shutil
import subprocess
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402

KEYS = "1 60 Up Right\n"


class Video(harness.TestCase):
    def setUp(self):
        super().setUp()
        self.write("drive.keys", KEYS)

    def run_tool(self, *args, status=0):
        return self.ran([harness.ARGS.replay, "--keys", "drive.keys", *args], status, drawn=True, cwd=self.scratch)

    def probe(self, name):
        fields = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                                 "stream=codec_name,width,height,nb_read_frames,avg_frame_rate", "-of",
                                 "default=noprint_wrappers=1", self.path(name)],
                                capture_output=True, text=True, check=True).stdout.split()
        return dict(field.split("=") for field in fields)

    def first_picture(self, name, width, height):
        raw = subprocess.run(["ffmpeg", "-v", "error", "-i", self.path(name), "-frames:v", "1", "-f", "rawvideo",
                              "-pix_fmt", "rgb24", "-"], capture_output=True, check=True).stdout
        return np.frombuffer(raw, np.uint8).reshape(height, width, 3).astype(int)

    def test_video_decodes_to_the_drives_frames_and_pictures(self):
        self.run_tool("--frames", "1", "--png", "shot-%d.png")
        screenshot = Image.open(self.path("shot-1.png")).convert("RGB")
        for name, size, codec in (("drive.mp4", None, "h264"), ("small.webm", (320, 240), "vp9")):
            args = ["--video", name] + (["--video-size", f"{size[0]}x{size[1]}"] if size else [])
            self.run_tool(*args)
            width, height = size or screenshot.size
            self.assertEqual(self.probe(name), {"codec_name": codec, "width": str(width), "height": str(height),
                                                "avg_frame_rate": "60/1", "nb_read_frames": "60"})
            expected = np.asarray(screenshot.resize((width, height), Image.BICUBIC)).astype(int)
            loss = np.abs(self.first_picture(name, width, height) - expected).mean()
            self.assertLess(loss, 4.0 if size is None else 8.0, name)  # a wrong frame or a flip: over 30

    def test_bad_requests_are_refused_and_an_earlier_file_kept(self):
        self.write("old.mp4", "earlier video\n")
        cases = [(["--video", "drive.keys"], 2, "drive.keys: is an input of the run, not overwritten"),
                 (["--video", "old.mp4", "--no-render"], 2, "--video demande le rendu"),
                 (["--video", "old.mp4", "--video-size", "321x240"], 2, "nombres pairs de 16 à 8192"),
                 (["--video", "old.mp4", "--video-size", "640"], 2, "attendu LARGEURxHAUTEUR"),
                 (["--video-size", "640x480"], 2, "--video-size va avec --video"),
                 (["--video", "old.mp4", "--csv", "old.mp4"], 2, "--video et --csv nomment le même fichier"),
                 (["--video", "old.xyz"], 1, "extension inconnue")]
        for args, status, message in cases:
            self.assertIn(message, self.run_tool(*args, status=status).stderr, args)
        self.assertEqual([self.read("drive.keys"), self.read("old.mp4")], [KEYS, "earlier video\n"])
        self.assertEqual(sorted(os.listdir(self.scratch)), ["drive.keys", "old.mp4"])


if __name__ == "__main__":
    if shutil.which("ffprobe") is None or shutil.which("ffmpeg") is None:
        print("ffprobe and ffmpeg are missing (scripts/setup test installs them)")
        sys.exit(harness.SKIPPED)
    harness.main("replay")
