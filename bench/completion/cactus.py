#!/usr/bin/env python3
"""Draws a cactus plot: for every time limit t, the number of problems each prover solved within
t, as a step curve over a logarithmic time axis.

Run as a program so that it can use whichever Python has matplotlib: it reads a JSON object
{"path", "title", "timeout", "series": [[label, [seconds, ...]], ...]} on standard input.
"""
import json
import sys


def draw(path, title, timeout, series):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    fig, ax = plt.subplots(figsize=(7, 4.5))
    for label, times in series:
        times = sorted(max(t, 0.01) for t in times)
        xs = [0.01] + times + [max([timeout] + times)]
        ys = [0] + list(range(1, len(times) + 1)) + [len(times)]
        ax.step(xs, ys, where="post", label=f"{label} ({len(times)} solved)")
    ax.set_xscale("log")
    ax.set_xlabel("time limit (s, wall clock)")
    ax.set_ylabel("problems solved")
    ax.set_title(title)
    ax.grid(True, which="both", alpha=0.3)
    ax.legend(loc="upper left")
    fig.tight_layout()
    fig.savefig(path, dpi=110)
    plt.close(fig)


if __name__ == "__main__":
    data = json.load(sys.stdin)
    draw(data["path"], data["title"], data["timeout"], data["series"])
