#!/usr/bin/python3
"""Replays a golden key script through torvane-replay and compares the telemetry
with the committed CSV next to it, value by value.

    check_golden.py REPLAY GOLDEN.keys [--no-render] [--car FILE]   compare (exit 0 same, 1 different)
    check_golden.py REPLAY GOLDEN.keys --write                      rewrite GOLDEN.csv

--car replays with that car file instead of the data folder's own; --exact
asks for every data row to be the same text, byte for byte.

Frames and keys must match exactly; every other value, read as a 32-bit float,
within MAX_ULPS units in the last place (on one machine they are equal). Exit
status 77 (skipped) when the replay tool cannot start OpenGL.
"""
import csv
import os
import struct
import subprocess
import sys
import tempfile

MAX_ULPS = 4
SKIPPED = 77
NO_DEVICE = 4  # torvane-replay's status when no OpenGL device comes up


def read_rows(path):
    """The header row and the data rows, comment lines left out."""
    with open(path, newline="") as f:
        rows = list(csv.reader(line for line in f if not line.startswith("#")))
    return rows[0], rows[1:]


def ordered_bits(text):
    """The float32 read from text as an integer that orders like the floats."""
    bits = struct.unpack("<i", struct.pack("<f", float(text)))[0]
    return bits if bits >= 0 else -(bits & 0x7FFFFFFF)


def same_value(expected, actual, max_ulps):
    if expected == actual:
        return True
    try:
        a, b = float(expected), float(actual)
    except ValueError:
        return False
    if a != a or b != b:  # NaN equals only NaN
        return a != a and b != b
    return abs(ordered_bits(expected) - ordered_bits(actual)) <= max_ulps


def differences(golden_path, replay_path, max_ulps):
    """Messages naming each frame and column that differ, the first twenty."""
    golden_header, golden_rows = read_rows(golden_path)
    header, rows = read_rows(replay_path)
    if header != golden_header:
        return ["the header row differs: " + ",".join(header)]
    found = []
    if len(rows) != len(golden_rows):
        found.append(f"{len(rows)} rows instead of {len(golden_rows)}")
    for golden_row, row in zip(golden_rows, rows):
        for index, (expected, actual) in enumerate(zip(golden_row, row)):
            exact = index in (0, 2) or max_ulps == 0  # frame, keys, or every column
            if (expected != actual) if exact else not same_value(expected, actual, max_ulps):
                found.append(f"frame {golden_row[0]}: {header[index]} is {actual}, golden {expected}")
    return found[:20]


def replay(tool, keys, csv_path, options):
    command = [tool, "--keys", keys, "--csv", csv_path] + options
    return subprocess.run(command, stderr=subprocess.PIPE, text=True)


def replay_options(words):
    """The options passed on to the replay tool, or None when words are not sound."""
    options = []
    while words:
        word, words = words[0], words[1:]
        if word in ("--no-render", "--exact"):
            options.append(word)
        elif word == "--car" and words:
            options += [word, os.path.abspath(words[0])]
            words = words[1:]
        else:
            return None
    return options


def main(argv):
    options = replay_options(argv[3:]) if argv[3:] != ["--write"] else []
    if len(argv) < 3 or options is None:
        print(__doc__, file=sys.stderr)
        return 2
    tool, keys = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    golden = os.path.splitext(keys)[0] + ".csv"
    if "--write" in argv[3:]:
        result = replay(tool, keys, golden, [])
        sys.stderr.write(result.stderr)
        return result.returncode
    with tempfile.TemporaryDirectory() as folder:
        output = os.path.join(folder, "replay.csv")
        exact = "--exact" in options
        result = replay(tool, keys, output, [word for word in options if word != "--exact"])
        sys.stderr.write(result.stderr)
        if result.returncode == NO_DEVICE:
            print("skipped: torvane-replay could not start OpenGL", file=sys.stderr)
            return SKIPPED
        if result.returncode != 0:
            print(f"torvane-replay failed with status {result.returncode}", file=sys.stderr)
            return 1
        found = differences(golden, output, 0 if exact else MAX_ULPS)
    for line in found:
        print(f"{os.path.basename(golden)}: {line}", file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
