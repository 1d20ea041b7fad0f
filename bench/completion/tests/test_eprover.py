"""Tests of the inputs written for E and, where E is installed, of reading its answers."""
import unittest

from completion import eprover, recheck, terms

PROBLEM = """input_clause(left_identity, axiom, [++equal(f(e,X),X)]).
input_clause(left_inverse, axiom, [++equal(f(i(X),X),e)]).
input_clause(associativity, axiom, [++equal(f(f(X,Y),Z),f(X,f(Y,Z)))]).
input_clause(sk_x, hypothesis, [++equal(g(sk_x),sk_x)]).
input_clause(goal, conjecture, [--equal(f(X,i(X)),e)]).
input_clause(other, conjecture, [--equal(f(a,b),f(b,a))]).
"""


class ProblemTextTest(unittest.TestCase):
    def test_one_text_per_conjecture_with_fresh_constants(self):
        texts = eprover.problem_texts(recheck.load_problem(PROBLEM))
        self.assertEqual(len(texts), 2)
        clauses = terms.parse_clauses(texts[0])
        self.assertEqual([c.status for c in clauses], ["axiom"] * 3 + ["hypothesis", "conjecture"])
        goal = clauses[-1].literals
        # sk_x is taken by the hypothesis, so X becomes a constant of another name.
        self.assertEqual(goal, [(False, ("f", ("sk_x_1",), ("i", ("sk_x_1",))), ("e",))])
        self.assertEqual(terms.parse_clauses(texts[1])[-1].literals[0][1], ("f", ("a",), ("b",)))

    def test_without_conjectures_one_saturation_text(self):
        texts = eprover.problem_texts(recheck.load_problem(PROBLEM.split("input_clause(goal")[0]))
        self.assertEqual(len(texts), 1)
        self.assertNotIn("conjecture", texts[0])


@unittest.skipUnless(eprover.find_eprover(), "eprover is not installed")
class ERunTest(unittest.TestCase):
    def test_answers(self):
        result = eprover.run_e(eprover.find_eprover(), recheck.load_problem(PROBLEM), 10)
        self.assertTrue(result.decided)
        self.assertEqual(result.answers, [eprover.FOLLOWS, eprover.NOT_FOLLOWS])

    def test_saturation(self):
        text = "input_clause(a, axiom, [++equal(f(f(X)),g(X))]).\n"
        result = eprover.run_e(eprover.find_eprover(), recheck.load_problem(text), 10)
        self.assertEqual((result.decided, result.answers), (True, [eprover.SATURATED]))


if __name__ == "__main__":
    unittest.main()
