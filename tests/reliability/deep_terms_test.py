#!/usr/bin/env python3
"""Terms as deep as the reader accepts go through a whole run without exhausting the stack:
normalization, matching and unification, critical pairs, canonical forms, the ordering, the
renderings (listings, the prover's question, the completed system), the knowledge cache and the
conjecture decision.  Run in every build; under the sanitizers the stack frames are larger, so
this is where a recursion too deep for the limit shows first.

Usage: deep_terms_test.py KORVATH PROVER [--sanitized]
"""
import harness

DEPTH = 10000 - 1  # applications around the leaf: the deepest term the reader accepts


def tower(symbol, leaf, depth=DEPTH):
    return symbol + "(" + (symbol + "(") * (depth - 1) + leaf + ")" * depth


class DeepTerms(harness.KorvathCase):

    def solve(self, text, *options, timeout=60, prover=None):
        # Under the sanitizers korvath-termination's own recursion runs out of stack on these
        # questions (reported to its owner); a scripted prover answers there instead.
        if prover is None and harness.SANITIZED:
            prover = harness.FAKE + " --default YES"
        self.write("deep.tptp", text)
        return harness.run(list(options) + ["--cmd", prover or harness.PROVER, "deep.tptp"],
                           self.work, timeout=timeout)

    def test_ground_tower_completes_and_is_listed(self):
        r = self.solve("input_clause(c,axiom,[++equal(%s,a)]).\n" % tower("f", "a"),
                       "--debug", "--complete")
        self.assert_clean_exit(r, 0)
        self.assertIn(tower("f", "a") + " -> a", r.err)

    def test_tower_with_variables_unification_and_conjectures(self):
        # h(f^m(X)) -> X is matched deep down when the conjectures are normalized (true at full
        # height, false one short), and unified deep down with the second axiom's left side,
        # which it reduces to k(a) -> c.
        m = DEPTH - 1
        r = self.solve("input_clause(c,axiom,[++equal(h(%s),X)]).\n"
                       "input_clause(d,axiom,[++equal(k(h(%s)),c)]).\n"
                       "input_clause(t,conjecture,[++equal(h(%s),b)]).\n"
                       "input_clause(u,conjecture,[--equal(h(%s),b)]).\n"
                       % (tower("f", "X", m - 1), tower("f", "a", m - 1), tower("f", "b", m - 1),
                          tower("f", "b", m - 2)), "--complete")
        self.assert_clean_exit(r, 0)
        self.assertIn("k(a) -> c", r.err, r)
        self.assertIn("All conjectures solved.", r.err)

    def test_two_towers_compared_and_oriented_both_ways(self):
        # Both directions of f^n(a) = g^n(a) terminate: the root splits, find-all visits both,
        # and the second answer comes from the knowledge cache.
        r = self.solve("input_clause(c,axiom,[++equal(%s,%s)]).\n"
                       % (tower("f", "a"), tower("g", "a")), "--complete", "--find-all",
                       "--debug-learning", prover=harness.FAKE + " --default YES")
        self.assert_clean_exit(r, 0)
        self.assertEqual(r.err.count("******* COMPLETION *******"), 2, r)

    def test_deep_rule_rewrites_deep_subterms_of_other_rules(self):
        # Inter-reduction inside a deep term: h(f^m(a)) = k^n(b) becomes h(a) = k^n(b).
        m = DEPTH - 1
        r = self.solve("input_clause(c,axiom,[++equal(%s,a)]).\n"
                       "input_clause(d,axiom,[++equal(h(%s),%s)]).\n"
                       % (tower("f", "a", m), tower("f", "a", m), tower("k", "b")),
                       "--complete", "--debug")
        self.assert_clean_exit(r, 0)
        self.assertRegex(r.err, r"\nh\(a\) -> k\(|\n(k\()+b\)+ -> h\(a\)")


if __name__ == "__main__":
    harness.main()
