"""A sweep's table and plots, from the results its variants left: sweep.csv (the
swept values, each figure, the reason a variant has none) and one PNG per
figure, the figure against the parameter, or a heat map over the grid of two.

Shortcoming: a variant that left no result (its command never ran, or was
killed) is a row with that reason; run its command again, then --table.
"""
import csv
import io
import json
import math
import os

from manoeuvre_figures import HEADLINES
from plot_telemetry import pyplot
from sweep_variants import number_text, variant_folder, write_atomically

# A recorded drive's figures and their units.
DRIVE_FIGURES = (("distance", "u"), ("mean_speed", "u/s"))


def figure_columns(plan):
    """(column, unit) of every figure the plan's runs give, in the order of the runs."""
    columns = []
    for run in plan["runs"]:
        if "keys" in run:
            key, unit = HEADLINES[run["name"]]
            columns.append((f"{run['name']}.{key}", unit))
        else:
            columns += [(f"{run['name']}.{key}", unit) for key, unit in DRIVE_FIGURES]
    return columns


def read_results(folder, plan):
    """Each variant's result, or one with the reason it has none."""
    results = []
    for index, values in enumerate(plan["variants"]):
        path = os.path.join(variant_folder(folder, index), "result.json")
        try:
            with open(path, encoding="utf-8") as f:
                results.append(json.load(f))
        except (OSError, ValueError):
            results.append({"values": values, "figures": {}, "reason": "pas de résultat (variante non conduite)"})
    return results


def cell(value):
    return "" if value is None else number_text(value)


def table_text(plan, results):
    out = io.StringIO()
    writer = csv.writer(out, lineterminator="\n")
    columns = [name for name, _ in figure_columns(plan)]
    writer.writerow(plan["parameters"] + columns + ["raison"])
    for result in results:
        writer.writerow([number_text(v) for v in result["values"]] +
                        [cell(result["figures"].get(name)) for name in columns] + [result["reason"]])
    return out.getvalue()


def number(value):
    return math.nan if value is None or not math.isfinite(value) else value


def plot_line(plan, results, column, unit, path):
    """The figure against the one parameter; a variant without it is marked at the foot of the plot."""
    plt = pyplot()
    x = [result["values"][0] for result in results]
    y = [number(result["figures"].get(column)) for result in results]
    fig, ax = plt.subplots(figsize=(7, 4))
    ax.plot(x, y, "o-")
    missing = [value for value, figure in zip(x, y) if math.isnan(figure)]
    if missing:
        ax.plot(missing, [0.0] * len(missing), "x", color="tab:red", transform=ax.get_xaxis_transform(),
                clip_on=False, label="refusée ou sans valeur")
        ax.legend(fontsize="small")
    ax.set_xlabel(plan["parameters"][0])
    ax.set_ylabel(f"{column} ({unit})")
    ax.grid(True, linewidth=0.3)
    fig.savefig(path, dpi=80, bbox_inches="tight")
    plt.close(fig)


def plot_heat_map(plan, results, column, unit, path):
    """The figure over the grid of two parameters; a cell without it is grey."""
    import matplotlib
    import numpy as np
    plt = pyplot()
    rows = sorted({result["values"][0] for result in results})
    cols = sorted({result["values"][1] for result in results})
    grid = np.full((len(rows), len(cols)), np.nan)
    for result in results:
        grid[rows.index(result["values"][0]), cols.index(result["values"][1])] = number(result["figures"].get(column))
    fig, ax = plt.subplots(figsize=(7, 5))
    colours = matplotlib.colormaps["viridis"].copy()
    colours.set_bad("0.75")
    image = ax.pcolormesh(edges(cols), edges(rows), np.ma.masked_invalid(grid), cmap=colours, shading="flat")
    fig.colorbar(image, ax=ax, label=f"{column} ({unit})")
    ax.set_xlabel(plan["parameters"][1])
    ax.set_ylabel(plan["parameters"][0])
    ax.set_title(f"{column} (gris : refusée ou sans valeur)", fontsize="small")
    fig.savefig(path, dpi=80, bbox_inches="tight")
    plt.close(fig)


def edges(values):
    """Cell edges around each value: halfway to its neighbours, a unit wide for a single value."""
    if len(values) == 1:
        return [values[0] - 0.5, values[0] + 0.5]
    middles = [(a + b) / 2 for a, b in zip(values, values[1:])]
    return [2 * values[0] - middles[0]] + middles + [2 * values[-1] - middles[-1]]


def write_table(folder, plan):
    """Writes sweep.csv and the plots into folder; what was written, as one line."""
    results = read_results(folder, plan)
    write_atomically(os.path.join(folder, "sweep.csv"), table_text(plan, results))
    plot = plot_line if len(plan["parameters"]) == 1 else plot_heat_map
    names = []
    for column, unit in figure_columns(plan):
        name = column.replace(".", "-") + ".png"
        temporary = os.path.join(folder, f".{name}.{os.getpid()}.png")
        plot(plan, results, column, unit, temporary)
        os.replace(temporary, os.path.join(folder, name))
        names.append(name)
    refused = sum(1 for result in results if result["reason"])
    return (f"torvane-sweep : {len(results)} variantes ({refused} sans figures), sweep.csv et "
            f"{' '.join(names)} dans {folder}")
