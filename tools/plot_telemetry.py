#!/usr/bin/python3
"""Plots a telemetry CSV written by torvane-replay --csv, or two of them overlaid
(the second run dashed, each named in the legends) to compare two cars or drives:

    trajectory.png  the car's path seen from above, with the five obstacles' footprints
    speed.png       speed, forward and sideways speed over time
    slip.png        slip ratio and slip angle of each wheel over time
    tyre.png        the longitudinal and lateral tyre curves (load 1250) with the
                    points each wheel worked at (the curves from the car file's
                    coefficients and wheel load)

Usage: /usr/bin/python3 tools/plot_telemetry.py RUN.csv [RUN_B.csv] --out DIR [--data GAME_DIR] [--car FILE]

The obstacles are read from the level (GAME_DIR/maps/city.map and city.ldo,
default: $TORVANE_DATA, then share/torvane beside an installed torvane-plot,
then the game/ folder of this source tree), the tyre curves from the car
file (default: DATA/cars/car.toml). Needs Debian's python3-matplotlib.
"""
import argparse
import csv
import math
import os
import sys
import tomllib

import numpy as np

# Placement lines (from 0, after the header) of the obstacles the collision pass tests.
OBSTACLE_PLACEMENTS = (97, 98, 99, 101, 102)
WHEELS = ("front left", "front right", "rear left", "rear right")


class BadFile(Exception):
    pass


def read_telemetry(path):
    """Column name -> numpy array of floats (keys left as text)."""
    with open(path, newline="") as f:
        rows = [(number, next(csv.reader([line]))) for number, line in enumerate(f, start=1)
                if line.strip() and not line.startswith("#")]
    if len(rows) < 2 or rows[0][1][:3] != ["frame", "dt", "keys"]:
        raise BadFile(f"{path}: not a telemetry CSV (no 'frame,dt,keys,...' header row and data rows)")
    header = rows[0][1]
    columns = {name: [] for name in header}
    for number, row in rows[1:]:
        if len(row) != len(header):
            raise BadFile(f"{path}:{number}: {len(row)} fields where the header has {len(header)}")
        for name, value in zip(header, row):
            try:
                columns[name].append(value if name == "keys" else float(value))
            except ValueError:
                raise BadFile(f"{path}:{number}: {name} '{value}' is not a number") from None
    return {name: (values if name == "keys" else np.array(values)) for name, values in columns.items()}


def level_records(path):
    """The five comma-terminated fields of each line after the header, with line numbers."""
    try:
        with open(path) as f:
            lines = f.read().splitlines()
    except OSError as error:
        raise BadFile(f"{path}: {error.strerror}") from None
    return [(number, line.split(",")[:5]) for number, line in enumerate(lines[1:], start=2)]


def obstacle_footprints(data_dir):
    """Each obstacle's footprint as a closed 5×2 array of (x, z) corners."""
    models_path = os.path.join(data_dir, "maps", "city.ldo")
    placements_path = os.path.join(data_dir, "maps", "city.map")
    models = {}
    for number, fields in level_records(models_path):
        try:
            models[int(fields[0])] = (float(fields[3]), float(fields[4]))  # length along z, width along x
        except (ValueError, IndexError):
            raise BadFile(f"{models_path}:{number}: expected 'number,mesh,radius,length,width,'") from None
    placements = level_records(placements_path)
    footprints = []
    for index in OBSTACLE_PLACEMENTS:
        if index >= len(placements):
            raise BadFile(f"{placements_path}: no placement line {index} (file line {index + 2})")
        number, fields = placements[index]
        try:
            model, x, z, heading = int(fields[0]), float(fields[1]), float(fields[3]), float(fields[4])
            length, width = models[model]
        except (ValueError, IndexError, KeyError):
            raise BadFile(f"{placements_path}:{number}: expected 'model,x,y,z,heading,' naming a model") from None
        along = np.array([math.sin(heading), math.cos(heading)]) * length / 2  # local +z
        across = np.array([math.cos(heading), -math.sin(heading)]) * width / 2  # local +x
        centre = np.array([x, z])
        corners = [centre + along + across, centre + along - across, centre - along - across,
                   centre - along + across, centre + along + across]
        footprints.append(np.array(corners))
    return footprints


def read_car(path):
    """The car file's tyre coefficients, wheel load and slip-ratio deadband."""
    try:
        with open(path, "rb") as f:
            car = tomllib.load(f)
        return {**car["tyres"], "load": car["wheels"]["load"], "ratio_deadband": car["slip"]["ratio_deadband"]}
    except (tomllib.TOMLDecodeError, KeyError, TypeError) as error:
        raise BadFile(f"{path}: not a car file ({error})") from None


