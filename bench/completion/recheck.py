"""Independent re-check of what korvath claims, with the term library of terms.py only.

For a completed system R (rules parsed from korvath's completion block):
  1. every rule is well formed: its left side is not a variable and its right side has no variable
     that its left side lacks;
  2. normalization by R stays within a step bound on both sides of every critical pair and every
     input equation (a practical stand-in for termination);
  3. every critical pair of R is joinable (equal normal forms), so R is locally confluent and, being
     terminating, convergent;
  4. every input equation (axioms and hypotheses) is joinable, so R proves the input theory;
  5. every conjecture verdict agrees with R: equal normal forms exactly when the verdict says so.
Conjecture verdicts are also checked on their own (also without a completed system): each input
conjecture is answered exactly once, a verdict printed during the search shows equal normal forms,
and the TRUE/FALSE banner matches the sign of the conjecture and the printed normal forms.
korvath renders the input variable X as X0, so conjecture sides are compared in that rendering.
"""
from dataclasses import dataclass

from . import terms

MAX_REPORTED = 5


@dataclass
class Problem:
    equations: list  # (lhs, rhs) of the axioms and hypotheses, input variable names
    conjectures: list  # (positive, lhs, rhs)
    clauses: list


def load_problem(text):
    """Problem of an input file's text (raises terms.SyntaxFault on bad syntax)."""
    clauses = terms.parse_clauses(text)
    equations, conjectures = [], []
    for clause in clauses:
        for positive, lhs, rhs in clause.literals:
            if clause.status == "conjecture":
                conjectures.append((positive, lhs, rhs))
            else:
                equations.append((lhs, rhs))
    return Problem(equations, conjectures, clauses)


def _as_printed(t):
    """t with every variable renamed the way korvath prints input variables (suffix 0)."""
    return terms.rename_vars(t, lambda v: v + "0")


def _normal_forms(rewriter, lhs, rhs):
    return rewriter.normalize(lhs), rewriter.normalize(rhs)


def _check_rules(rules, failures):
    for lhs, rhs in rules:
        if terms.is_var(lhs):
            failures.append(f"rule with a variable left side: {terms.render(lhs)} -> {terms.render(rhs)}")
        elif not terms.variables(rhs) <= terms.variables(lhs):
            failures.append(f"rule with an extra variable on the right: "
                            f"{terms.render(lhs)} -> {terms.render(rhs)}")


def _check_joinable(rewriter, pairs, what, failures):
    reported = 0
    for lhs, rhs in pairs:
        try:
            nl, nr = _normal_forms(rewriter, lhs, rhs)
        except terms.StepBoundExceeded as e:
            failures.append(f"normalization of {e} exceeded {rewriter.step_bound} steps "
                            f"({what} {terms.render(lhs)} = {terms.render(rhs)})")
            return
        if nl != nr:
            failures.append(f"{what} not joinable: {terms.render(lhs)} = {terms.render(rhs)} "
                            f"(normal forms {terms.render(nl)} and {terms.render(nr)})")
            reported += 1
            if reported >= MAX_REPORTED:
                return


def check_verdicts(problem, verdicts, rewriter=None):
    """Failures (texts) of the verdicts against the conjectures and, if given, the completed system."""
    failures = []
    expected = {}
    for positive, lhs, rhs in problem.conjectures:
        key = (terms.render(lhs, "0"), terms.render(rhs, "0"))
        expected.setdefault(key, []).append((positive, lhs, rhs))
    answered = {key: 0 for key in expected}
    for v in verdicts:
        key = (v.lhs, v.rhs)
        if key not in expected:
            failures.append(f"verdict for a conjecture not in the input: {v.lhs} = {v.rhs}")
            continue
        answered[key] += 1
        positive, lhs, rhs = expected[key][0]
        label = f"conjecture {v.lhs} = {v.rhs}"
        if v.equal != (v.lhs_nf == v.rhs_nf):
            failures.append(f"{label}: printed normal forms {v.lhs_nf}, {v.rhs_nf} contradict "
                            f"the {'=' if v.equal else '!='} between them")
        if v.true != (v.equal == positive):
            failures.append(f"{label}: verdict {'TRUE' if v.true else 'FALSE'} contradicts the "
                            f"{'equal' if v.equal else 'different'} normal forms")
        if not v.after_completion and not v.equal:
            failures.append(f"{label}: decided during the search without equal normal forms")
        if rewriter is not None:
            _check_verdict_by_rules(rewriter, v, lhs, rhs, label, failures)
    for key, count in answered.items():
        if count != len(expected[key]):
            failures.append(f"conjecture {key[0]} = {key[1]} answered {count} times, "
                            f"expected {len(expected[key])}")
    return failures


def _check_verdict_by_rules(rewriter, v, lhs, rhs, label, failures):
    try:
        nl, nr = _normal_forms(rewriter, _as_printed(lhs), _as_printed(rhs))
    except terms.StepBoundExceeded as e:
        failures.append(f"{label}: normalization of {e} exceeded {rewriter.step_bound} steps")
        return
    if (nl == nr) != v.equal:
        failures.append(f"{label}: the completed system gives normal forms {terms.render(nl)} and "
                        f"{terms.render(nr)}, but korvath reported them "
                        f"{'equal' if v.equal else 'different'}")
    elif v.after_completion and (terms.render(nl), terms.render(nr)) != (v.lhs_nf, v.rhs_nf):
        failures.append(f"{label}: printed normal forms {v.lhs_nf}, {v.rhs_nf} differ from "
                        f"{terms.render(nl)}, {terms.render(nr)}")


def check_completion(problem, rule_texts, verdicts, step_bound=200000):
    """Failures (texts) of a completed system given as (lhs text, rhs text) pairs; empty if sound."""
    failures = []
    try:
        rules = [(terms.parse_term(l), terms.parse_term(r)) for l, r in rule_texts]
    except terms.SyntaxFault as e:
        return [f"unreadable rule: {e}"]
    _check_rules(rules, failures)
    if failures:
        return failures
    rewriter = terms.Rewriter(rules, step_bound)
    _check_joinable(rewriter, terms.critical_pairs(rules), "critical pair", failures)
    _check_joinable(rewriter, problem.equations, "input equation", failures)
    failures.extend(check_verdicts(problem, verdicts, rewriter))
    return failures
