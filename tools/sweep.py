#!/usr/bin/python3
"""torvane-sweep: one or two car parameters swept over ranges, each variant of
the car driven through the scripted manoeuvres and/or recorded drives by the
headless replay tool, one process per variant at a time on every core, and the
figures gathered in a table (CSV) and plots (a heat map for two parameters).

    torvane-sweep CAR.toml tyres.grip_factor=1.2:2.4:13 [body.mass=800:1400:7] --out DIR
        [--manoeuvres] [--drive FILE.tvr]... [-j N] [--replay PROGRAM] [--data DIR]
    torvane-sweep ... --print-commands     prepares DIR and prints one command per variant
    torvane-sweep --variant DIR N          drives variant N (what those commands run)
    torvane-sweep --table DIR              the table and plots of what the variants left

DIR holds sweep.json (the plan), variants/NNN/ (car.toml, the runs' telemetry,
result.json), sweep.csv and one PNG per figure. Figures: skidpad steady lateral
acceleration (u/s²), time from 0 to 20 u/s (s), step-steer yaw-rate overshoot (%),
and for each recorded drive the distance the car covered (u) and its mean speed
(u/s): a drive keeps its recorded frame times, so every car drives it for the
same time. A variant the car file reader refuses, or whose run fails, is a row
with its reason.

Shortcoming: the commands name DIR, the car files and the replay tool by their
absolute paths, so machines that run them must see the same paths (a shared
file system).
"""
import argparse
import json
import os
import shlex
import shutil
import subprocess
import sys
import time
from concurrent.futures import ThreadPoolExecutor, as_completed

HERE = os.path.dirname(os.path.realpath(__file__))
# The modules beside this script in the source tree, or where the install puts them.
sys.path[:0] = [HERE, os.path.join(HERE, "..", "share", "torvane", "tools")]

from sweep_variants import (SweepError, check_keys, grid, parse_range, variant_folder, with_values,  # noqa: E402
                            write_atomically)

MANOEUVRES = ("skidpad", "acceleration", "step_steer")
PLAN = "sweep.json"
MAX_CAR_BYTES = 1 << 20  # a car file is a few kilobytes


def default_replay():
    """torvane-replay beside this script (installed), in the source tree's build/, or on PATH."""
    for candidate in (os.path.join(HERE, "torvane-replay"), os.path.join(HERE, "..", "build", "torvane-replay")):
        if os.access(candidate, os.X_OK):
            return os.path.realpath(candidate)
    return shutil.which("torvane-replay")


def prepare(args):
    """Writes the plan and every variant's car file into args.out; the plan."""
    ranges = [parse_range(text) for text in args.parameters]
    names = [name for name, _ in ranges]
    try:
        with open(args.car, encoding="utf-8") as f:
            text = f.read(MAX_CAR_BYTES + 1)
    except (OSError, UnicodeDecodeError) as error:
        raise SweepError(f"{args.car} : illisible ({getattr(error, 'strerror', None) or error})") from None
    if len(text) > MAX_CAR_BYTES:
        raise SweepError(f"{args.car} : plus de {MAX_CAR_BYTES} octets, pas un fichier de voiture")
    check_keys(args.car, text, names)
    replay = args.replay or default_replay()
    if not replay:
        raise SweepError("torvane-replay introuvable : --replay PROGRAMME")
    runs = [{"name": name, "keys": os.path.join(manoeuvre_scripts(), name + ".keys")}
            for name in (MANOEUVRES if args.manoeuvres or not args.drive else ())]
    for drive in args.drive:
        name = os.path.splitext(os.path.basename(drive))[0]
        if not os.path.isfile(drive):
            raise SweepError(f"{drive} : pas de parcours enregistré à cet endroit")
        if any(run["name"] == name for run in runs):
            raise SweepError(f"{drive} : deux parcours nommés {name}")
        runs.append({"name": name, "recording": os.path.abspath(drive)})
    variants = grid(ranges)
    with_values(text, names, variants[0])  # a key the text cannot take is named before anything is written
    plan = {"replay": os.path.abspath(replay), "data": args.data and os.path.abspath(args.data),
            "parameters": names, "runs": runs, "variants": variants}
    os.makedirs(args.out, exist_ok=True)
    for index, values in enumerate(variants):
        folder = variant_folder(args.out, index)
        os.makedirs(folder, exist_ok=True)
        write_atomically(os.path.join(folder, "car.toml"), with_values(text, names, values))
        if os.path.exists(os.path.join(folder, "result.json")):
            os.remove(os.path.join(folder, "result.json"))  # left by an earlier sweep in the same folder
    write_atomically(os.path.join(args.out, PLAN), json.dumps(plan, indent=1) + "\n")
    return plan