def longitudinal_force(car, slip_ratio):
    d = car["grip_factor"] * car["load"]
    x = car["longitudinal_stiffness"] * 100.0 * slip_ratio
    e = car["longitudinal_curvature"]
    force = d * np.sin(car["longitudinal_shape"] * np.arctan(x + e * (np.arctan(x) - x)))
    return np.where(np.abs(slip_ratio) <= car["ratio_deadband"], 0.0, force)


def lateral_force(car, slip_angle_degrees):
    load = car["load"]
    d = car["grip_factor"] * load
    b = car["lateral_stiffness_peak"] * math.sin(2.0 * math.atan(load / car["lateral_stiffness_load"])) / load
    e = 1.0 - car["lateral_curvature_per_load"] * load / 1000.0
    x = slip_angle_degrees * b
    return d * np.sin(car["lateral_shape"] * np.arctan(x + e * (np.arctan(x) - x)))


def seconds(run):
    return np.cumsum(run["dt"])


# Each run's line style and path colour: the first run solid, the second dashed.
STYLES = ("-", "--")
PATH_COLOURS = ("tab:red", "tab:blue")


def named(label, what, runs):
    """A legend entry: what, prefixed with the run's label when there are two runs."""
    return f"{label}: {what}" if len(runs) > 1 else what


def pyplot():
    """matplotlib's pyplot drawing into files, imported on first use: reading figures off needs none of it."""
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot
    return matplotlib.pyplot


def plot_trajectory(runs, footprints, path):
    """The whole arena on the left, the paths' own surroundings on the right."""
    plt = pyplot()
    fig, (arena, close) = plt.subplots(1, 2, figsize=(12, 6))
    for ax in (arena, close):
        for number, corners in enumerate(footprints):
            ax.fill(corners[:, 0], corners[:, 1], color="0.6", label="obstacles" if number == 0 else None)
        for (label, run), style, colour in zip(runs, STYLES, PATH_COLOURS):
            x, z = run["position.x"], run["position.z"]
            ax.plot(x, z, style, color=colour, linewidth=1.2, label=named(label, "car", runs))
            ax.plot(x[-1], z[-1], "s", color=colour, label=named(label, "end", runs))
        first = runs[0][1]
        ax.plot(first["position.x"][0], first["position.z"][0], "o", color="tab:green", label="start")
        ax.set_aspect("equal")
        ax.set_xlabel("x (u)")
        ax.set_ylabel("z (u), -z up")
        ax.grid(True, linewidth=0.3)
    margin = 10.0
    x = np.concatenate([run["position.x"] for _, run in runs])
    z = np.concatenate([run["position.z"] for _, run in runs])
    close.set_xlim(np.nanmin(x) - margin, np.nanmax(x) + margin)
    close.set_ylim(np.nanmin(z) - margin, np.nanmax(z) + margin)
    for ax in (arena, close):
        ax.invert_yaxis()  # -z, the car's start direction, points up
    arena.set_title("Trajectory seen from above")
    close.set_title("Close up")
    arena.legend(loc="upper right", fontsize="small")
    fig.savefig(path, dpi=80, bbox_inches="tight")
    plt.close(fig)


def plot_speed(runs, path):
    plt = pyplot()
    fig, ax = plt.subplots(figsize=(8, 4))
    for (label, run), style in zip(runs, STYLES):
        t = seconds(run)
        ax.set_prop_cycle(None)
        ax.plot(t, run["speed"], style, label=named(label, "speed", runs))
        ax.plot(t, run["localVelocity.x"], style, label=named(label, "forward", runs), linewidth=0.8)
        ax.plot(t, run["localVelocity.y"], style, label=named(label, "sideways", runs), linewidth=0.8)
    ax.set_xlabel("time (s)")
    ax.set_ylabel("u/s")
    ax.set_title("Speed")
    ax.legend(fontsize="small")
    ax.grid(True, linewidth=0.3)
    fig.savefig(path, dpi=80, bbox_inches="tight")
    plt.close(fig)


