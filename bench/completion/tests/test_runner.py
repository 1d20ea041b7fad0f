"""Tests of running one problem end to end against a scripted fake korvath, and of the whole
runner's files and exit status."""
import csv
import importlib.machinery
import importlib.util
import json
import os
import shutil
import tempfile
import unittest
from unittest import mock

from completion import eprover, korvath_output as ko, runner

HERE = os.path.dirname(os.path.abspath(__file__))
FAKE = os.path.join(HERE, "fake_korvath.py")

AXIOMS = """input_clause(left_identity, axiom, [++equal(f(e,X),X)]).
input_clause(left_inverse, axiom, [++equal(f(i(X),X),e)]).
input_clause(associativity, axiom, [++equal(f(f(X,Y),Z),f(X,f(Y,Z)))]).
"""
GROUP = ["f(e,X0) -> X0", "f(i(X0),X0) -> e", "f(f(X0,Y0),Z0) -> f(X0,f(Y0,Z0))", "i(e) -> e",
         "i(i(X0)) -> X0", "f(X0,e) -> X0", "f(X0,i(X0)) -> e", "f(i(X0),f(X0,Y0)) -> Y0",
         "f(X0,f(i(X0),Y0)) -> Y0", "i(f(X0,Y0)) -> f(i(Y0),i(X0))"]
STATS = "[]: Open (size=6, cost=0, time=0, max=0, total=0, pending=0)\nOrientations: 12\n" \
        "Calls to AProVE (all, T, NT, ?): 10, 10, 0, 0\n"


def completion_stderr(rules):
    return "\n".join([ko.COMPLETION_BANNER] + rules + [ko.STARS, ko.ALL_SOLVED]) + "\n"


SKIP_BAD_COMMUTE = ("**** CONJECTURE: FALSE ***\nf(a,b) -->! c = c !<-- f(b,a)\n"
                    "**************************\nAll conjectures solved.\n")


