"""Tests of reading korvath's output and classifying how a run ended."""
import unittest

from completion import korvath_output as ko

STATS = """[]: Open (size=6, cost=0, time=0, max=0, total=1e-05, pending=0)
[0]: Open (size=9, cost=4, time=0.1, max=0.1, total=0.2, pending=1)
[1]: Open (size=9, cost=5, time=0.1, max=0.1, total=0.3, pending=1)
[10]: Open (size=9, cost=5, time=0.1, max=0.1, total=0.3, pending=1)
[0]: Open (size=12, cost=5, time=0.1, max=0.1, total=0.4, pending=2)
On branch: [0]
With size, cost: 17, 9
Orientations: 7
Calls to AProVE (all, T, NT, ?): 5, 3, 1, 1
Time (all, branch, AProVE): 0.5, 0.1, 0.3
Time/call in AProVE (Avg, Min, Max): 0.06, 0.01, 0.1
Time/T-call in AProVE (Avg, Min, Max): 0.05, 0.1, 0.1
"""

COMPLETION = """**** CONJECTURE: FALSE ***
f(a,e) -->! a = a !<-- a
**************************
******* COMPLETION *******
f(e,X0) -> X0
i(i(X0)) -> X0
**************************
**** CONJECTURE: TRUE ****
f(a,b) -->! f(a,b) != f(b,a) !<-- f(b,a)
**************************
All conjectures solved.
"""


class ClassifyTest(unittest.TestCase):
    def test_completed_run(self):
        run = ko.classify(STATS, COMPLETION, 0, False)
        self.assertEqual(run.outcome, ko.COMPLETED)
        self.assertEqual(run.rules, [("f(e,X0)", "X0"), ("i(i(X0))", "X0")])
        self.assertEqual((run.orientations, run.calls, run.trs_size), (7, (5, 3, 1, 1), "17"))
        self.assertEqual((run.nodes, run.splits), (5, 2))  # [0] and [10], [0] counted once
        self.assertEqual([(v.true, v.equal, v.after_completion) for v in run.verdicts],
                         [(False, True, False), (True, False, True)])
        self.assertEqual((run.verdicts[1].lhs, run.verdicts[1].rhs_nf), ("f(a,b)", "f(b,a)"))

    def test_outcomes(self):
        decided = "**** CONJECTURE: FALSE ***\na -->! b = b !<-- b\n" + ko.STARS + "\n" + \
            ko.ALL_SOLVED + "\n"
        cases = [  # stdout, stderr, status, killed, expected outcome
            ("", decided, 0, False, ko.DECIDED),
            ("", "ERROR:\nTimeout (10s)\n", 1, False, ko.TIMEOUT),
            ("", "", -15, True, ko.TIMEOUT),
            ("", "Fatal error: exception Heap.EmptyHeap\n", 2, False, ko.EXHAUSTED),
            ("", 'Fatal error: exception Failure("Axiom already oriented")\n', 2, False, ko.ERROR),
            ("", "", -11, False, ko.ERROR),
            ("", "ERROR:\nTimeout (10s)\n", 0, False, ko.ERROR),  # no closing line
            ("", ko.COMPLETION_BANNER + "\nf(a) -> b\n", 0, False, ko.ERROR),  # block not closed
            ("", ko.COMPLETION_BANNER + "\nf(a) => b\n" + ko.STARS + "\n" + ko.ALL_SOLVED + "\n",
             0, False, ko.ERROR),
            (STATS, COMPLETION, 0, False, ko.COMPLETED),
        ]
        for stdout, stderr, status, killed, expected in cases:
            with self.subTest(stderr=stderr, status=status):
                self.assertEqual(ko.classify(stdout, stderr, status, killed).outcome, expected)

    def test_error_detail_names_the_fatal_line_or_signal(self):
        run = ko.classify("", 'x\nFatal error: exception Failure("boom")\n', 2, False)
        self.assertIn('Failure("boom")', run.detail)
        self.assertIn("SIGSEGV", ko.classify("", "", -11, False, "SIGSEGV").detail)

    def test_malformed_verdict_block_is_an_error(self):
        stderr = "**** CONJECTURE: TRUE ****\na -->! a != b\n" + ko.STARS + "\n" + ko.ALL_SOLVED
        self.assertEqual(ko.classify("", stderr, 0, False).outcome, ko.ERROR)


if __name__ == "__main__":
    unittest.main()
