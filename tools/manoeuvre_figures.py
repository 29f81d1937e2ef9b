#!/usr/bin/python3
"""Reads the telemetry of the three scripted manoeuvres (tools/manoeuvres/*.keys)
and prints the figure each one is for, so that a change to the car shows as numbers:

    skidpad       steady-state lateral acceleration (speed × yaw rate) over the last 5 s
    acceleration  time from 0 to 20 u/s
    step_steer    overshoot of the yaw rate per unit of speed after the step, over its
                  steady value at the end of the run

Usage:
    /usr/bin/python3 tools/manoeuvre_figures.py --replay build/torvane-replay [--car FILE] DIR
        drives the three manoeuvres headless into DIR/<name>.csv, then as below
    /usr/bin/python3 tools/manoeuvre_figures.py DIR [DIR_B]
        reads DIR/<name>.csv (and DIR_B's, to compare two cars), prints the figures
        and draws DIR/<name>.png with the figure read off (DIR_B's runs dashed)

Needs Debian's python3-matplotlib.
"""
import argparse
import os
import subprocess
import sys

import numpy as np

from plot_telemetry import BadFile, pyplot, read_telemetry, seconds

MANOEUVRES = ("skidpad", "acceleration", "step_steer")
SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "manoeuvres")
STEADY_SECONDS = 5.0   # the skidpad's steady window, at the end of the run
TARGET_SPEED = 20.0    # u/s, the acceleration's finish
GAIN_STEADY_SECONDS = 2.0  # the step steer's steady window, at the end of the run
MOVING = 0.1           # u/s: below it the yaw rate per unit of speed means nothing


def skidpad(run):
    """Steady lateral acceleration, radius and speed over the last seconds, and how steady they were."""
    t = seconds(run)
    window = t >= t[-1] - STEADY_SECONDS
    speed, yaw_rate = run["speed"][window], np.abs(run["yawRate"][window])
    lateral = speed * yaw_rate
    spread = (lateral.max() - lateral.min()) / lateral.mean() if lateral.mean() > 0 else float("inf")
    return {"lateral": lateral.mean(), "radius": np.mean(speed / np.maximum(yaw_rate, 1e-9)),
            "speed": speed.mean(), "spread": spread, "window": t[-1] - STEADY_SECONDS}


def acceleration(run):
    """The time (s) the speed first reaches TARGET_SPEED, between rows linearly; None if never."""
    t, speed = seconds(run), run["speed"]
    reached = np.nonzero(speed >= TARGET_SPEED)[0]
    if len(reached) == 0:
        return {"time": None}
    i = reached[0]
    if i == 0:
        return {"time": t[0]}
    share = (TARGET_SPEED - speed[i - 1]) / (speed[i] - speed[i - 1])
    return {"time": t[i - 1] + share * (t[i] - t[i - 1])}


def step_steer(run):
    """Peak and steady yaw rate per unit of speed after the first steered frame, and the overshoot (%)."""
    t = seconds(run)
    steered = np.nonzero(run["steeringAngle"] != 0)[0]
    if len(steered) == 0:
        raise BadFile("step_steer: the steering never moves")
    step = steered[0]
    gain = np.where(run["speed"] > MOVING, np.abs(run["yawRate"]) / np.maximum(run["speed"], MOVING), 0.0)
    after = np.arange(len(t)) >= step
    steady = gain[t >= t[-1] - GAIN_STEADY_SECONDS].mean()
    peak = int(np.argmax(np.where(after, gain, -1.0)))
    return {"step": t[step], "peak": gain[peak], "peak_time": t[peak] - t[step], "steady": steady,
            "overshoot": 100.0 * (gain[peak] - steady) / steady if steady > 0 else float("inf"),
            "gain": gain}


FIGURES = {"skidpad": skidpad, "acceleration": acceleration, "step_steer": step_steer}
# Each manoeuvre's one number, and its unit.
HEADLINES = {"skidpad": ("lateral", "u/s²"), "acceleration": ("time", "s"), "step_steer": ("overshoot", "%")}


def describe(name, figure):
    if name == "skidpad":
        steady = "" if figure["spread"] < 0.02 else f", not steady: varies by {100 * figure['spread']:.0f} %"
        return (f"steady lateral acceleration {figure['lateral']:.1f} u/s² (radius {figure['radius']:.2f} u, "
                f"speed {figure['speed']:.2f} u/s{steady})")
    if name == "acceleration":
        if figure["time"] is None:
            return f"0–{TARGET_SPEED:g} u/s not reached"
        return f"0–{TARGET_SPEED:g} u/s in {figure['time']:.2f} s"
    return (f"yaw-rate overshoot {figure['overshoot']:.1f} % (yaw rate per speed: peak {figure['peak']:.4f} "
            f"rad/u {figure['peak_time']:.2f} s after the step, steady {figure['steady']:.4f})")


