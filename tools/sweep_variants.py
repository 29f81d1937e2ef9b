"""The variants of a sweep: parameter ranges read from "table.key=FROM:TO:COUNT",
their grid (one or two parameters), and each variant's car file, written as the
given car file with the swept values put in place of its own, comments kept,
into its folder DIR/variants/NNN (every file through a temporary renamed into place).

Shortcoming: a swept key must be written on its own line as "key = number" in
its [table] (as the shipped car file writes every key); dotted keys and inline
tables are not edited.
"""
import itertools
import math
import os
import re
import tomllib

MAX_COUNT = 1000     # values in one range
MAX_VARIANTS = 10000  # variants in one grid


class SweepError(Exception):
    pass


def number_text(value):
    """A value as the car file and the table write it: 9 significant digits, enough for a 32-bit float."""
    return format(value, ".9g")


def parse_range(text):
    """(name, [values]) from "table.key=FROM:TO:COUNT" (COUNT values, evenly spaced, both ends included)."""
    name, equals, span = text.partition("=")
    parts = span.split(":")
    if not equals or not re.fullmatch(r"[A-Za-z_]\w*\.[A-Za-z_]\w*", name.strip()) or len(parts) != 3:
        raise SweepError(f"{text} : attendu TABLE.CLÉ=DÉBUT:FIN:NOMBRE, par exemple tyres.grip_factor=1.2:2.4:13")
    try:
        first, last = float(parts[0]), float(parts[1])
        count = int(parts[2])
    except ValueError:
        raise SweepError(f"{text} : DÉBUT et FIN sont des nombres, NOMBRE un entier") from None
    if not (math.isfinite(first) and math.isfinite(last)) or not 1 <= count <= MAX_COUNT:
        raise SweepError(f"{text} : DÉBUT et FIN finis, NOMBRE de 1 à {MAX_COUNT}")
    if count == 1:
        return name.strip(), [first]
    return name.strip(), [first + (last - first) * i / (count - 1) for i in range(count)]


def grid(ranges):
    """Every combination of the ranges' values, the first parameter varying slowest."""
    total = math.prod(len(values) for _, values in ranges)
    if total > MAX_VARIANTS:
        raise SweepError(f"{total} variantes : au plus {MAX_VARIANTS}")
    return [list(values) for values in itertools.product(*(values for _, values in ranges))]


def check_keys(path, text, names):
    """Raises SweepError unless every name is a number of the car file's tables."""
    try:
        car = tomllib.loads(text)
    except tomllib.TOMLDecodeError as error:
        raise SweepError(f"{path} : pas un fichier TOML lisible ({error})") from None
    for name in names:
        table, key = name.split(".")
        value = car.get(table, {}).get(key) if isinstance(car.get(table), dict) else None
        if isinstance(value, bool) or not isinstance(value, (int, float)):
            raise SweepError(f"{path} : pas de nombre {name} à faire varier")
        if names.count(name) > 1:
            raise SweepError(f"{name} : varié deux fois")


def with_values(text, names, values):
    """The car file's text with each name's value replaced; SweepError when a key is not on a line of its own."""
    lines = text.splitlines(keepends=True)
    table = None
    replaced = set()
    for number, line in enumerate(lines):
        header = re.match(r"\s*\[\s*([A-Za-z_]\w*)\s*\]\s*(#.*)?$", line)
        if header:
            table = header.group(1)
            continue
        entry = re.match(r"(\s*([A-Za-z_]\w*)\s*=\s*)([^#\s]+)(.*)$", line, re.DOTALL)
        if entry and f"{table}.{entry.group(2)}" in names:
            name = f"{table}.{entry.group(2)}"
            value = values[names.index(name)]
            lines[number] = entry.group(1) + number_text(value) + entry.group(4)
            replaced.add(name)
    missing = [name for name in names if name not in replaced]
    if missing:
        raise SweepError(f"{missing[0]} : pas écrit « clé = nombre » sur une ligne de sa table, non modifiable")
    return "".join(lines)


def variant_folder(folder, index):
    return os.path.join(folder, "variants", f"{index:03d}")


def write_atomically(path, text):
    """Writes text to a temporary file beside path, then renames it into place."""
    temporary = os.path.join(os.path.dirname(path), f".{os.path.basename(path)}.{os.getpid()}")
    try:
        with open(temporary, "w", encoding="utf-8") as f:
            f.write(text)
            f.flush()
            os.fsync(f.fileno())
        os.replace(temporary, path)
    except BaseException:
        if os.path.exists(temporary):
            os.remove(temporary)
        raise
