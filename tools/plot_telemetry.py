#!/usr/bin/python3
"""Plots a telemetry CSV written by torvane-replay --csv:

    trajectory.png  the car's path seen from above, with the five obstacles' footprints
    speed.png       speed, forward and sideways speed over time
    slip.png        slip ratio and slip angle of each wheel over time
    tyre.png        the longitudinal and lateral tyre curves (load 1250) with the
                    points each wheel worked at

Usage: /usr/bin/python3 tools/plot_telemetry.py RUN.csv --out DIR [--data GAME_DIR]

The obstacles are read from the level (GAME_DIR/maps/city.map and city.ldo,
default: $TORVANE_DATA, then share/torvane beside an installed torvane-plot,
then the game/ folder of this source tree). Needs Debian's python3-matplotlib.
"""
import argparse
import csv
import math
import os
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

# Placement lines (from 0, after the header) of the obstacles the collision pass tests.
OBSTACLE_PLACEMENTS = (97, 98, 99, 101, 102)
WHEELS = ("front left", "front right", "rear left", "rear right")
LOAD = 1250.0  # each wheel's vertical load
SLIP_RATIO_DEADBAND = 0.1  # no longitudinal force within ±this slip ratio


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


def longitudinal_force(slip_ratio):
    d = 1.688 * LOAD
    x = 0.0822 * 100.0 * slip_ratio
    force = d * np.sin(1.65 * np.arctan(x + -10.0 * (np.arctan(x) - x)))
    return np.where(np.abs(slip_ratio) <= SLIP_RATIO_DEADBAND, 0.0, force)


def lateral_force(slip_angle_degrees):
    d = 1.688 * LOAD
    b = 1363.32 * math.sin(2.0 * math.atan(LOAD / 6024.0)) / LOAD
    e = 1.0 - 0.3589 * LOAD / 1000.0
    x = slip_angle_degrees * b
    return d * np.sin(1.799 * np.arctan(x + e * (np.arctan(x) - x)))


def seconds(run):
    return np.cumsum(run["dt"])


def plot_trajectory(run, footprints, path):
    """The whole arena on the left, the path's own surroundings on the right."""
    x, z = run["position.x"], run["position.z"]
    fig, (arena, close) = plt.subplots(1, 2, figsize=(12, 6))
    for ax in (arena, close):
        for number, corners in enumerate(footprints):
            ax.fill(corners[:, 0], corners[:, 1], color="0.6", label="obstacles" if number == 0 else None)
        ax.plot(x, z, color="tab:red", linewidth=1.2, label="car")
        ax.plot(x[0], z[0], "o", color="tab:green", label="start")
        ax.plot(x[-1], z[-1], "s", color="black", label="end")
        ax.set_aspect("equal")
        ax.set_xlabel("x (u)")
        ax.set_ylabel("z (u), -z up")
        ax.grid(True, linewidth=0.3)
    margin = 10.0
    close.set_xlim(np.nanmin(x) - margin, np.nanmax(x) + margin)
    close.set_ylim(np.nanmin(z) - margin, np.nanmax(z) + margin)
    for ax in (arena, close):
        ax.invert_yaxis()  # -z, the car's start direction, points up
    arena.set_title("Trajectory seen from above")
    close.set_title("Close up")
    arena.legend(loc="upper right", fontsize="small")
    fig.savefig(path, dpi=80, bbox_inches="tight")
    plt.close(fig)


def plot_speed(run, path):
    t = seconds(run)
    fig, ax = plt.subplots(figsize=(8, 4))
    ax.plot(t, run["speed"], label="speed")
    ax.plot(t, run["localVelocity.x"], label="forward", linewidth=0.8)
    ax.plot(t, run["localVelocity.y"], label="sideways", linewidth=0.8)
    ax.set_xlabel("time (s)")
    ax.set_ylabel("u/s")
    ax.set_title("Speed")
    ax.legend(fontsize="small")
    ax.grid(True, linewidth=0.3)
    fig.savefig(path, dpi=80, bbox_inches="tight")
    plt.close(fig)


def plot_slips(run, path):
    t = seconds(run)
    fig, (ratio, angle) = plt.subplots(2, 1, figsize=(8, 6), sharex=True)
    for wheel, name in enumerate(WHEELS):
        ratio.plot(t, run[f"slipRatio{wheel}"], label=name, linewidth=0.9)
        angle.plot(t, run[f"slipAngle{wheel}"], label=name, linewidth=0.9)
    ratio.set_ylabel("slip ratio")
    angle.set_ylabel("slip angle (deg)")
    angle.set_xlabel("time (s)")
    ratio.set_title("Slip per wheel")
    ratio.legend(fontsize="small", ncol=4)
    for ax in (ratio, angle):
        ax.grid(True, linewidth=0.3)
    fig.savefig(path, dpi=80, bbox_inches="tight")
    plt.close(fig)


def plot_tyre_curves(run, path):
    fig, (longitudinal, lateral) = plt.subplots(1, 2, figsize=(11, 4.5))
    ratios = np.linspace(-2.0, 10.0, 2401)
    longitudinal.plot(ratios, longitudinal_force(ratios), color="0.3", label="model")
    widest = max(20.0, float(np.nanmax(np.abs([run[f"slipAngle{w}"] for w in range(4)]))))
    angles = np.linspace(-widest, widest, 2401)
    lateral.plot(angles, lateral_force(angles), color="0.3", label="model")
    for wheel, name in enumerate(WHEELS):
        sr = run[f"slipRatio{wheel}"]
        sa = run[f"slipAngle{wheel}"]
        longitudinal.plot(sr, longitudinal_force(sr), "o", markersize=3, alpha=0.5, label=name)
        lateral.plot(sa, lateral_force(sa), "o", markersize=3, alpha=0.5, label=name)
    longitudinal.set_xlabel("slip ratio")
    longitudinal.set_ylabel("force (N)")
    longitudinal.set_title("Longitudinal force, load 1250")
    lateral.set_xlabel("slip angle (deg)")
    lateral.set_title("Lateral force, load 1250")
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


def main(argv):
    parser = argparse.ArgumentParser(description="Plots a torvane-replay telemetry CSV.")
    parser.add_argument("csv", help="telemetry written by torvane-replay --csv")
    parser.add_argument("--out", required=True, help="folder for the PNG plots (made if missing)")
    parser.add_argument("--data", default=default_data_folder(), help="the game's data folder")
    args = parser.parse_args(argv)
    try:
        run = read_telemetry(args.csv)
        footprints = obstacle_footprints(args.data)
    except (BadFile, OSError) as error:
        print(f"plot_telemetry: {error}", file=sys.stderr)
        return 2
    os.makedirs(args.out, exist_ok=True)
    plot_trajectory(run, footprints, os.path.join(args.out, "trajectory.png"))
    plot_speed(run, os.path.join(args.out, "speed.png"))
    plot_slips(run, os.path.join(args.out, "slip.png"))
    plot_tyre_curves(run, os.path.join(args.out, "tyre.png"))
    print(f"plot_telemetry: trajectory.png speed.png slip.png tyre.png in {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
