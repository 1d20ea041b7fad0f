"""Runs korvath (and E) on one benchmark problem and judges the answer.

One problem goes through: reading the input with the runner's own parser; running korvath with its
own time limit (-t) under a slightly longer wall-clock limit; classifying the outcome from its
output; re-checking a completed system, or the verdicts of a search that stopped early, with the
independent rewriter (a failed re-check turns the outcome into WRONG); running E on the same input;
and comparing korvath's answer for every conjecture with E's and with the TPTP status written in
the file's header comments, where those decide it.
"""
import os
import re
import shlex
import time
from dataclasses import dataclass, field

from . import eprover, korvath_output, processes, recheck, terms

WALL_GRACE_SECONDS = 5


@dataclass
class Options:
    korvath: str
    prover: str
    timeout: int
    complete: object  # True, False or None (decide per file)
    eprover: object  # path, or None to skip E
    log_dir: object  # directory for korvath's output, or None


@dataclass
class ProblemResult:
    name: str
    corpus: str
    path: str
    command: str = ""
    conjectures: int = 0
    complete: bool = False
    outcome: str = korvath_output.ERROR
    detail: str = ""
    seconds: float = 0.0
    peak_mib: float = 0.0
    status: object = None
    run: object = None  # korvath_output.KorvathRun
    recheck_seconds: float = 0.0
    failures: list = field(default_factory=list)
    answers: list = field(default_factory=list)  # korvath's per conjecture: FOLLOWS / NOT_FOLLOWS / None
    e: object = None  # eprover.ERun
    tptp_status: str = ""
    disagreements: list = field(default_factory=list)

    @property
    def solved(self):
        return self.outcome in (korvath_output.COMPLETED, korvath_output.DECIDED)


def _tptp_status(text):
    m = re.search(r"^%\s*status:\s*(\w+)", text, re.M)
    return m.group(1) if m else ""


def _korvath_answers(problem, verdicts):
    """Per input conjecture: whether korvath found its sides equal (FOLLOWS) or not, or None."""
    by_key = {}
    for v in verdicts:
        by_key.setdefault((v.lhs, v.rhs), v)
    answers = []
    for _, lhs, rhs in problem.conjectures:
        v = by_key.get((terms.render(lhs, "0"), terms.render(rhs, "0")))
        answers.append(None if v is None else
                       eprover.FOLLOWS if v.equal else eprover.NOT_FOLLOWS)
    return answers


def _compare(result, problem):
    if not result.solved or not problem.conjectures:
        return
    if result.e is not None:
        for (_, lhs, rhs), mine, theirs in zip(problem.conjectures, result.answers, result.e.answers):
            if mine is not None and theirs is not None and mine != theirs:
                result.disagreements.append(
                    f"E: {terms.render(lhs)} = {terms.render(rhs)} {theirs}, korvath: {mine}")
    if result.tptp_status in ("Unsatisfiable", "Satisfiable") and None not in result.answers:
        follows = eprover.FOLLOWS in result.answers
        if follows != (result.tptp_status == "Unsatisfiable"):
            result.disagreements.append(f"TPTP status {result.tptp_status}, korvath: "
                                        + ", ".join(result.answers))


def _write_logs(options, result, measured):
    if options.log_dir is None:
        return
    os.makedirs(options.log_dir, exist_ok=True)
    base = os.path.join(options.log_dir, f"{result.corpus}__{result.name}")
    for suffix, text in ((".stdout", measured.stdout), (".stderr", measured.stderr)):
        with open(base + suffix, "w", encoding="utf-8") as f:
            f.write(text)


def _judge(result, problem, run):
    start = time.monotonic()
    if run.outcome == korvath_output.COMPLETED:
        result.failures = recheck.check_completion(problem, run.rules, run.verdicts)
    elif run.outcome == korvath_output.DECIDED:
        result.failures = recheck.check_verdicts(problem, run.verdicts)
    result.recheck_seconds = time.monotonic() - start
    if result.failures:
        result.outcome = korvath_output.WRONG
        result.detail = result.failures[0]


def korvath_command(options, path, complete):
    argv = [options.korvath]
    if complete:
        argv.append("--complete")
    return argv + ["-t", str(options.timeout), "--cmd", shlex.quote(options.prover), path]


def run_problem(path, options):
    """ProblemResult of korvath (and E) on the problem file at path."""
    path = os.path.abspath(path)
    result = ProblemResult(os.path.splitext(os.path.basename(path))[0],
                           os.path.basename(os.path.dirname(path)), path)
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    result.tptp_status = _tptp_status(text)
    try:
        problem = recheck.load_problem(text)
    except terms.SyntaxFault as e:
        result.detail = f"the runner cannot read the input: {e}"
        return result
    result.conjectures = len(problem.conjectures)
    result.complete = options.complete if options.complete is not None else not problem.conjectures
    argv = korvath_command(options, path, result.complete)
    result.command = " ".join(shlex.quote(a) for a in argv)
    measured = processes.run_measured(argv, options.timeout + WALL_GRACE_SECONDS)
    _write_logs(options, result, measured)
    result.seconds, result.peak_mib = measured.wall_seconds, measured.peak_kib / 1024.0
    result.status = measured.status
    run = korvath_output.classify(measured.stdout, measured.stderr, measured.status,
                                  measured.killed_by_limit, measured.signal_name())
    result.run, result.outcome, result.detail = run, run.outcome, run.detail
    _judge(result, problem, run)
    if measured.stray_children:
        result.detail = (result.detail + "; " if result.detail else "") + \
            "left processes running after its exit"
    result.answers = _korvath_answers(problem, run.verdicts) if result.solved else []
    if options.eprover:
        result.e = eprover.run_e(options.eprover, problem, options.timeout)
    _compare(result, problem)
    return result
