#!/usr/bin/env python3
"""Signals and exit paths: SIGINT and SIGTERM end korvath promptly with status 128 + signal and the
prover shut down, wherever korvath is (waiting for an answer, searching, stopping the prover);
every way out (normal end, --help, command-line error, fatal error, time-out, signal) leaves no
process behind.

Usage: signals_test.py KORVATH PROVER [--sanitized]
"""
import os
import signal

import harness

SPLIT = "input_clause(ab, axiom, [++equal(a, b)]).\n"
# Completion of this one equation runs on and on (new rules at every step).
DIVERGING = "input_clause(a, axiom, [++equal(f(g(f(X))), g(f(X)))]).\n"


class Signals(harness.KorvathCase):

    def fake(self, mode, tpa=False):
        command = "%s --mode %s --starts %s --log %s" % (
            harness.MISBEHAVING, mode, self.path("starts.log"), self.path("prover.log"))
        return command + (" --tpa" if tpa else "")

    def test_signal_while_waiting_for_an_answer(self):
        # The fake never answers and ignores SIGINT, SIGTERM and the end of its input.
        self.write("split.tptp", SPLIT)
        for sig in (signal.SIGINT, signal.SIGTERM):
            for tpa in (False, True):
                with self.subTest(signal=sig, tpa=tpa):
                    for name in ("starts.log", "prover.log"):
                        if os.path.exists(self.path(name)):
                            os.unlink(self.path(name))
                    args = ["--complete"] + (["--tpa"] if tpa else [])
                    r = harness.run(args + ["--cmd", self.fake("never-answers", tpa),
                                            "split.tptp"], self.work, timeout=20,
                                    signal_at=(harness.file_has_text(self.path("prover.log")),
                                               sig))
                    self.assert_clean_exit(r, 128 + sig)
                    self.assert_pids_gone(harness.started_pids(self.path("starts.log")))

    def test_signal_during_a_long_search(self):
        self.write("diverging.tptp", DIVERGING)
        for sig in (signal.SIGINT, signal.SIGTERM):
            with self.subTest(signal=sig):
                r = harness.run(["--complete", "--cmd", harness.PROVER, "diverging.tptp"],
                                self.work, timeout=30,
                                signal_at=(harness.after(0.5), sig))
                self.assert_clean_exit(r, 128 + sig)

    def test_signal_while_the_prover_is_being_stopped(self):
        # The fake answers, then takes 30 s to exit at the end of its input; korvath is waiting
        # for it at the end of the run when the signal comes.  The prover must still go.
        self.write("split.tptp", SPLIT)
        for sig in (signal.SIGINT, signal.SIGTERM):
            with self.subTest(signal=sig):
                if os.path.exists(self.path("starts.log")):
                    os.unlink(self.path("starts.log"))
                r = harness.run(["--complete", "--cmd", self.fake("slow-exit"), "split.tptp"],
                                self.work, timeout=20,
                                signal_at=(lambda err: "All conjectures solved." in err, sig))
                self.assertIn(r.status, (0, 128 + sig), r)
                self.assertEqual(r.leftovers, [], r)
                self.assert_pids_gone(harness.started_pids(self.path("starts.log")))

    def test_every_exit_path_stops_the_prover(self):
        # A first file starts a well-behaved prover (kept running between questions); then the
        # run ends in each of the possible ways.
        self.write("split.tptp", SPLIT)
        self.write("diverging.tptp", DIVERGING)
        self.write("bad.tptp", "input_clause(x, axiom, [++equal(a,")
        endings = [
            ("normal end", [], 0),
            ("help", ["--help"], 0),
            ("unknown option", ["--frobnicate"], 2),
            ("missing argument", ["--cmd"], 2),
            ("wrong argument", ["-t", "x"], 2),
            ("bad verbosity", ["--verbosity", "loud"], 2),
            ("syntax error", ["bad.tptp"], 2),
            ("missing file", ["missing.tptp"], 2),
            ("time-out", ["-t", "1", "diverging.tptp"], 1),
        ]
        for name, tail, status in endings:
            with self.subTest(ending=name):
                if os.path.exists(self.path("starts.log")):
                    os.unlink(self.path("starts.log"))
                command = "%s --default YES --starts %s" % (harness.FAKE, self.path("starts.log"))
                r = harness.run(["--complete", "--cmd", command, "split.tptp"] + tail,
                                self.work, timeout=20)
                self.assert_clean_exit(r, status)
                self.assert_pids_gone(harness.started_pids(self.path("starts.log")))
                self.assertIn("All conjectures solved.", r.err)


if __name__ == "__main__":
    harness.main()