class RunnerCase(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp()
        self.addCleanup(shutil.rmtree, self.dir)

    def problem(self, name, text, **script):
        path = os.path.join(self.dir, name + ".tptp")
        with open(path, "w") as f:
            f.write(text)
        with open(path + ".fake.json", "w") as f:
            json.dump(script, f)
        return path

    def options(self, timeout=30, e=None, complete=None):
        return runner.Options(FAKE, "/opt/my prover/korvath-termination", timeout, complete, e,
                              os.path.join(self.dir, "logs"))

    def argv_of(self, path):
        with open(path + ".argv") as f:
            return f.read().split("\n")[:-1]


class RunProblemTest(RunnerCase):
    def test_completed_and_rechecked(self):
        path = self.problem("group", AXIOMS, stdout=STATS, stderr=completion_stderr(GROUP))
        r = runner.run_problem(path, self.options())
        self.assertEqual((r.outcome, r.detail, r.failures), (ko.COMPLETED, "", []))
        self.assertEqual((r.run.orientations, r.run.calls, len(r.run.rules)), (12, (10, 10, 0, 0), 10))
        self.assertEqual(self.argv_of(path), ["--complete", "-t", "30", "--cmd",
                                              "'/opt/my prover/korvath-termination'", path])
        self.assertTrue(os.path.exists(os.path.join(self.dir, "logs", f"{r.corpus}__group.stderr")))

    def test_incomplete_system_is_wrong(self):
        path = self.problem("group", AXIOMS, stderr=completion_stderr(GROUP[:-1]))
        r = runner.run_problem(path, self.options())
        self.assertEqual(r.outcome, ko.WRONG)
        self.assertIn("critical pair not joinable", r.detail)

    def test_conjecture_files_run_without_complete_unless_asked(self):
        text = AXIOMS + "input_clause(g, conjecture, [--equal(f(a,b),f(b,a))]).\n"
        path = self.problem("conj", text, stderr=SKIP_BAD_COMMUTE)
        runner.run_problem(path, self.options())
        self.assertNotIn("--complete", self.argv_of(path))
        runner.run_problem(path, self.options(complete=True))
        self.assertIn("--complete", self.argv_of(path))

    def test_disagreement_with_the_tptp_status(self):
        text = "% status: Satisfiable\n" + AXIOMS + \
            "input_clause(g, conjecture, [--equal(f(a,b),f(b,a))]).\n"
        r = runner.run_problem(self.problem("conj", text, stderr=SKIP_BAD_COMMUTE), self.options())
        self.assertEqual((r.outcome, r.answers), (ko.DECIDED, [eprover.FOLLOWS]))
        self.assertEqual(r.disagreements, ["TPTP status Satisfiable, korvath: follows"])

    @unittest.skipUnless(eprover.find_eprover(), "eprover is not installed")
    def test_disagreement_with_e(self):
        text = AXIOMS + "input_clause(g, conjecture, [--equal(f(a,b),f(b,a))]).\n"
        r = runner.run_problem(self.problem("conj", text, stderr=SKIP_BAD_COMMUTE),
                               self.options(e=eprover.find_eprover()))
        self.assertEqual(r.e.answers, [eprover.NOT_FOLLOWS])
        self.assertEqual(r.disagreements, ["E: f(a,b) = f(b,a) does not follow, korvath: follows"])

    def test_wall_clock_limit_kills_the_process_group(self):
        path = self.problem("slow", AXIOMS, sleep=60, child=60)
        with mock.patch.object(runner, "WALL_GRACE_SECONDS", 0):
            r = runner.run_problem(path, self.options(timeout=1))
        self.assertEqual((r.outcome, r.run.detail), (ko.TIMEOUT, "killed by the runner's wall-clock limit"))

    def test_children_left_behind_are_killed_and_reported(self):
        path = self.problem("stray", AXIOMS, child=60, stderr=completion_stderr(GROUP))
        r = runner.run_problem(path, self.options())
        self.assertEqual(r.outcome, ko.COMPLETED)
        self.assertIn("left processes running", r.detail)


def load_main_script():
    path = os.path.join(os.path.dirname(os.path.dirname(HERE)), "run-completion")
    loader = importlib.machinery.SourceFileLoader("run_completion", path)
    loader_spec = importlib.util.spec_from_loader("run_completion", loader)
    module = importlib.util.module_from_spec(loader_spec)
    loader.exec_module(module)
    return module


class MainTest(RunnerCase):
    def run_main(self, *paths):
        out = os.path.join(self.dir, "out")
        prover = os.path.join(self.dir, "prover")
        os.symlink("/bin/true", prover)
        args = ["--korvath", FAKE, "--prover", prover, "--no-e", "--timeout", "20", "--out", out,
                "--jobs", "2"] + list(paths)
        status = load_main_script().main(args)
        with open(os.path.join(out, "results.csv")) as f:
            rows = list(csv.DictReader(f))
        with open(os.path.join(out, "summary.md")) as f:
            summary = f.read()
        return status, rows, summary

    def test_clean_run(self):
        a = self.problem("a", AXIOMS, stdout=STATS, stderr=completion_stderr(GROUP))
        b = self.problem("b", AXIOMS, stderr=ko.EMPTY_HEAP + "\n", status=2)
        status, rows, summary = self.run_main(a, b)
        self.assertEqual(status, 0)
        self.assertEqual([(r["problem"], r["outcome"], r["rules"]) for r in rows],
                         [("a", ko.COMPLETED, "10"), ("b", ko.EXHAUSTED, "")])
        self.assertIn("| completed | 1 |", summary)
        self.assertIn("Nothing: no WRONG outcome", summary)

    def test_wrong_answer_fails_the_run_loudly(self):
        a = self.problem("a", AXIOMS, stderr=completion_stderr(GROUP[1:]))
        status, rows, summary = self.run_main(a)
        self.assertEqual((status, rows[0]["outcome"]), (1, ko.WRONG))
        self.assertIn("WRONG: input equation not joinable", summary)
        self.assertIn("reproduce with", summary)


if __name__ == "__main__":
    unittest.main()
