#!/usr/bin/python3
"""What a drive sounds like, read off WAVs that torvane-replay --wav renders:
the engine's note rises with the wheels' speed, a skidpad squeals and a gentle
drive hardly, a wall thumps in the frame of the contact, a pause is silent, a
drive renders to the same samples twice; and the sound generator reproduces the
committed sounds. Usage: rendered_sound_test.py REPLAY"""
import os
import pathlib
import sys
import wave

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402

FRAME = 1.0 / 60.0  # seconds, the replay's frame time
CHASE = "1 1 F8\n"  # the chase camera: the listener stays behind the car


class RenderedSound(harness.TestCase):
    def render(self, name, keys, *extra):
        """(mono samples, telemetry rows as float lists) of the key script keys."""
        self.write(name + ".keys", keys)
        self.ran([harness.ARGS.replay, "--no-render", "--keys", name + ".keys", "--wav", name + ".wav", "--csv",
                  name + ".csv", *extra], cwd=self.scratch)
        with wave.open(self.path(name + ".wav")) as w:
            self.assertEqual((w.getnchannels(), w.getframerate()), (2, 44100))
            self.rate = w.getframerate()
            samples = np.frombuffer(w.readframes(w.getnframes()), "<i2").reshape(-1, 2).mean(axis=1) / 32768.0
        lines = [line for line in self.read(name + ".csv").splitlines() if line[:1].isdigit()]
        rows = [[float(x) if x.strip('"') and not x.startswith('"') else 0.0 for x in line.split(",")] for line in lines]
        return samples, rows

    def spectrum(self, samples, seconds, length=8192):
        start = int(seconds * self.rate)
        part = samples[start:start + length] * np.hanning(length)
        return np.fft.rfftfreq(length, 1.0 / self.rate), np.abs(np.fft.rfft(part))

    def band(self, samples, seconds, low, high):
        f, s = self.spectrum(samples, seconds)
        return np.sqrt(np.mean(s[(f >= low) & (f <= high)] ** 2))

    def test_engine_note_rises_with_the_wheels_speed(self):
        samples, rows = self.render("straight", CHASE + "1 180 Up\n")
        notes, wheels = [], []
        for seconds in (0.2, 0.6, 1.2, 2.4):
            f, s = self.spectrum(samples, seconds)
            engine = (f > 20) & (f < 400)
            notes.append(f[engine][np.argmax(s[engine])])
            wheels.append(rows[int(seconds / FRAME)][19])
        self.assertEqual(sorted(wheels), wheels, "the wheels spin up all along")
        self.assertEqual(sorted(notes), notes, "notes %s for wheel speeds %s" % (notes, wheels))
        self.assertGreater(notes[-1], 1.5 * notes[0])

    def test_a_skidpad_squeals_and_a_gentle_drive_hardly(self):
        skidpad, _ = self.render("skidpad", CHASE + "1 600 Up Right\n")
        gentle, _ = self.render("gentle", CHASE + "".join("%d %d Up\n" % (f, f + 1) for f in range(1, 600, 5)))

        def squeal_over_engine(samples):
            return np.mean([self.band(samples, t, 700, 3000) / self.band(samples, t, 20, 400) for t in (6, 7, 8, 9)])
        self.assertGreater(squeal_over_engine(skidpad), 10 * squeal_over_engine(gentle))
        self.assertGreater(self.band(gentle, 0.3, 700, 3000), 10 * self.band(gentle, 8, 700, 3000),
                           "the wheel spin at the start is heard")

    def test_a_wall_thumps_within_a_frame_of_the_contact(self):
        samples, rows = self.render("wall", open(os.path.join(harness.SOURCE, "tests", "golden", "wall.keys")).read())
        speeds = [row[47] for row in rows]
        contact = next(n for n in range(1, len(speeds)) if speeds[n] < 0.5 * speeds[n - 1])
        spectrum = np.fft.rfft(samples)
        spectrum[np.fft.rfftfreq(samples.size, 1.0 / self.rate) > 120] = 0  # the knock, under the engine's note
        low = np.fft.irfft(spectrum, samples.size)
        per_frame = self.rate / 60
        level = [np.sqrt(np.mean(low[int((n - 1) * per_frame):int(n * per_frame)] ** 2)) for n in range(1, len(rows))]
        before = np.median(level[contact - 60:contact - 5])
        onset = next(n + 1 for n in range(contact - 60, len(level)) if level[n] > 10 * before)
        self.assertLessEqual(abs(onset - contact), 1, "thump in frame %d, contact in frame %d" % (onset, contact))

    def test_a_pause_is_silent_and_a_drive_renders_alike_twice(self):
        keys = CHASE + "1 200 Up\n60 60 P\n150 150 P\n"
        samples, _ = self.render("paused", keys)
        again, _ = self.render("again", keys)
        per_frame = self.rate / 60
        paused = samples[int(62 * per_frame):int(149 * per_frame)]
        self.assertLess(np.max(np.abs(paused)), 1e-4)
        self.assertGreater(np.max(np.abs(samples[int(152 * per_frame):])), 0.01, "the sound comes back")
        self.assertTrue(np.array_equal(samples, again))

    def test_the_generator_reproduces_the_sounds(self):
        self.ran(["/usr/bin/python3", os.path.join(harness.SOURCE, "tools", "generate_sounds.py"), self.scratch])
        committed = sorted(pathlib.Path(harness.SOURCE, "game", "sounds").iterdir())
        for sound in committed:
            self.assertEqual(sound.read_bytes(), pathlib.Path(self.path("sounds", sound.name)).read_bytes(), sound.name)
        self.assertLess(sum(sound.stat().st_size for sound in committed), 2 * 1024 * 1024)


if __name__ == "__main__":
    harness.main("replay")
