#!/usr/bin/env python3
"""A recording and replaying stand-in for the termination prover (AProVE protocol).

korvath sends a question as text lines ended by a line holding a single period and reads three
answer lines.  In record mode every question is passed to the real prover (started once, kept
running) and the question with its three answer lines is appended to the answer file.  In replay
mode the answers come from that file alone, so a profiled run of korvath sees exactly the verdicts
of the recorded run, whatever the load on the machine, and spends no time waiting for a prover.
A question missing from the file is answered with the line "missing answer", which korvath
reports as a failure: the run has left the recorded path.

    replay_prover.py --record ANSWERS -- PROVER-COMMAND...
    replay_prover.py --replay ANSWERS

The answer file is JSON lines: {"q": question text, "a": [three lines]}.
"""
import argparse
import json
import subprocess
import sys


def read_question(stream):
    """The lines of one question up to the period line (without it), or None at end of input."""
    lines = []
    for line in stream:
        if line == ".\n" or line == ".":
            return "".join(lines)
        lines.append(line)
    return None


def load_answers(path):
    answers = {}
    try:
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.strip():
                    entry = json.loads(line)
                    answers[entry["q"]] = entry["a"]
    except FileNotFoundError:
        pass
    return answers


def main():
    parser = argparse.ArgumentParser()
    mode = parser.add_mutually_exclusive_group(required=True)
    mode.add_argument("--record", metavar="ANSWERS")
    mode.add_argument("--replay", metavar="ANSWERS")
    parser.add_argument("command", nargs="*")
    args = parser.parse_args()

    stdin = sys.stdin
    stdout = sys.stdout
    if args.replay:
        answers = load_answers(args.replay)
        while (question := read_question(stdin)) is not None:
            answer = answers.get(question, ["missing answer", "", ""])
            stdout.write("".join(line + "\n" for line in answer))
            stdout.flush()
        return 0

    if not args.command:
        parser.error("--record needs the prover command after --")
    prover = subprocess.Popen(args.command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              text=True, bufsize=1)
    with open(args.record, "a", encoding="utf-8") as log:
        while (question := read_question(stdin)) is not None:
            prover.stdin.write(question + ".\n")
            prover.stdin.flush()
            answer = [prover.stdout.readline().rstrip("\n") for _ in range(3)]
            log.write(json.dumps({"q": question, "a": answer}) + "\n")
            log.flush()
            stdout.write("".join(line + "\n" for line in answer))
            stdout.flush()
    prover.stdin.close()
    prover.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
