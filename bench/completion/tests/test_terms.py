"""Tests of the runner's own term library: reader, unification, rewriting, critical pairs."""
import unittest

from completion import terms
from completion.terms import parse_term as T


class ReaderTest(unittest.TestCase):
    def test_clause_fields_and_literal_order(self):
        [c] = terms.parse_clauses(
            "input_clause(c1, conjecture, [++equal(g(a,f(Y,Z),b),X), --equal(c,d)]).")
        self.assertEqual((c.name, c.status), ("c1", "conjecture"))
        self.assertEqual(c.literals, [(True, ("g", ("a",), ("f", "Y", "Z"), ("b",)), "X"),
                                      (False, ("c",), ("d",))])

    def test_lexical_cases(self):
        cases = [  # text, number of clauses, or None for a syntax error
            ("input_clause(c1,axiom,[++equal(a,b)]).", 1),
            ("input_clause(a1,axiom,[++equal(a,b)]).input_clause(a2,axiom,[++equal(b,c)]).", 2),
            ("input_clause(c1,axiom,[+++equal(a,b)]).", 1),
            ("input_clause(c1,axiom,[+ +equal(a,b)]).", None),
            ("input_clause(c1,axiom,[++equal(a,b)]).\n% done", None),
            ("input_clause(c1,axiom,[++equal(a,b)]).\n% done\n", 1),
            ("input_clause(1,axiom,[++equal(a,b)]).", None),
            ("input_clause(c,axiom,[++equal(f(X(a)),b)]).", None),
            ("input_clause(axioms,axiom,[++equal(_x,b)]).", 1),
            ("input_clause(c,axiom,[++equal(equal,b)]).", None),
            ("% only a comment\n", None),
        ]
        for text, expected in cases:
            with self.subTest(text=text):
                if expected is None:
                    with self.assertRaises(terms.SyntaxFault):
                        terms.parse_clauses(text)
                else:
                    self.assertEqual(len(terms.parse_clauses(text)), expected)

    def test_korvath_rendering_round_trip(self):
        for text in ["X0", "a", "f(X0,a)", "f(g(Y12))", "h(a,X1,g(b,Z3))"]:
            self.assertEqual(terms.render(T(text)), text)
        with self.assertRaises(terms.SyntaxFault):
            T("f(a")

    def test_format_clause_reads_back(self):
        clause = terms.parse_clauses("input_clause(c, axiom, [++equal(f(X,e), X), --equal(a,b)]).")
        again = terms.parse_clauses(terms.format_clause(clause[0]))
        self.assertEqual(again, clause)


class UnifyMatchTest(unittest.TestCase):
    def test_unify(self):
        cases = [
            ("f(X,g(Y))", "f(g(Z),X)", None),  # X = g(Z) and X = g(Y): Y = Z, fine below
            ("f(X,X)", "f(a,b)", "none"),
            ("X", "f(X)", "none"),
            ("f(X,a)", "f(b,Y)", "f(b,a)"),
        ]
        for a, b, expected in cases:
            with self.subTest(a=a, b=b):
                s = terms.unify(T(a), T(b))
                if expected == "none":
                    self.assertIsNone(s)
                else:
                    self.assertIsNotNone(s)
                    self.assertEqual(terms.apply_subst(T(a), s), terms.apply_subst(T(b), s))
                    if expected:
                        self.assertEqual(terms.render(terms.apply_subst(T(a), s)), expected)

    def test_match_keeps_subject_variables_rigid(self):
        self.assertIsNone(terms.match(T("f(a)"), T("f(X)")))
        self.assertEqual(terms.match(T("f(X,X)"), T("f(Y,Y)")), {"X": "Y"})
        self.assertIsNone(terms.match(T("f(X,X)"), T("f(Y,Z)")))


GROUP = [("f(e,X)", "X"), ("f(i(X),X)", "e"), ("f(f(X,Y),Z)", "f(X,f(Y,Z))"), ("i(e)", "e"),
         ("i(i(X))", "X"), ("f(X,e)", "X"), ("f(X,i(X))", "e"), ("f(i(X),f(X,Y))", "Y"),
         ("f(X,f(i(X),Y))", "Y"), ("i(f(X,Y))", "f(i(Y),i(X))")]


def rules(pairs):
    return [(T(l), T(r)) for l, r in pairs]


class RewritingTest(unittest.TestCase):
    def test_normal_forms_in_groups(self):
        rw = terms.Rewriter(rules(GROUP))
        cases = [("f(f(a,i(b)),f(b,i(a)))", "e"), ("i(f(a,i(b)))", "f(b,i(a))"),
                 ("f(X0,f(Y0,i(Y0)))", "X0"), ("f(a,b)", "f(a,b)")]
        for term, nf in cases:
            self.assertEqual(terms.render(rw.normalize(T(term))), nf)

    def test_rules_tried_in_list_order(self):
        rw = terms.Rewriter(rules([("f(X)", "a"), ("f(b)", "c")]))
        self.assertEqual(rw.normalize(T("f(b)")), ("a",))

    def test_non_termination_is_reported(self):
        cases = [([("f(X)", "f(f(X))")], "f(a)"), ([("a", "b"), ("b", "a")], "g(a)"),
                 ([("f(X,Y)", "f(Y,X)")], "f(a,b)")]
        for system, term in cases:
            with self.subTest(system=system):
                rw = terms.Rewriter(rules(system), step_bound=1000)
                with self.assertRaises(terms.StepBoundExceeded):
                    rw.normalize(T(term))


class CriticalPairsTest(unittest.TestCase):
    def test_group_axioms_overlap_only_inside_associativity(self):
        pairs = terms.critical_pairs(rules(GROUP[:3]))
        texts = sorted(f"{terms.render(a)} = {terms.render(b)}" for a, b in pairs)
        self.assertEqual(texts, ["f(e,f(X',Z)) = f(X',Z)",
                                 "f(f(X',Y'),f(Z',Z)) = f(f(X',f(Y',Z')),Z)",
                                 "f(i(X'),f(X',Z)) = f(e,Z)"])

    def test_no_root_overlap_of_a_rule_with_itself(self):
        self.assertEqual(terms.critical_pairs(rules([("f(X)", "g(X)")])), [])

    def test_self_overlap_below_the_root(self):
        pairs = terms.critical_pairs(rules([("f(f(X))", "g(X)")]))
        self.assertEqual(sorted((terms.render(a), terms.render(b)) for a, b in pairs),
                         [("g(f(X'))", "f(g(X'))")])


if __name__ == "__main__":
    unittest.main()
