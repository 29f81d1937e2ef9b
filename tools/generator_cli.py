"""The command line the data generators share: one optional folder to write
into, the repository's game/ folder by default."""

import argparse
import os

DEFAULT_OUTPUT = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "game")


def run(description, generate, argv=None):
    """Parses argv, calls generate(folder) (which returns the paths written) and says how many."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("output", nargs="?", default=DEFAULT_OUTPUT, help="data folder to write (default: game/)")
    args = parser.parse_args(argv)
    written = generate(args.output)
    print("wrote %d files to %s" % (len(written), args.output))
    return 0
