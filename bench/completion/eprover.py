"""Runs the E prover on the same problems, for a side-by-side comparison.

E reads the input_clause syntax with --tptp-in. The problem is written out anew from the parsed
clauses (so E reads exactly the clauses korvath reads). Without conjectures, E is asked to
saturate the axioms and hypotheses: "Satisfiable" (or "CounterSatisfiable") means it did. With
conjectures, each conjecture clause (s, t) is tried separately: E gets the axioms, the hypotheses
and the single clause --equal(s', t'), where s' and t' are s and t with their variables replaced by
fresh constants (korvath compares normal forms with the variables held fixed, which is exactly
provability of the closed instance). "Unsatisfiable" then means that s = t follows from the input,
"Satisfiable" that it does not. The time reported is the total wall time of E's runs.
"""
import os
import shutil
import tempfile
from dataclasses import dataclass, field

from . import processes, terms

FOLLOWS = "follows"
NOT_FOLLOWS = "does not follow"
SATURATED = "saturated"

PROVED_STATUSES = {"Unsatisfiable", "Theorem", "ContradictoryAxioms"}
SATURATED_STATUSES = {"Satisfiable", "CounterSatisfiable"}


@dataclass
class ERun:
    decided: bool = False
    status: str = ""  # last SZS status (or "killed")
    seconds: float = 0.0
    answers: list = field(default_factory=list)  # per conjecture: FOLLOWS, NOT_FOLLOWS or None


def find_eprover():
    return shutil.which("eprover")


def _szs_status(stdout):
    for line in stdout.splitlines():
        if line.startswith("# SZS status "):
            return line.split()[3]
    return ""


def _skolemized(lhs, rhs, taken):
    """lhs, rhs with every variable replaced by a fresh constant not among the names taken."""
    fresh = {}

    def constant(v):
        if v not in fresh:
            base, n = "sk_" + v.lower(), 0
            name = base
            while name in taken:
                n += 1
                name = f"{base}_{n}"
            taken.add(name)
            fresh[v] = (name,)
        return fresh[v]

    return terms.rename_vars(lhs, constant), terms.rename_vars(rhs, constant)


def problem_texts(problem):
    """Input texts for E: one for the saturation (no conjectures) or one per conjecture."""
    base = [terms.format_clause(c) for c in problem.clauses if c.status != "conjecture"]
    if not problem.conjectures:
        return ["\n".join(base) + "\n"]
    taken = set()
    for c in problem.clauses:
        for _, l, r in c.literals:
            terms.symbols(l, taken)
            terms.symbols(r, taken)
    texts = []
    for _, lhs, rhs in problem.conjectures:
        s, t = _skolemized(lhs, rhs, set(taken))
        goal = terms.Clause("korvath_goal", "conjecture", [(False, s, t)])
        texts.append("\n".join(base + [terms.format_clause(goal)]) + "\n")
    return texts


def _one_run(eprover, text, timeout):
    with tempfile.NamedTemporaryFile("w", suffix=".tptp", delete=False) as f:
        f.write(text)
        path = f.name
    try:
        # The wall-clock limit is the one korvath has; the CPU limit is only a backstop.
        argv = [eprover, "--tptp-in", "--auto", "-s", f"--cpu-limit={int(timeout) + 1}", path]
        return processes.run_measured(argv, timeout)
    finally:
        os.unlink(path)


def run_e(eprover, problem, timeout):
    """ERun of E on problem with a limit of timeout seconds per E run."""
    result = ERun()
    has_conjectures = bool(problem.conjectures)
    for text in problem_texts(problem):
        measured = _one_run(eprover, text, timeout)
        result.seconds += measured.wall_seconds
        result.status = "killed" if measured.killed_by_limit else (_szs_status(measured.stdout)
                                                                    or "no status")
        if result.status in PROVED_STATUSES:
            result.answers.append(FOLLOWS)
        elif result.status in SATURATED_STATUSES:
            result.answers.append(NOT_FOLLOWS if has_conjectures else SATURATED)
        else:
            result.answers.append(None)
    result.decided = all(a is not None for a in result.answers)
    return result
