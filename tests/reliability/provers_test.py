#!/usr/bin/env python3
"""Termination provers that misbehave, in both protocols: korvath gives the right verdict or one
clear fatal error, never hangs, and leaves no prover process behind (none running, none unreaped).

Usage: provers_test.py KORVATH PROVER [--sanitized]
"""
import os

import harness

# Both orientations of a = b are asked about: two questions, a split, two completions.
SPLIT = "input_clause(ab, axiom, [++equal(a, b)]).\n"
SPLIT_COMPLETION = "******* COMPLETION *******\na -> b\n**************************\n"


class MisbehavingProvers(harness.KorvathCase):

    def run_fake(self, mode, tpa=False, extra=(), timeout=20, options=()):
        self.write("split.tptp", SPLIT)
        command = "%s --mode %s --starts %s" % (harness.MISBEHAVING, mode, self.path("starts.log"))
        args = list(options) + ["--complete"]
        if tpa:
            args.append("--tpa")
            command += " --tpa"
        r = harness.run(args + ["--cmd", command] + list(extra) + ["split.tptp"], self.work,
                        timeout=timeout)
        self.assert_pids_gone(harness.started_pids(self.path("starts.log")))
        return r

    def test_garbage_answer(self):
        for tpa, client in ((False, "AProVE"), (True, "TPA")):
            with self.subTest(client=client):
                r = self.run_fake("garbage", tpa)
                self.assert_fatal(r, 'Failure("Error communicating with %s: responded with '
                                     'I am not a prover")' % client)

    def test_exits_before_reading(self):
        for tpa in (False, True):
            with self.subTest(tpa=tpa):
                self.assert_fatal(self.run_fake("exit-before-reading", tpa))

    def test_exits_after_reading(self):
        for tpa in (False, True):
            with self.subTest(tpa=tpa):
                self.assert_fatal(self.run_fake("exit-after-reading", tpa), "ended its output")

    def test_never_answers_overall_time_out_fires(self):
        # The fake ignores the end of its input, SIGTERM and SIGINT: only SIGKILL ends it.
        for tpa in (False, True):
            with self.subTest(tpa=tpa):
                r = self.run_fake("never-answers", tpa, options=("-t", "1"))
                self.assert_clean_exit(r, 1)
                self.assertTrue(r.err.endswith("ERROR:\nTimeout (1s)\n"), r)
                self.assertLess(r.elapsed, 5, r)

    def test_answer_in_pieces(self):
        for tpa in (False, True):
            with self.subTest(tpa=tpa):
                r = self.run_fake("pieces", tpa)
                self.assert_clean_exit(r, 0)
                self.assertEqual(r.err, SPLIT_COMPLETION + "All conjectures solved.\n", r)

    def test_answer_without_final_line_feed_then_exit(self):
        # TPA: one process per question, each answers "YES" without a line feed: a full run.
        r = self.run_fake("no-final-lf", tpa=True)
        self.assert_clean_exit(r, 0)
        self.assertEqual(r.err, SPLIT_COMPLETION + "All conjectures solved.\n", r)
        # AProVE: the first answer is read whole; the prover is gone for the second question.
        r = self.run_fake("no-final-lf")
        self.assert_fatal(r)

    def test_stderr_flood(self):
        for tpa in (False, True):
            with self.subTest(tpa=tpa):
                r = self.run_fake("flood-stderr", tpa)
                self.assert_clean_exit(r, 0)
                self.assertIn(SPLIT_COMPLETION + "All conjectures solved.\n", r.err)
                self.assertGreater(len(r.err), 1000000)

    def test_prover_slow_to_exit_is_killed_after_a_grace_time(self):
        # The fake waits 30 s after the end of its input; korvath ends it within its grace time.
        r = self.run_fake("slow-exit")
        self.assert_clean_exit(r, 0)
        self.assertLess(r.elapsed, 10, r)

    def test_missing_prover_command(self):
        self.write("split.tptp", SPLIT)
        for tpa in ([], ["--tpa"]):
            r = harness.run(tpa + ["--complete", "--cmd", "./no-such-prover", "split.tptp"],
                            self.work, timeout=20)
            self.assert_fatal(r)

    def test_prover_that_crashes(self):
        # A prover killed by a signal in the middle of a question.
        self.write("split.tptp", SPLIT)
        r = harness.run(["--complete", "--cmd", "head -c 5 >/dev/null; kill -SEGV $$",
                         "split.tptp"], self.work, timeout=20)
        self.assert_fatal(r)

    def test_prover_leaving_a_background_child(self):
        # The shell command starts a helper in the background that holds the output pipe open;
        # korvath kills the prover's whole process group when it stops it.
        self.write("split.tptp", SPLIT)
        command = "sleep 30 & exec %s --default YES" % harness.FAKE
        r = harness.run(["--complete", "--cmd", command, "split.tptp"], self.work, timeout=20)
        self.assert_clean_exit(r, 0)
        self.assertIn(SPLIT_COMPLETION, r.err)


if __name__ == "__main__":
    harness.main()