def plot_slips(runs, path):
    plt = pyplot()
    fig, (ratio, angle) = plt.subplots(2, 1, figsize=(8, 6), sharex=True)
    for (label, run), style in zip(runs, STYLES):
        t = seconds(run)
        for ax in (ratio, angle):
            ax.set_prop_cycle(None)
        for wheel, name in enumerate(WHEELS):
            ratio.plot(t, run[f"slipRatio{wheel}"], style, label=named(label, name, runs), linewidth=0.9)
            angle.plot(t, run[f"slipAngle{wheel}"], style, label=named(label, name, runs), linewidth=0.9)
    ratio.set_ylabel("slip ratio")
    angle.set_ylabel("slip angle (deg)")
    angle.set_xlabel("time (s)")
    ratio.set_title("Slip per wheel")
    ratio.legend(fontsize="small", ncol=4)
    for ax in (ratio, angle):
        ax.grid(True, linewidth=0.3)
    fig.savefig(path, dpi=80, bbox_inches="tight")
    plt.close(fig)


def plot_tyre_curves(runs, car, path):
    plt = pyplot()
    fig, (longitudinal, lateral) = plt.subplots(1, 2, figsize=(11, 4.5))
    ratios = np.linspace(-2.0, 10.0, 2401)
    longitudinal.plot(ratios, longitudinal_force(car, ratios), color="0.3", label="model")
    widest = max(20.0, max(float(np.nanmax(np.abs([run[f"slipAngle{w}"] for w in range(4)]))) for _, run in runs))
    angles = np.linspace(-widest, widest, 2401)
    lateral.plot(angles, lateral_force(car, angles), color="0.3", label="model")
    for (label, run), marker in zip(runs, ("o", "x")):
        for wheel, name in enumerate(WHEELS):
            sr = run[f"slipRatio{wheel}"]
            sa = run[f"slipAngle{wheel}"]
            entry = named(label, name, runs)
            longitudinal.plot(sr, longitudinal_force(car, sr), marker, markersize=3, alpha=0.5, label=entry)
            lateral.plot(sa, lateral_force(car, sa), marker, markersize=3, alpha=0.5, label=entry)
    longitudinal.set_xlabel("slip ratio")
    longitudinal.set_ylabel("force (N)")
    longitudinal.set_title(f"Longitudinal force, load {car['load']:g}")
    lateral.set_xlabel("slip angle (deg)")
    lateral.set_title(f"Lateral force, load {car['load']:g}")
    for ax in (longitudinal, lateral):
        ax.grid(True, linewidth=0.3)
        ax.legend(fontsize="small")
    fig.savefig(path, dpi=80, bbox_inches="tight")
    plt.close(fig)


def default_data_folder():
    """The game's data folder, searched as the game searches it."""
    if os.environ.get("TORVANE_DATA"):
        return os.environ["TORVANE_DATA"]
    here = os.path.dirname(os.path.realpath(__file__))
    installed = os.path.join(here, "..", "share", "torvane")
    return installed if os.path.isdir(installed) else os.path.join(here, "..", "game")


def run_labels(paths):
    """Each run's name in the legends: its file name, with its folder when the names are the same."""
    names = [os.path.basename(path) for path in paths]
    if len(set(names)) == len(names):
        return names
    return [os.path.join(os.path.basename(os.path.dirname(os.path.abspath(path))), name)
            for path, name in zip(paths, names)]


def main(argv):
    parser = argparse.ArgumentParser(description="Plots a torvane-replay telemetry CSV.")
    parser.add_argument("csv", nargs="+", help="telemetry written by torvane-replay --csv; a second run is overlaid")
    parser.add_argument("--out", required=True, help="folder for the PNG plots (made if missing)")
    parser.add_argument("--data", default=default_data_folder(), help="the game's data folder")
    parser.add_argument("--car", help="the car file for the tyre curves (default: DATA/cars/car.toml)")
    args = parser.parse_args(argv)
    if len(args.csv) > 2:
        parser.error("one or two telemetry CSVs")
    try:
        runs = [(label, read_telemetry(path)) for label, path in zip(run_labels(args.csv), args.csv)]
        footprints = obstacle_footprints(args.data)
        car = read_car(args.car or os.path.join(args.data, "cars", "car.toml"))
    except (BadFile, OSError) as error:
        print(f"plot_telemetry: {error}", file=sys.stderr)
        return 2
    os.makedirs(args.out, exist_ok=True)
    plot_trajectory(runs, footprints, os.path.join(args.out, "trajectory.png"))
    plot_speed(runs, os.path.join(args.out, "speed.png"))
    plot_slips(runs, os.path.join(args.out, "slip.png"))
    plot_tyre_curves(runs, car, os.path.join(args.out, "tyre.png"))
    print(f"plot_telemetry: trajectory.png speed.png slip.png tyre.png in {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
