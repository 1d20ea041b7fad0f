#!/usr/bin/env python3
"""Benchmark korvath-termination on the sample of termination problems.

Every problem file is sent, in one long-lived process, through the persistent protocol that
korvath uses (question text, then a line holding "."), so the measured time per question is the
wall-clock time from writing the question to reading the third answer line, without process
start. Answers are compared with expected.tsv: a wrong answer is YES where NO is expected or NO
where YES is expected. The summary is printed and written as Markdown (RESULTS.md by default).

Usage: run.py [--binary PATH] [--problems DIR] [--timeout-ms N] [--output FILE] [--title TEXT]

bench/termination/completion/ holds hand-made question sequences of the kind korvath asks while
completing (group theory, rings, string rewriting: each file the previous rule set plus one
rule); run it with --problems bench/termination/completion --output bench/termination/COMPLETION.md.
"""

import argparse
import csv
import os
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))

VERDICTS = {"true": "YES", "false": "NO", "maybe": "MAYBE", "timed out": "TIMEOUT"}

TECHNIQUES = [
    ("earlier proof re-checked", "cache"),
    ("LPO", "lpo"),
    ("RPO", "rpo"),
    ("KBO", "kbo"),
    ("linear polynomial", "poly"),
    ("matrix interpretation", "matrix"),
    ("dependency pairs", "dp"),
    ("rule removal", "removal"),
    ("loop", "loop"),
    ("no rules", "syntactic"),
]


def technique(verdict, summary):
    if verdict == "NO" and summary.startswith("loop") and "rewrites in 1 step" in summary:
        return "loop (1 step)"
    for prefix, name in TECHNIQUES:
        if summary.startswith(prefix):
            return name
    return "none" if verdict in ("MAYBE", "TIMEOUT") else "other"


def percentile(values, fraction):
    ordered = sorted(values)
    index = min(len(ordered) - 1, max(0, int(round(fraction * len(ordered) + 0.5)) - 1))
    return ordered[index]


def read_expected(directory):
    with open(os.path.join(directory, "expected.tsv"), newline="") as f:
        return {row["file"]: row["status"] for row in csv.DictReader(f, delimiter="\t")}


