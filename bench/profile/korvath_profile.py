#!/usr/bin/env python3
"""Profile korvath's own work on a set of problems, with the prover's answers replayed.

korvath spends most of a run waiting for the termination prover, whose answers may moreover
depend on the load of the machine (it works under time budgets).  To measure korvath alone and
repeatably, a run is done in two phases:

  record   runs korvath once per problem with the real prover behind replay_prover.py, which
           stores every question and its answer (DIR/answers/NAME.jsonl);
  measure  runs korvath again with the recorded answers replayed (no prover, no time-out) and
           measures korvath's process only: callgrind's instruction count (valgrind without
           --trace-children, so the stand-in prover is not counted), and the CPU time of korvath
           alone (perf stat --no-inherit task-clock, when perf works).  Standard output and
           standard error are kept (DIR/runs/LABEL/) and compared with those of a reference
           label after masking the timing figures (time=, max=, total=, the "Time" lines of the
           statistics and the durations of the checker's "ask:" trace lines), which are the only
           parts of the output that depend on the clock.

A recording cut short by the time-out leaves later questions unanswered; the replayed run then
ends deterministically at the first question that was not recorded (korvath reports the answer
"missing answer" as a failure), which still makes a repeatable piece of work to measure.

    korvath_profile.py record  --out DIR [--timeout S] [--korvath K] [--prover P] PROBLEM...
    korvath_profile.py measure --out DIR --label L [--reference L0] [--no-callgrind] [--no-perf]
                               [--only NAME...] [--extra=OPTION]...

Results: DIR/results-LABEL.csv and a Markdown table on standard output.
"""
import argparse
import csv
import itertools
import pathlib
import re
import shlex
import subprocess
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parent.parent
REPLAY = HERE / "replay_prover.py"


def problem_name(path):
    p = pathlib.Path(path)
    return f"{p.parent.name}__{p.stem}"


def korvath_options(path):
    """--complete for files without conjectures, as the completion benchmark does."""
    text = pathlib.Path(path).read_text(errors="replace")
    return [] if re.search(r"\bconjecture\b", text) else ["--complete"]


def record(args):
    out = pathlib.Path(args.out)
    (out / "answers").mkdir(parents=True, exist_ok=True)
    (out / "recorded").mkdir(exist_ok=True)
    listed = out / "problems.csv"
    problems = []
    if listed.exists():
        with listed.open() as f:
            problems = [tuple(row) for row in csv.reader(f)]
    for problem in args.problems:
        name = problem_name(problem)
        answers = out / "answers" / f"{name}.jsonl"
        if answers.exists():
            answers.unlink()
        cmd = " ".join(shlex.quote(x) for x in
                       [sys.executable, str(REPLAY), "--record", str(answers), "--",
                        str(pathlib.Path(args.prover).resolve())])
        argv = [args.korvath, *korvath_options(problem), "-t", str(args.timeout), "--cmd", cmd,
                str(pathlib.Path(problem).resolve())]
        start = time.time()
        done = subprocess.run(argv, capture_output=True)
        wall = time.time() - start
        (out / "recorded" / f"{name}.stdout").write_bytes(done.stdout)
        (out / "recorded" / f"{name}.stderr").write_bytes(done.stderr)
        questions = sum(1 for _ in answers.open()) if answers.exists() else 0
        print(f"{name}: status {done.returncode}, {wall:.1f} s, {questions} questions", flush=True)
        problems = [p for p in problems if p[0] != name]
        problems.append((name, str(pathlib.Path(problem).resolve())))
    with listed.open("w", newline="") as f:
        csv.writer(f).writerows(problems)
    return 0


TIMING = re.compile(rb"\b(time|max|total)=[^,)]*")
ASK = re.compile(rb"^(ask: [0-9]+ [A-Z?]+) .*")


def masked_line(line):
    if line.startswith(b"Time"):
        return line.split(b":")[0] + b": #\n"
    return ASK.sub(rb"\1 #", TIMING.sub(rb"\1=#", line))


def same_output(a, b):
    """Whether two output files agree line by line once the timing figures are masked."""
    with open(a, "rb") as x, open(b, "rb") as y:
        for p, q in itertools.zip_longest(x, y):
            if p is None or q is None or masked_line(p) != masked_line(q):
                return False
    return True


def callgrind_instructions(argv, outfile):
    subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={outfile}", *argv],
                   capture_output=True)
    for line in pathlib.Path(outfile).read_text().splitlines():
        if line.startswith("totals:") or line.startswith("summary:"):
            return int(line.split()[1])
    return None