def manoeuvre_scripts():
    import manoeuvre_figures
    return manoeuvre_figures.SCRIPTS


def read_plan(folder):
    """The plan prepare wrote, checked for what the variants and the table read of it."""
    path = os.path.join(folder, PLAN)
    try:
        with open(path, encoding="utf-8") as f:
            plan = json.load(f)
    except (OSError, ValueError) as error:
        raise SweepError(f"{path} : pas de plan de balayage lisible ({error})") from None
    sound = (isinstance(plan, dict) and isinstance(plan.get("replay"), str) and
             isinstance(plan.get("data"), (str, type(None))) and isinstance(plan.get("parameters"), list) and
             1 <= len(plan["parameters"]) <= 2 and isinstance(plan.get("runs"), list) and
             all(isinstance(run, dict) and isinstance(run.get("name"), str) and "/" not in run["name"] and
                 isinstance(run.get("keys", run.get("recording")), str) for run in plan["runs"]) and
             isinstance(plan.get("variants"), list) and
             all(isinstance(values, list) and len(values) == len(plan["parameters"]) and
                 all(isinstance(v, (int, float)) for v in values) for values in plan["variants"]))
    if not sound:
        raise SweepError(f"{path} : plan de balayage endommagé")
    return plan


def refusal(stderr, car):
    """The replay tool's complaint on one line: the car file's errors alone when it names them,
    the variant's car file called car.toml."""
    lines = [line.removeprefix("torvane-replay: ") for line in stderr.splitlines() if line.strip()]
    errors = [line for line in lines if line.startswith(car + ":")] or lines[:4]
    return " ; ".join(line.replace(car, "car.toml") for line in errors) or "sans message"


def drive_figures(run):
    """Distance covered (u) and mean speed (u/s) over a recorded drive."""
    import numpy as np
    from plot_telemetry import seconds
    steps = np.hypot(np.diff(run["position.x"]), np.diff(run["position.z"]))
    duration = seconds(run)[-1]
    return {"distance": float(steps.sum()), "mean_speed": float(steps.sum() / duration) if duration > 0 else None}


def run_figures(run, csv_path):
    """The figures of one run's telemetry, named as the table's columns."""
    import manoeuvre_figures
    from plot_telemetry import read_telemetry
    telemetry = read_telemetry(csv_path)
    name = run["name"]
    if "keys" in run and name in manoeuvre_figures.FIGURES:
        figure = manoeuvre_figures.FIGURES[name](telemetry)
        value = manoeuvre_figures.headline(name, figure)
        return {f"{name}.{manoeuvre_figures.HEADLINES[name][0]}": None if value is None else float(value)}
    return {f"{name}.{key}": value for key, value in drive_figures(telemetry).items()}


def drive_variant(folder, index):
    """Drives variant index of the plan in folder and writes its result.json; the result."""
    plan = read_plan(folder)
    if not 0 <= index < len(plan["variants"]):
        raise SweepError(f"variante {index} : le plan en a {len(plan['variants'])}")
    here = variant_folder(folder, index)
    car = os.path.abspath(os.path.join(here, "car.toml"))
    result = {"values": plan["variants"][index], "figures": {}, "reason": ""}
    for run in plan["runs"]:
        csv_path = os.path.join(here, run["name"] + ".csv")
        command = [plan["replay"], "--no-render", "--car", car, "--csv", csv_path]
        command += ["--keys", run["keys"]] if "keys" in run else ["--replay", run["recording"]]
        command += ["--data", plan["data"]] if plan["data"] else []
        done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        if done.returncode != 0:
            refused = done.returncode == 2 and car in done.stderr
            result["reason"] = (("refusé : " if refused else f"{run['name']} : échec (statut {done.returncode}) : ")
                                + refusal(done.stderr, car))
            break
        try:
            result["figures"].update(run_figures(run, csv_path))
        except Exception as error:  # a figure that cannot be read off is the variant's reason, not a stop
            result["reason"] = f"{run['name']} : figure illisible : {error}"
            break
    if result["reason"]:
        result["figures"] = {}
    write_atomically(os.path.join(here, "result.json"), json.dumps(result) + "\n")
    return result


def variant_commands(folder, plan):
    """One command per variant, each a list of words."""
    script = os.path.realpath(sys.argv[0])
    return [[script, "--variant", os.path.abspath(folder), str(index)] for index in range(len(plan["variants"]))]


