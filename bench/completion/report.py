"""Writes a run's results: a CSV with one row per problem, a Markdown summary and a cactus plot.

The summary counts the outcomes, gives the median and total korvath time over completed (and over
all solved) problems, E's decided count and times, the per-problem ratio korvath time / E time on
problems both solved and its median, and lists loudly everything that needs a look: WRONG
outcomes, disagreements with E or with the TPTP status, and errors, each with the command that
reproduces it. The cactus plot shows, for every time limit t, how many problems each prover
solved within t.
"""
import csv
import importlib.util
import json
import os
import shutil
import statistics
import subprocess
import sys

from . import korvath_output

CSV_FIELDS = ["corpus", "problem", "conjectures", "complete", "outcome", "detail", "time_s",
              "peak_mib", "exit_status", "orientations", "prover_calls", "prover_yes", "prover_no",
              "prover_unknown", "splits", "nodes", "rules", "trs_size", "korvath_answers",
              "recheck_s", "e_status", "e_decided", "e_time_s", "e_answers", "ratio",
              "tptp_status", "disagreement", "command"]


def ratio(result):
    """korvath time / E time when both solved the problem, else None."""
    if result.solved and result.e is not None and result.e.decided and result.e.seconds > 0:
        return result.seconds / result.e.seconds
    return None


def _fmt(x, digits=3):
    return "" if x is None else f"{x:.{digits}f}"


def _answers(answers):
    return ";".join("?" if a is None else a for a in answers)


def _row(r):
    run = r.run
    calls = run.calls if run is not None and run.calls else (None,) * 4
    row = {
        "corpus": r.corpus, "problem": r.name, "conjectures": r.conjectures,
        "complete": int(r.complete), "outcome": r.outcome, "detail": r.detail,
        "time_s": _fmt(r.seconds), "peak_mib": _fmt(r.peak_mib, 1),
        "exit_status": "" if r.status is None else r.status,
        "orientations": "" if run is None or run.orientations is None else run.orientations,
        "prover_calls": calls[0], "prover_yes": calls[1], "prover_no": calls[2],
        "prover_unknown": calls[3],
        "splits": "" if run is None else run.splits, "nodes": "" if run is None else run.nodes,
        "rules": len(run.rules) if run is not None and run.completions else "",
        "trs_size": "" if run is None or run.trs_size is None else run.trs_size,
        "korvath_answers": _answers(r.answers), "recheck_s": _fmt(r.recheck_seconds),
        "e_status": "" if r.e is None else r.e.status,
        "e_decided": "" if r.e is None else int(r.e.decided),
        "e_time_s": "" if r.e is None else _fmt(r.e.seconds),
        "e_answers": "" if r.e is None else _answers(r.e.answers),
        "ratio": _fmt(ratio(r)), "tptp_status": r.tptp_status,
        "disagreement": " | ".join(r.disagreements), "command": r.command,
    }
    return {k: ("" if v is None else v) for k, v in row.items()}


def write_csv(path, results):
    with open(path, "w", newline="", encoding="utf-8") as f:
        writer = csv.DictWriter(f, fieldnames=CSV_FIELDS)
        writer.writeheader()
        for r in results:
            writer.writerow(_row(r))


def _median(xs):
    return statistics.median(xs) if xs else None


def figures(results):
    """The summary numbers of a run, as a dict."""
    completed = [r.seconds for r in results if r.outcome == korvath_output.COMPLETED]
    solved = [r.seconds for r in results if r.solved]
    with_e = [r for r in results if r.e is not None]
    e_times = [r.e.seconds for r in with_e if r.e.decided]
    ratios = [x for x in (ratio(r) for r in results) if x is not None]
    return {
        "problems": len(results),
        "outcomes": {o: sum(1 for r in results if r.outcome == o) for o in korvath_output.OUTCOMES},
        "completed_median": _median(completed), "completed_total": sum(completed),
        "solved": len(solved), "solved_median": _median(solved), "solved_total": sum(solved),
        "e_runs": len(with_e), "e_decided": len(e_times), "e_median": _median(e_times),
        "e_total": sum(e_times), "both_solved": len(ratios), "ratio_median": _median(ratios),
        "disagreements": sum(1 for r in results if r.disagreements),
        "wrong": sum(1 for r in results if r.outcome == korvath_output.WRONG),
    }


