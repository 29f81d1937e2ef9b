#!/usr/bin/python3
"""Writes the game's sounds into the data folder: two engine loops, the tyre
squeal loop and the wall thump, 16-bit mono WAV at 44.1 kHz.

Usage: /usr/bin/python3 tools/generate_sounds.py [OUTPUT_DIR]

OUTPUT_DIR defaults to the repository's game/ folder. Every sound is drawn
from a seeded generator, so two runs write identical bytes (for the same
numpy). The loops hold whole periods of every partial and of their noise, so
they repeat without a click.

Shortcomings: the engine is additive synthesis of a four-stroke note, not a
recording; the squeal is filtered noise, the same for every tyre.
"""

import os
import struct
import sys

import numpy as np

import generator_cli

RATE = 44100

# Each engine loop: the firing frequency it is recorded at (Hz; the game's
# engine note, src/sound/engine_note.h, knows the same two figures), its
# partials' amplitudes, its noise level and its seed.
ENGINE_LOOPS = {
    # coasting at low revs: a round note, the lower partials only
    "sounds/engine_off.wav": (50.0, [1.0, 0.45, 0.2, 0.08, 0.04], 0.02, 11),
    # pulling at high revs: more, stronger partials and combustion noise
    "sounds/engine_on.wav": (150.0, [1.0, 0.7, 0.55, 0.4, 0.3, 0.2, 0.12, 0.08], 0.08, 12),
}


def periodic_noise(rng, samples, low, high):
    """Noise whose spectrum lies between low and high Hz, periodic over samples."""
    spectrum = np.zeros(samples // 2 + 1, dtype=complex)
    freqs = np.fft.rfftfreq(samples, 1.0 / RATE)
    band = (freqs >= low) & (freqs <= high)
    spectrum[band] = np.exp(2j * np.pi * rng.random(int(band.sum())))
    noise = np.fft.irfft(spectrum, samples)
    return noise / np.max(np.abs(noise))


def engine_loop(fundamental, partials, noise_level, seed):
    """One second of a note at fundamental Hz, partials' amplitudes relative to it."""
    rng = np.random.default_rng(seed)
    t = np.arange(RATE) / RATE
    note = sum(a * np.sin(2 * np.pi * fundamental * (k + 1) * t + rng.random() * 2 * np.pi)
               for k, a in enumerate(partials))
    # the firings not quite alike: a slow wobble of the loudness (whole periods in the loop)
    wobble = 1.0 + 0.08 * np.sin(2 * np.pi * (fundamental / 5.0) * t)
    rumble = periodic_noise(rng, RATE, fundamental, 8 * fundamental)
    return note * wobble + noise_level * sum(partials) * rumble


def squeal_loop(seed=21):
    """One second of a tyre's squeal: narrow bands near 1 and 2 kHz over a hiss."""
    rng = np.random.default_rng(seed)
    tone = periodic_noise(rng, RATE, 930.0, 1010.0) + 0.45 * periodic_noise(rng, RATE, 1880.0, 1990.0)
    return tone + 0.15 * periodic_noise(rng, RATE, 600.0, 6000.0)


def thump(seed=31):
    """0.4 s of a body hitting a wall: a falling 70 to 40 Hz knock and a short crunch."""
    rng = np.random.default_rng(seed)
    t = np.arange(int(0.4 * RATE)) / RATE
    frequency = 40.0 + 30.0 * np.exp(-t / 0.05)
    knock = np.sin(2 * np.pi * np.cumsum(frequency) / RATE) * np.exp(-t / 0.09)
    crunch = periodic_noise(rng, t.size, 80.0, 2500.0) * np.exp(-t / 0.025)
    attack = np.minimum(1.0, t / 0.002)
    return attack * (knock + 0.5 * crunch)


def wav_bytes(signal):
    """16-bit mono PCM WAV of signal, scaled to peak at 90 % of full scale."""
    pcm = np.round(signal / np.max(np.abs(signal)) * 0.9 * 32767).astype("<i2").tobytes()
    header = b"RIFF" + struct.pack("<I", 36 + len(pcm)) + b"WAVEfmt "
    header += struct.pack("<IHHIIHH", 16, 1, 1, RATE, RATE * 2, 2, 16)
    return header + b"data" + struct.pack("<I", len(pcm)) + pcm


def sounds():
    """Relative path -> signal."""
    made = {path: engine_loop(*figures) for path, figures in ENGINE_LOOPS.items()}
    made["sounds/tyre_squeal.wav"] = squeal_loop()
    made["sounds/wall_thump.wav"] = thump()
    return made


def generate(out_dir):
    """Writes every sound under out_dir; returns their relative paths."""
    written = []
    for relative, signal in sounds().items():
        path = os.path.join(out_dir, *relative.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(wav_bytes(signal))
        written.append(relative)
    return written


def main(argv=None):
    return generator_cli.run(__doc__.splitlines()[0], generate, argv)


if __name__ == "__main__":
    sys.exit(main())