def cpu_ms(pid):
    """CPU time (user + system) used so far by process pid, in milliseconds (Linux /proc)."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) * 1000.0 / os.sysconf("SC_CLK_TCK")
    except OSError:
        return float("nan")


def run(binary, directory, files, timeout_ms):
    process = subprocess.Popen([binary, "--timeout-ms", str(timeout_ms)], stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, text=True, bufsize=1)
    results = []
    for name in files:
        with open(os.path.join(directory, name)) as f:
            text = f.read().rstrip("\n")
        cpu_start = cpu_ms(process.pid)
        start = time.perf_counter()
        process.stdin.write(text + "\n.\n")
        process.stdin.flush()
        lines = [process.stdout.readline().rstrip("\n") for _ in range(3)]
        elapsed = (time.perf_counter() - start) * 1000.0
        cpu = cpu_ms(process.pid) - cpu_start
        if not lines[0]:
            sys.exit(f"prover died on {name}")
        verdict = VERDICTS.get(lines[0], "?" + lines[0])
        results.append((name, verdict, lines[1], elapsed, cpu))
    process.stdin.close()
    process.wait()
    return results


def summarize(results, expected, timeout_ms, binary, title):
    counts = {}
    per_technique = {}
    wrong = []
    for name, verdict, summary, _, _ in results:
        counts[verdict] = counts.get(verdict, 0) + 1
        tech = technique(verdict, summary)
        per_technique.setdefault(tech, []).append(verdict)
        want = expected.get(name, "MAYBE")
        if (verdict, want) in (("YES", "NO"), ("NO", "YES")):
            wrong.append((name, verdict, want))
    times = [r[3] for r in results]
    cpu = [r[4] for r in results]
    solvable = {v: sum(1 for s in expected.values() if s == v) for v in ("YES", "NO", "MAYBE")}
    out = [f"# korvath-termination: {title}", ""]
    out.append(f"{len(results)} problems, persistent protocol, budget {timeout_ms} ms per question, "
               f"binary `{os.path.relpath(binary, ROOT)}`.")
    out.append("")
    out.append("| answer | count | expected (best known) |")
    out.append("|---|---|---|")
    for v in ("YES", "NO", "MAYBE", "TIMEOUT"):
        out.append(f"| {v} | {counts.get(v, 0)} | {solvable.get(v, '')} |")
    out.append("")
    out.append(f"Wrong answers: **{len(wrong)}**")
    for name, verdict, want in wrong:
        out.append(f"- {name}: answered {verdict}, expected {want}")
    out.append("")
    out.append("| technique | YES | NO |")
    out.append("|---|---|---|")
    for tech in sorted(per_technique):
        verdicts = per_technique[tech]
        if tech == "none":
            continue
        out.append(f"| {tech} | {verdicts.count('YES')} | {verdicts.count('NO')} |")
    out.append("")
    out.append("| time per question (ms) | wall clock | CPU (prover process) |")
    out.append("|---|---|---|")
    out.append(f"| median | {statistics.median(times):.2f} | {statistics.median(cpu):.0f} |")
    out.append(f"| 90th percentile | {percentile(times, 0.9):.2f} | {percentile(cpu, 0.9):.0f} |")
    out.append(f"| maximum | {max(times):.2f} | {max(cpu):.0f} |")
    out.append(f"| total | {sum(times):.0f} | {sum(cpu):.0f} |")
    settled = [r[3] for r in results if r[1] in ("YES", "NO")]
    if settled:
        out.append(f"| median of the {len(settled)} YES/NO answers | {statistics.median(settled):.2f} | |")
        out.append(f"| 90th percentile of the YES/NO answers | {percentile(settled, 0.9):.2f} | |")
    out.append("")
    out.append("Wall clock is from writing the question to reading the third answer line; CPU time is "
               "read from /proc in clock ticks (10 ms), so it only shows coarse trends. "
               f"Load average while measuring: {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores.")
    out.append("")
    missed = [(n, v, expected.get(n)) for n, v, _, _, _ in results
              if v in ("MAYBE", "TIMEOUT") and expected.get(n) in ("YES", "NO")]
    out.append(f"Unsolved problems that some tool has solved ({len(missed)}):")
    out.append("")
    for name, verdict, want in missed:
        out.append(f"- {name} ({verdict}; best known {want})")
    return "\n".join(out) + "\n", len(wrong)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--binary", default=os.path.join(ROOT, "build-prover", "prover",
                                                         "korvath-termination"))
    parser.add_argument("--problems", default=os.path.join(ROOT, "..", "shared", "bench",
                                                           "termination"))
    parser.add_argument("--timeout-ms", type=int, default=2000)
    parser.add_argument("--output", default=os.path.join(HERE, "RESULTS.md"))
    parser.add_argument("--details", help="also write one line per problem to this TSV file")
    parser.add_argument("--title", default="the termination sample (shared/bench/termination)")
    args = parser.parse_args()
    directory = os.path.normpath(args.problems)
    expected = read_expected(directory)
    files = sorted(f for f in os.listdir(directory) if f.endswith(".trs"))
    results = run(args.binary, directory, files, args.timeout_ms)
    text, wrong = summarize(results, expected, args.timeout_ms, args.binary, args.title)
    print(text)
    if args.output:
        with open(args.output, "w") as f:
            f.write(text)
    if args.details:
        with open(args.details, "w") as f:
            for name, verdict, summary, ms, cpu in results:
                f.write(f"{name}\t{verdict}\t{expected.get(name)}\t{ms:.2f}\t{cpu:.0f}\t{summary}\n")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