class Progress:
    """Variants done out of the total and the time left, on one line of a terminal (nothing elsewhere)."""

    def __init__(self, total):
        self.total, self.done, self.start = total, 0, time.monotonic()
        self.shown = sys.stderr.isatty()

    def step(self):
        self.done += 1
        if self.shown:
            elapsed = time.monotonic() - self.start
            left = elapsed / self.done * (self.total - self.done)
            end = "\n" if self.done == self.total else ""
            print(f"\r{self.done}/{self.total} variantes, reste {left:.0f} s   ", end=end, file=sys.stderr, flush=True)


def drive_all(folder, plan, jobs):
    """Runs every variant's command, jobs at a time; the failures' messages."""
    commands = variant_commands(folder, plan)
    progress = Progress(len(commands))
    failures = []
    pool = ThreadPoolExecutor(max_workers=jobs)
    try:
        running = {pool.submit(subprocess.run, command, stderr=subprocess.PIPE, text=True): command
                   for command in commands}
        for future in as_completed(running):
            done = future.result()
            if done.returncode != 0:
                failures.append(f"{shlex.join(running[future])} : statut {done.returncode} : {done.stderr.strip()}")
            progress.step()
    finally:
        # Interrupted (Ctrl+C reaches the running commands too): the variants not yet started never start.
        pool.shutdown(wait=True, cancel_futures=True)
    return failures


def parse_arguments(argv):
    parser = argparse.ArgumentParser(prog="torvane-sweep", description="Balaie un ou deux paramètres de la voiture.")
    parser.add_argument("words", nargs="*", metavar="CAR PARAM", help="le fichier de voiture, puis TABLE.CLÉ=DÉBUT:FIN:NOMBRE "
                        "(un ou deux)")
    parser.add_argument("--out", help="le dossier du balayage (créé s'il manque)")
    parser.add_argument("--manoeuvres", action="store_true", help="les trois manœuvres (par défaut sans --drive)")
    parser.add_argument("--drive", action="append", default=[], metavar="FILE.tvr", help="un parcours enregistré")
    parser.add_argument("-j", "--jobs", type=int, default=len(os.sched_getaffinity(0)), help="processus à la fois")
    parser.add_argument("--replay", help="le programme torvane-replay")
    parser.add_argument("--data", help="le dossier de données du jeu")
    parser.add_argument("--print-commands", action="store_true", help="prépare DIR et écrit une commande par variante")
    parser.add_argument("--variant", nargs=2, metavar=("DIR", "N"), help="conduit la variante N de DIR")
    parser.add_argument("--table", metavar="DIR", help="le tableau et les figures de DIR")
    args = parser.parse_args(argv)
    if args.variant or args.table:
        if args.words or args.out:
            parser.error("--variant et --table se donnent seuls")
        if args.variant and not args.variant[1].isdigit():
            parser.error(f"--variant {args.variant[1]} : un numéro de variante")
    elif not 2 <= len(args.words) <= 3 or not args.out:
        parser.error("attendu : CAR.toml PARAM=DÉBUT:FIN:NOMBRE [PARAM=...] --out DIR")
    if args.jobs < 1:
        parser.error("-j : au moins 1")
    args.car, args.parameters = (args.words[0], args.words[1:]) if args.words else (None, [])
    return args


def main(argv):
    args = parse_arguments(argv)
    try:
        if args.variant:
            drive_variant(args.variant[0], int(args.variant[1]))
            return 0
        from sweep_table import write_table
        if args.table:
            print(write_table(args.table, read_plan(args.table)))
            return 0
        plan = prepare(args)
        if args.print_commands:
            for command in variant_commands(args.out, plan):
                print(shlex.join(command))
            print(f"torvane-sweep : ensuite, torvane-sweep --table {shlex.quote(os.path.abspath(args.out))}",
                  file=sys.stderr)
            return 0
        failures = drive_all(args.out, plan, args.jobs)
        for failure in failures:
            print(f"torvane-sweep : {failure}", file=sys.stderr)
        print(write_table(args.out, plan))
        return 1 if failures else 0
    except SweepError as error:
        print(f"torvane-sweep : {error}", file=sys.stderr)
        return 2
    except OSError as error:
        print(f"torvane-sweep : {error.filename or ''} : {error.strerror}", file=sys.stderr)
        return 1
    except KeyboardInterrupt:
        print("\ntorvane-sweep : interrompu ; les variantes faites gardent leur result.json", file=sys.stderr)
        return 130


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