def perf_task_clock_ms(argv, runs):
    """korvath's own CPU time (children not counted), the smallest of several runs, or None."""
    best = None
    for _ in range(runs):
        done = subprocess.run(["perf", "stat", "--no-inherit", "-x,", "-e", "task-clock", *argv],
                              capture_output=True)
        for line in done.stderr.decode(errors="replace").splitlines():
            if "task-clock" in line:
                try:
                    value = float(line.split(",")[0])
                except ValueError:
                    continue
                best = value if best is None else min(best, value)
    return best


def measure(args):
    out = pathlib.Path(args.out)
    runs = out / "runs" / args.label
    runs.mkdir(parents=True, exist_ok=True)
    with (out / "problems.csv").open() as f:
        problems = [tuple(row) for row in csv.reader(f)]
    if args.only:
        problems = [p for p in problems if p[0] in args.only]
    rows = []
    for name, path in problems:
        answers = out / "answers" / f"{name}.jsonl"
        cmd = " ".join(shlex.quote(x) for x in [sys.executable, str(REPLAY), "--replay", str(answers)])
        argv = [args.korvath, *korvath_options(path), *args.extra, "--cmd", cmd, path]
        start = time.time()
        done = subprocess.run(argv, capture_output=True)
        wall = time.time() - start
        (runs / f"{name}.stdout").write_bytes(done.stdout)
        (runs / f"{name}.stderr").write_bytes(done.stderr)
        (runs / f"{name}.status").write_text(f"{done.returncode}\n")
        same = ""
        if args.reference:
            ref = out / "runs" / args.reference
            same = "yes"
            for part in ("stdout", "stderr"):
                if not same_output(ref / f"{name}.{part}", runs / f"{name}.{part}"):
                    same = "NO"
            if (ref / f"{name}.status").read_text() != f"{done.returncode}\n":
                same = "NO"
        ir = None
        if not args.no_callgrind:
            ir = callgrind_instructions(argv, runs / f"{name}.callgrind")
        ms = None if args.no_perf else perf_task_clock_ms(argv, args.repeat)
        row = {"problem": name, "status": done.returncode, "wall_s": f"{wall:.3f}",
               "instructions": ir if ir is not None else "",
               "cpu_ms": f"{ms:.1f}" if ms is not None else "", "identical": same}
        rows.append(row)
        print(row, file=sys.stderr, flush=True)
    with (out / f"results-{args.label}.csv").open("w", newline="") as f:
        writer = csv.DictWriter(f, fieldnames=list(rows[0].keys()))
        writer.writeheader()
        writer.writerows(rows)
    print(f"| problem | status | korvath instructions | korvath CPU ms | identical to {args.reference or '-'} |")
    print("|---|---|---|---|---|")
    for r in rows:
        print(f"| {r['problem']} | {r['status']} | {r['instructions']} | {r['cpu_ms']} | {r['identical']} |")
    total = sum(int(r["instructions"]) for r in rows if r["instructions"] != "")
    print(f"| total | | {total} | | |")
    return 1 if any(r["identical"] == "NO" for r in rows) else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    sub = parser.add_subparsers(dest="mode", required=True)
    rec = sub.add_parser("record")
    rec.add_argument("--out", required=True)
    rec.add_argument("--timeout", type=int, default=60)
    rec.add_argument("--korvath", default=str(REPO / "build" / "korvath"))
    rec.add_argument("--prover", default=str(REPO / "build" / "prover" / "korvath-termination"))
    rec.add_argument("problems", nargs="+")
    mea = sub.add_parser("measure")
    mea.add_argument("--out", required=True)
    mea.add_argument("--label", required=True)
    mea.add_argument("--reference")
    mea.add_argument("--korvath", default=str(REPO / "build" / "korvath"))
    mea.add_argument("--only", nargs="*", help="problem names (corpus__stem) to run")
    mea.add_argument("--extra", action="append", default=[],
                     help="one more korvath option, e.g. --extra=--trace to compare full traces")
    mea.add_argument("--repeat", type=int, default=3, help="perf runs per problem (the least counts)")
    mea.add_argument("--no-callgrind", action="store_true")
    mea.add_argument("--no-perf", action="store_true")
    args = parser.parse_args()
    return record(args) if args.mode == "record" else measure(args)


if __name__ == "__main__":
    sys.exit(main())
