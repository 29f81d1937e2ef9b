#!/usr/bin/python3
"""Replays a golden key script through torvane-replay and compares the telemetry with the committed CSV beside
it: frames and keys exactly, every other value read as a 32-bit float within MAX_ULPS units in the last place
(on one machine they are equal), or every row byte for byte with --exact. --car replays with that car file
instead of the data folder's own. scripts/regenerate-golden writes the CSVs.

    check_golden.py REPLAY GOLDEN.keys [--no-render] [--exact] [--car FILE]

Exit status 0 same, 1 different, 77 skipped (the replay tool cannot start OpenGL).
"""
import argparse
import os
import struct
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import harness  # noqa: E402

MAX_ULPS = 4


def ordered_bits(value):
    """The float32 nearest value as an integer that orders like the floats."""
    bits = struct.unpack("<i", struct.pack("<f", value))[0]
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
    return abs(ordered_bits(a) - ordered_bits(b)) <= max_ulps


def differences(golden_text, replay_text, max_ulps):
    """Messages naming each frame and column that differ, the first twenty."""
    golden_header, golden_rows = harness.read_csv(golden_text)
    header, rows = harness.read_csv(replay_text)
    if header != golden_header:
        return ["the header row differs: " + ",".join(header)]
    found = [] if len(rows) == len(golden_rows) else ["%d rows instead of %d" % (len(rows), len(golden_rows))]
    for golden_row, row in zip(golden_rows, rows):
        for index, (expected, actual) in enumerate(zip(golden_row, row)):
            exact = index in (0, 2) or max_ulps == 0  # frame, keys, or every column
            if (expected != actual) if exact else not same_value(expected, actual, max_ulps):
                found.append("frame %s: %s is %s, golden %s" % (golden_row[0], header[index], actual, expected))
    return found[:20]


def main():
    parser = argparse.ArgumentParser(usage=__doc__)
    parser.add_argument("replay")
    parser.add_argument("keys")
    parser.add_argument("--no-render", action="store_true")
    parser.add_argument("--exact", action="store_true")
    parser.add_argument("--car")
    args = parser.parse_args()
    options = ["--no-render"] * args.no_render + (["--car", args.car] if args.car else [])
    result = subprocess.run([args.replay, "--keys", args.keys, "--csv", "-", *options], stdout=subprocess.PIPE,
                            text=True)
    if result.returncode == harness.NO_DEVICE:
        print("skipped: torvane-replay could not start OpenGL", file=sys.stderr)
        return harness.SKIPPED
    if result.returncode != 0:
        print("torvane-replay failed with status %d" % result.returncode, file=sys.stderr)
        return 1
    golden = os.path.splitext(args.keys)[0] + ".csv"
    with open(golden) as f:
        found = differences(f.read(), result.stdout, 0 if args.exact else MAX_ULPS)
    for line in found:
        print("%s: %s" % (os.path.basename(golden), line), file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