def headline(name, figure):
    """The one number of a manoeuvre, for the comparison column."""
    return figure[HEADLINES[name][0]]


def plot(name, runs, figures, path):
    """One picture of the manoeuvre with its figure read off; runs and figures are [(label, ...)]."""
    plt = pyplot()
    fig, ax = plt.subplots(figsize=(8, 4.5))
    for (label, run), (_, figure), style in zip(runs, figures, ("-", "--")):
        t = seconds(run)
        if name == "skidpad":
            line, = ax.plot(t, run["speed"] * np.abs(run["yawRate"]), style, label=f"{label}: speed × yaw rate")
            ax.axvspan(figure["window"], t[-1], color=line.get_color(), alpha=0.08)
            ax.axhline(figure["lateral"], linestyle=":", color=line.get_color(),
                       label=f"{label}: steady {figure['lateral']:.1f} u/s²")
            ax.set_ylabel("lateral acceleration (u/s²)")
        elif name == "acceleration":
            line, = ax.plot(t, run["speed"], style, label=f"{label}: speed")
            if figure["time"] is not None:
                ax.plot([figure["time"]], [TARGET_SPEED], "o", color=line.get_color(),
                        label=f"{label}: {TARGET_SPEED:g} u/s at {figure['time']:.2f} s")
            ax.axhline(TARGET_SPEED, color="0.5", linewidth=0.6)
            ax.set_ylabel("speed (u/s)")
        else:
            line, = ax.plot(t, figure["gain"], style, label=f"{label}: yaw rate / speed")
            ax.axhline(figure["steady"], linestyle=":", color=line.get_color(),
                       label=f"{label}: steady {figure['steady']:.4f}")
            ax.plot([figure["step"] + figure["peak_time"]], [figure["peak"]], "o", color=line.get_color(),
                    label=f"{label}: peak, overshoot {figure['overshoot']:.1f} %")
            ax.set_ylabel("yaw rate per speed (rad/u)")
    ax.set_xlabel("time (s)")
    ax.set_title(name.replace("_", " "))
    ax.grid(True, linewidth=0.3)
    ax.legend(fontsize="small")
    fig.savefig(path, dpi=80, bbox_inches="tight")
    plt.close(fig)


def drive(tool, car, folder):
    """Replays the three key scripts headless into folder/<name>.csv; the error text, or None."""
    os.makedirs(folder, exist_ok=True)
    for name in MANOEUVRES:
        command = [tool, "--no-render", "--keys", os.path.join(SCRIPTS, name + ".keys"),
                   "--csv", os.path.join(folder, name + ".csv")] + (["--car", car] if car else [])
        result = subprocess.run(command, stderr=subprocess.PIPE, text=True)
        if result.returncode != 0:
            return f"{name}: torvane-replay failed with status {result.returncode}\n{result.stderr}"
    return None


def main(argv):
    parser = argparse.ArgumentParser(description="Figures of the scripted manoeuvres.")
    parser.add_argument("folders", nargs="+", metavar="DIR", help="folder of the runs' CSVs; a second one compares")
    parser.add_argument("--replay", help="torvane-replay: drive the manoeuvres into DIR first")
    parser.add_argument("--car", help="the car file for --replay (default: the data folder's)")
    args = parser.parse_args(argv)
    if len(args.folders) > 2 or (args.replay and len(args.folders) != 1) or (args.car and not args.replay):
        parser.error("one or two folders; --replay (and --car) with one folder only")
    if args.replay:
        error = drive(args.replay, args.car, args.folders[0])
        if error:
            print(f"manoeuvre_figures: {error}", file=sys.stderr)
            return 1
    labels = [os.path.basename(os.path.normpath(folder)) or folder for folder in args.folders]
    for name in MANOEUVRES:
        try:
            runs = [(label, read_telemetry(os.path.join(folder, name + ".csv")))
                    for label, folder in zip(labels, args.folders)]
            figures = [(label, FIGURES[name](run)) for label, run in runs]
        except (BadFile, OSError) as error:
            print(f"manoeuvre_figures: {error}", file=sys.stderr)
            return 2
        for label, figure in figures:
            print(f"{name:12} {label + ': ' if len(figures) > 1 else ''}{describe(name, figure)}")
        if len(figures) == 2:
            a, b = (headline(name, figure) for _, figure in figures)
            if a is not None and b is not None:
                print(f"{name:12} {labels[1]} - {labels[0]}: {b - a:+.3f}")
        plot(name, runs, figures, os.path.join(args.folders[0], name + ".png"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