def attention(results):
    """Lines describing every result that needs a look (WRONG, disagreement, error)."""
    lines = []
    for r in results:
        problems = []
        if r.outcome == korvath_output.WRONG:
            problems += [f"WRONG: {f}" for f in r.failures]
        problems += [f"DISAGREEMENT: {d}" for d in r.disagreements]
        if r.outcome == korvath_output.ERROR or "left processes" in r.detail:
            problems.append(f"{r.outcome}: {r.detail}")
        if problems:
            lines.append(f"- **{r.corpus}/{r.name}**: reproduce with `{r.command}`")
            lines += [f"  - {p}" for p in problems]
    return lines


def _s(x):
    return "n/a" if x is None else f"{x:.3f}"


def write_markdown(path, results, meta, plot_name):
    f_ = figures(results)
    out = [f"# korvath completion benchmark: {meta['title']}", ""]
    out += [f"- {k}: {v}" for k, v in meta["facts"]]
    out += ["", "Timings are wall-clock times on a machine shared with other work (2 cores, other "
            "builds and tests running at the same time); they are noisy, and ratios between runs "
            "of a few tenths of a second mean little.", "", "## Outcomes", "",
            "| outcome | count |", "|---|---|"]
    out += [f"| {o} | {n} |" for o, n in f_["outcomes"].items()]
    out += [f"| total | {f_['problems']} |", "", "## Times", "",
            "| figure | value |", "|---|---|",
            f"| korvath completed (re-checked) | {f_['outcomes'][korvath_output.COMPLETED]} |",
            f"| median / total time over completed (s) | {_s(f_['completed_median'])} / "
            f"{_s(f_['completed_total'])} |",
            f"| korvath solved (completed or conjectures decided) | {f_['solved']} |",
            f"| median / total time over solved (s) | {_s(f_['solved_median'])} / "
            f"{_s(f_['solved_total'])} |"]
    if f_["e_runs"]:
        out += [f"| E decided (saturated or proved/refuted) | {f_['e_decided']} of {f_['e_runs']} |",
                f"| E median / total time over decided (s) | {_s(f_['e_median'])} / "
                f"{_s(f_['e_total'])} |",
                f"| solved by both | {f_['both_solved']} |",
                f"| median ratio korvath time / E time (solved by both) | {_s(f_['ratio_median'])} |",
                f"| problems where korvath disagrees (with E or the TPTP status) | "
                f"{f_['disagreements']} |"]
    notes = attention(results)
    out += ["", "## Needs attention", ""] + (notes or ["Nothing: no WRONG outcome, no "
                                                       "disagreement, no error."])
    if plot_name:
        out += ["", f"![cactus plot]({plot_name})"]
    out += ["", "## Per problem", "",
            "| problem | outcome | time s | MiB | orient. | calls (Y/N/?) | splits | rules | "
            "answers | E | E time s | ratio |", "|---|---|---|---|---|---|---|---|---|---|---|---|"]
    for r in results:
        row = _row(r)
        calls = (f"{row['prover_calls']} ({row['prover_yes']}/{row['prover_no']}/"
                 f"{row['prover_unknown']})" if row["prover_calls"] != "" else "")
        out.append(f"| {r.corpus}/{r.name} | {r.outcome} | {row['time_s']} | {row['peak_mib']} | "
                   f"{row['orientations']} | {calls} | {row['splits']} | {row['rules']} | "
                   f"{row['korvath_answers']} | {row['e_status']} | {row['e_time_s']} | "
                   f"{row['ratio']} |")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


def _python_with_matplotlib():
    if importlib.util.find_spec("matplotlib") is not None:
        return sys.executable
    for candidate in ("/usr/bin/python3", shutil.which("python3")):
        if candidate and subprocess.run([candidate, "-c", "import matplotlib"],
                                        capture_output=True).returncode == 0:
            return candidate
    return None


def write_cactus(path, results, timeout, title):
    """Writes the cactus plot; returns (False, reason) when no Python with matplotlib is found."""
    python = _python_with_matplotlib()
    if python is None:
        return False, "matplotlib is not available; install python3-matplotlib"
    series = [["korvath", [r.seconds for r in results if r.solved]]]
    if any(r.e is not None for r in results):
        series.append(["E", [r.e.seconds for r in results if r.e is not None and r.e.decided]])
    data = {"path": path, "timeout": timeout, "series": series,
            "title": f"{title}: {len(results)} problems, {timeout} s limit"}
    done = subprocess.run([python, os.path.join(os.path.dirname(__file__), "cactus.py")],
                          input=json.dumps(data), text=True, capture_output=True)
    if done.returncode != 0:
        return False, done.stderr.strip().split("\n")[-1]
    return True, ""
