"""Reads what one korvath run printed and classifies how it ended.

Standard error is scanned once, top to bottom, as a small state machine: a completion banner opens
a rule block and the line of 26 stars closes it; a conjecture banner opens a three-line verdict
block. Verdict blocks met before the first completion block were printed during the search (each
with equal normal forms); those after it were decided with the completed system. Standard output
gives the search nodes (": Open " lines, whose ids tell the splits) and the statistics lines of the
completion report. The outcome is then decided from the exit status, the fatal-error line, the
time-out message and the presence of a completion block.
"""
import re
from dataclasses import dataclass, field

COMPLETION_BANNER = "******* COMPLETION *******"
STARS = "**************************"
TRUE_BANNER = "**** CONJECTURE: TRUE ****"
FALSE_BANNER = "**** CONJECTURE: FALSE ***"
ALL_SOLVED = "All conjectures solved."
EMPTY_HEAP = "Fatal error: exception Heap.EmptyHeap"

COMPLETED = "completed"
DECIDED = "conjectures decided"
TIMEOUT = "time-out"
EXHAUSTED = "search space exhausted"
ERROR = "error"
WRONG = "WRONG"
OUTCOMES = (COMPLETED, DECIDED, TIMEOUT, EXHAUSTED, ERROR, WRONG)

_OPEN = re.compile(r"^(\[[0-9]*\]): Open ")
_CALLS = re.compile(r"^Calls to .* \(all, T, NT, \?\): (\d+), (\d+), (\d+), (\d+)$")
_ORIENTATIONS = re.compile(r"^Orientations: (\d+)$")
_SIZE_COST = re.compile(r"^With size, cost: (\S+), (\S+)$")


@dataclass
class Verdict:
    true: bool  # the banner said TRUE
    lhs: str  # the conjecture's sides as printed
    rhs: str
    lhs_nf: str
    rhs_nf: str
    equal: bool  # the middle of the line was " = " (not " != ")
    after_completion: bool


@dataclass
class KorvathRun:
    outcome: str = ERROR
    detail: str = ""
    rules: list = field(default_factory=list)  # of (lhs text, rhs text), last completion block
    completions: int = 0
    verdicts: list = field(default_factory=list)
    all_solved: bool = False
    splits: int = 0
    nodes: int = 0
    orientations: object = None
    calls: object = None  # (all, yes, no, unknown)
    trs_size: object = None
    faults: list = field(default_factory=list)  # malformed output, reported as errors


def _parse_verdict(banner, line, after_completion):
    parts = line.split(" ")
    if len(parts) != 7 or parts[1] != "-->!" or parts[3] not in ("=", "!=") or parts[5] != "!<--":
        return None
    return Verdict(banner == TRUE_BANNER, parts[0], parts[6], parts[2], parts[4], parts[3] == "=",
                   after_completion)


def _scan_stderr(text, run):
    lines = text.split("\n")
    i, seen_completion = 0, False
    while i < len(lines):
        line = lines[i]
        if line == COMPLETION_BANNER:
            rules, i = [], i + 1
            while i < len(lines) and lines[i] != STARS:
                sides = lines[i].split(" -> ")
                if len(sides) != 2:
                    run.faults.append(f"unreadable rule line {lines[i]!r}")
                else:
                    rules.append((sides[0], sides[1]))
                i += 1
            if i == len(lines):
                run.faults.append("completion block not closed")
            run.rules, seen_completion = rules, True
            run.completions += 1
        elif line in (TRUE_BANNER, FALSE_BANNER):
            body = lines[i + 1] if i + 1 < len(lines) else ""
            closing = lines[i + 2] if i + 2 < len(lines) else ""
            verdict = _parse_verdict(line, body, seen_completion)
            if verdict is None or closing != STARS:
                run.faults.append(f"malformed verdict block at {body!r}")
            else:
                run.verdicts.append(verdict)
            i += 2
        elif line == ALL_SOLVED:
            run.all_solved = True
        i += 1


def _scan_stdout(text, run):
    ids = set()
    for line in text.split("\n"):
        m = _OPEN.match(line)
        if m:
            run.nodes += 1
            ids.add(m.group(1))
            continue
        m = _CALLS.match(line)
        if m:
            run.calls = tuple(int(g) for g in m.groups())
            continue
        m = _ORIENTATIONS.match(line)
        if m:
            run.orientations = int(m.group(1))
            continue
        m = _SIZE_COST.match(line)
        if m:
            run.trs_size = m.group(1)
    # Every split queues a left child whose id ends in 0; count those the search took up.
    run.splits = sum(1 for i in ids if i.endswith("0]"))


def _last_line(text):
    lines = [l for l in text.split("\n") if l.strip()]
    return lines[-1] if lines else ""


def classify(stdout, stderr, status, killed_by_runner, signal_name=None):
    """KorvathRun for one finished run; status is the exit code (negative: killed by a signal)."""
    run = KorvathRun()
    _scan_stderr(stderr, run)
    _scan_stdout(stdout, run)
    if killed_by_runner:
        run.outcome, run.detail = TIMEOUT, "killed by the runner's wall-clock limit"
    elif status == 1 and re.search(r"^Timeout \(-?\d+s\)$", stderr, re.M):
        run.outcome, run.detail = TIMEOUT, "korvath's own limit"
    elif status == 2 and EMPTY_HEAP in stderr.split("\n"):
        run.outcome = EXHAUSTED
    elif status < 0:
        run.outcome, run.detail = ERROR, f"killed by signal {signal_name or -status}"
    elif status != 0:
        run.outcome, run.detail = ERROR, f"exit status {status}: {_last_line(stderr)}"
    elif run.faults:
        run.outcome, run.detail = ERROR, "; ".join(run.faults[:3])
    elif not run.all_solved:
        run.outcome, run.detail = ERROR, f"exit status 0 without {ALL_SOLVED!r}"
    elif run.completions:
        run.outcome = COMPLETED
    else:
        run.outcome = DECIDED
    return run
