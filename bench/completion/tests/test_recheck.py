"""Tests of the independent re-check of completed systems and conjecture verdicts."""
import unittest

from completion import recheck
from completion.korvath_output import Verdict

GROUP_INPUT = """% the group axioms, with a commutation conjecture and an easy one
input_clause(left_identity, axiom, [++equal(f(e,X),X)]).
input_clause(left_inverse, axiom, [++equal(f(i(X),X),e)]).
input_clause(associativity, axiom, [++equal(f(f(X,Y),Z),f(X,f(Y,Z)))]).
input_clause(easy, conjecture, [--equal(f(X,i(X)),e)]).
input_clause(commute, conjecture, [--equal(f(a,b),f(b,a))]).
"""

GROUP = [("f(e,X0)", "X0"), ("f(i(X0),X0)", "e"), ("f(f(X0,Y0),Z0)", "f(X0,f(Y0,Z0))"),
         ("i(e)", "e"), ("i(i(X0))", "X0"), ("f(X0,e)", "X0"), ("f(X0,i(X0))", "e"),
         ("f(i(X0),f(X0,Y0))", "Y0"), ("f(X0,f(i(X0),Y0))", "Y0"),
         ("i(f(X0,Y0))", "f(i(Y0),i(X0))")]

EASY = Verdict(False, "f(X0,i(X0))", "e", "e", "e", True, False)
COMMUTE = Verdict(True, "f(a,b)", "f(b,a)", "f(a,b)", "f(b,a)", False, True)


def problem():
    return recheck.load_problem(GROUP_INPUT)


class CompletionCheckTest(unittest.TestCase):
    def test_sound_system_with_right_verdicts_passes(self):
        self.assertEqual(recheck.check_completion(problem(), GROUP, [EASY, COMMUTE]), [])

    def test_faulty_systems(self):
        cases = [  # rules, a text the first failure contains
            (GROUP[:-1], "critical pair not joinable"),
            ([("f(X0,Y0)", "f(Y0,X0)")] + GROUP, "exceeded"),
            (GROUP + [("g(X0)", "Y0")], "extra variable"),
            ([("X0", "f(e,X0)")] + GROUP, "variable left side"),
            (GROUP[:9] + [("i(f(X0,Y0)", "e")], "unreadable rule"),
        ]
        for rules, expected in cases:
            with self.subTest(expected=expected):
                failures = recheck.check_completion(problem(), rules, [EASY, COMMUTE], 2000)
                self.assertTrue(failures, "a faulty system passed")
                self.assertIn(expected, failures[0])

    def test_system_missing_an_input_equation(self):
        text = GROUP_INPUT + "input_clause(extra, hypothesis, [++equal(g(a),b)]).\n"
        failures = recheck.check_completion(recheck.load_problem(text), GROUP, [EASY, COMMUTE])
        self.assertEqual(failures, ["input equation not joinable: g(a) = b "
                                    "(normal forms g(a) and b)"])

    def test_verdict_contradicting_the_completed_system(self):
        wrong = Verdict(False, "f(a,b)", "f(b,a)", "f(a,b)", "f(a,b)", True, True)
        failures = recheck.check_completion(problem(), GROUP, [EASY, wrong])
        self.assertTrue(any("reported them equal" in f for f in failures), failures)

    def test_printed_normal_forms_must_be_the_real_ones(self):
        odd = Verdict(True, "f(a,b)", "f(b,a)", "f(a,b)", "f(b,f(a,e))", False, True)
        failures = recheck.check_completion(problem(), GROUP, [EASY, odd])
        self.assertTrue(any("differ from" in f for f in failures), failures)


class VerdictCheckTest(unittest.TestCase):
    def test_each_conjecture_answered_exactly_once(self):
        self.assertEqual(recheck.check_verdicts(problem(), [EASY, COMMUTE]), [])
        self.assertIn("answered 0 times", recheck.check_verdicts(problem(), [EASY])[0])
        self.assertIn("answered 2 times",
                      recheck.check_verdicts(problem(), [EASY, EASY, COMMUTE])[0])

    def test_inconsistent_verdicts(self):
        cases = [
            (Verdict(True, "f(X0,i(X0))", "e", "e", "e", True, False), "contradicts the equal"),
            (Verdict(False, "f(X0,i(X0))", "e", "e", "a", True, False), "contradict the ="),
            (Verdict(True, "f(X0,i(X0))", "e", "a", "e", False, False), "during the search"),
            (Verdict(False, "f(X,i(X))", "e", "e", "e", True, False), "not in the input"),
        ]
        for verdict, expected in cases:
            with self.subTest(expected=expected):
                failures = recheck.check_verdicts(problem(), [verdict, COMMUTE])
                self.assertTrue(any(expected in f for f in failures), failures)


if __name__ == "__main__":
    unittest.main()
