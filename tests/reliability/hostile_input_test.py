#!/usr/bin/env python3
"""Hostile problem files: korvath never crashes or hangs on them; what it cannot read ends the run
with one fatal-error line and exit status 2; what it can read is solved.

Usage: hostile_input_test.py KORVATH PROVER [--sanitized]
Large files are generated in a temporary directory at test time.
"""
import os
import random

import harness

MB = 1024 * 1024
LIMIT = 10000  # the reader's documented bound on term nesting


def nested(symbol, depth, leaf):
    return symbol + "(" + (symbol + "(") * (depth - 1) + leaf + ")" * depth


class HostileInput(harness.KorvathCase):

    def test_binary_garbage(self):
        rng = random.Random(20240611)
        for size in (1, 100, 65536):
            data = bytes(rng.randrange(256) for _ in range(size))
            p = self.write("garbage.bin", data)
            self.assert_fatal(harness.run([p], self.work, timeout=10))

    def test_garbage_after_a_good_clause_and_nul_bytes_inside(self):
        self.write("a.tptp", b"input_clause(a,axiom,[++equal(f(a),a)]).\n\x00\xff\xfe" +
                   bytes(range(256)) * 8)
        self.assert_fatal(harness.run(["a.tptp"], self.work, timeout=10), "a.tptp")
        # NUL and other bytes no rule matches are skipped between tokens.
        self.write("b.tptp", b"input_clause(\x00b,\x01axiom,[\xff++equal(f(a),\x7fa)]).\n")
        r = harness.run(["b.tptp"], self.work, timeout=10)
        self.assert_clean_exit(r, 0)
        self.assertEqual(r.err, "All conjectures solved.\n", r)

    def test_hundred_megabytes_of_comments_are_read_in_constant_memory(self):
        line = "% " + "x" * 97 + "\n"
        with open(self.path("big.tptp"), "w") as f:
            f.write(line * (100 * MB // len(line)))
            f.write("input_clause(c,axiom,[++equal(f(f(X)),X)]).\n")
        self.assertGreaterEqual(os.path.getsize(self.path("big.tptp")), 100 * MB)
        r = harness.run(["--complete", "--cmd", harness.PROVER, "big.tptp"], self.work, timeout=30)
        self.assert_clean_exit(r, 0)
        self.assertIn("f(f(X0)) -> X0", r.err, r)
        self.assertLess(r.max_rss_kb, 64 * 1024, "the reader keeps the whole file in memory")

    def test_hundred_megabytes_of_garbage(self):
        rng = random.Random(7)
        block = bytes(rng.randrange(256) for _ in range(MB))
        with open(self.path("big.bin"), "wb") as f:
            for _ in range(100):
                f.write(block)
        self.assert_fatal(harness.run(["big.bin"], self.work, timeout=30))

    def test_hundred_megabytes_of_clauses(self):
        # Under the sanitizers a fifth of it: the memory it takes there is five times larger.
        size = 20 * MB if harness.SANITIZED else 100 * MB
        line = "input_clause(c,axiom,[++equal(f(X,g(Y,Z)),h(a,X))]).\n"
        with open(self.path("clauses.tptp"), "w") as f:
            f.write(line * (size // len(line) + 1))
            # A clause cut short at the very end: the whole file is read, then refused.
            f.write("input_clause(d,axiom,[++equal(f(X),")
        self.assert_fatal(harness.run(["clauses.tptp"], self.work, timeout=60), "clauses.tptp")

    def test_term_nested_a_million_deep_is_refused(self):
        self.write("deep.tptp", "input_clause(c,axiom,[++equal(%s,a)]).\n" %
                   nested("f", 1000000, "a"))
        r = harness.run(["deep.tptp"], self.work, timeout=20)
        self.assert_fatal(r, "term nested deeper than %d levels" % LIMIT)

    def test_nesting_just_beyond_the_limit_is_refused_and_at_the_limit_accepted(self):
        self.write("over.tptp", "input_clause(c,axiom,[++equal(%s,a)]).\n" %
                   nested("f", LIMIT, "a"))
        self.assert_fatal(harness.run(["over.tptp"], self.work, timeout=20), "deeper than")
        self.write("at.tptp", "input_clause(c,axiom,[++equal(%s,a)]).\n" %
                   nested("f", LIMIT - 1, "a"))
        r = harness.run(["at.tptp"], self.work, timeout=20)
        self.assert_clean_exit(r, 0)

    def test_hundred_thousand_clauses(self):
        with open(self.path("many.tptp"), "w") as f:
            for i in range(100000):
                f.write("input_clause(c%d,axiom,[++equal(f(X,g%d(Y)),h(a%d,X))]).\n" %
                        (i, i % 997, i))
        # Without conjectures and without --complete the search stops at its root: this is the
        # reader, the loading and the root's cost on 100,000 equations.
        r = harness.run(["--cmd", harness.MISBEHAVING + " --mode garbage", "many.tptp"],
                        self.work, timeout=60)
        self.assert_clean_exit(r, 0)
        self.assertIn("size=700000", r.out, r)
        self.assertIn("All conjectures solved.", r.err, r)

    def test_ten_thousand_character_names(self):
        name, symbol, var = "c" * 10000, "g" * 10000, "V" * 10000
        self.write("long.tptp",
                   "input_clause(%s,axiom,[++equal(%s(%s,a),%s)]).\n"
                   "input_clause(%s,conjecture,[++equal(%s(b,a),b)]).\n"
                   % (name, symbol, var, var, "d" * 10000, symbol))
        r = harness.run(["--debug", "--complete", "--cmd", harness.PROVER, "long.tptp"],
                        self.work, timeout=30)
        self.assert_clean_exit(r, 0)
        self.assertIn("input_clause(%s,axiom," % name, r.err)
        self.assertIn("%s(%s0,a) -> %s0" % (symbol, var, var), r.err)

    def test_missing_file_directory_dangling_link(self):
        os.symlink(self.path("nowhere.tptp"), self.path("link.tptp"))
        for arg, reason in (("missing.tptp", "No such file or directory"),
                            (self.work, "Is a directory"),
                            ("link.tptp", "No such file or directory")):
            self.assert_fatal(harness.run([arg], self.work, timeout=10), reason)

    def test_file_that_vanishes_before_its_turn(self):
        # The prover, started while the first file is solved, deletes the second one.
        examples = os.path.join(harness.SOURCE_DIR, "examples")
        self.write("later.tptp", "input_clause(c,axiom,[++equal(f(a),a)]).\n")
        command = "rm -f %s; exec %s" % (self.path("later.tptp"), harness.PROVER)
        r = harness.run(["--complete", "--cmd", command, os.path.join(examples, "split.tptp"),
                         "later.tptp"], self.work, timeout=30)
        self.assert_fatal(r, "later.tptp: No such file or directory")
        self.assertIn("******* COMPLETION *******", r.err)

    def test_file_given_twice_is_solved_twice(self):
        group = os.path.join(harness.SOURCE_DIR, "examples", "group.tptp")
        once = harness.run(["--complete", "--cmd", harness.PROVER, group], self.work, timeout=60)
        self.assert_clean_exit(once, 0)
        twice = harness.run(["--complete", "--cmd", harness.PROVER, group, group], self.work,
                            timeout=60)
        self.assert_clean_exit(twice, 0)
        # The second search finds the same system (answers now come from the cache).
        self.assertEqual(twice.err, once.err + once.err)
        self.assertEqual(twice.out.count("On branch:"), 2)

    def test_endless_input_is_stopped_by_a_signal(self):
        # /dev/zero never ends and its bytes are all skipped: the reader keeps reading, in
        # constant memory, until it is told to stop.
        r = harness.run(["/dev/zero"], self.work, timeout=10,
                        signal_at=(harness.after(0.3), 15))
        self.assert_clean_exit(r, 143)
        self.assertLess(r.max_rss_kb, 64 * 1024)


if __name__ == "__main__":
    harness.main()
