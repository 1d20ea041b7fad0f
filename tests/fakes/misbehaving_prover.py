#!/usr/bin/python3
"""Termination provers that misbehave, for korvath's robustness tests.

Usage: misbehaving_prover.py --mode MODE [--tpa] [--log FILE] [--starts FILE] [--answer WORD]

It speaks the AProVE protocol (a question ends with a line "."; three answer lines) unless --tpa
is given (a question ends with the end of input; one answer line).  The verdict it sends, where a
mode sends one, is --answer (default "true", or "YES" with --tpa).  --log FILE appends every byte
read from standard input to FILE; --starts FILE appends a line "start <pid>" when the process
starts (before anything else).

Modes:
  garbage              answers "I am not a prover" (then, for AProVE, two more lines).
  exit-before-reading  exits at once (status 0) without reading anything.
  exit-after-reading   reads one question, then exits without answering.
  never-answers        reads one question, then sleeps forever, ignoring the end of its input,
                       SIGTERM and SIGINT (only SIGKILL ends it).
  pieces               answers correctly, but writes the answer a few bytes at a time with pauses.
  no-final-lf          answers, leaving out the line feed after its last answer line, and exits.
  flood-stderr         writes about 1 MiB to its standard error, then answers correctly.
  slow-exit            answers every question correctly, but at the end of its input waits 30 s
                       before exiting (a prover that is slow to stop).
"""
import os
import signal
import sys
import time


def parse_args(argv):
    options = {"mode": None, "tpa": False, "log": None, "starts": None, "answer": None}
    i = 0
    while i < len(argv):
        if argv[i] == "--tpa":
            options["tpa"] = True
        elif argv[i] in ("--mode", "--log", "--starts", "--answer") and i + 1 < len(argv):
            options[argv[i][2:]] = argv[i + 1]
            i += 1
        else:
            sys.stderr.write("misbehaving_prover: unknown argument %r\n" % argv[i])
            sys.exit(64)
        i += 1
    if options["answer"] is None:
        options["answer"] = "YES" if options["tpa"] else "true"
    return options


class Reader:
    def __init__(self, log_path):
        self.log = open(log_path, "ab", buffering=0) if log_path else None

    def question(self, tpa):
        """Reads one question; returns False at the end of input before any byte."""
        got = False
        while True:
            line = sys.stdin.buffer.readline()
            if self.log is not None and line:
                self.log.write(line)
            if not line:
                return got
            got = True
            if not tpa and line in (b".\n", b"."):
                return True


def out(data):
    sys.stdout.buffer.write(data.encode("utf-8"))
    sys.stdout.buffer.flush()


def answer_text(options):
    if options["tpa"]:
        return options["answer"] + "\n"
    return options["answer"] + "\nfake proof\nend of proof\n"


def main():
    options = parse_args(sys.argv[1:])
    mode, tpa = options["mode"], options["tpa"]
    if options["starts"]:
        with open(options["starts"], "a", encoding="utf-8") as f:
            f.write("start %d\n" % os.getpid())
    if mode == "exit-before-reading":
        return 0
    reader = Reader(options["log"])
    if mode == "never-answers":
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
        signal.signal(signal.SIGINT, signal.SIG_IGN)
        reader.question(tpa)
        while True:
            time.sleep(3600)
    while reader.question(tpa):
        if mode == "garbage":
            out("I am not a prover\n" if tpa else "I am not a prover\nsecond\nthird\n")
        elif mode == "exit-after-reading":
            return 0
        elif mode == "pieces":
            text = answer_text(options)
            for start in range(0, len(text), 3):
                out(text[start:start + 3])
                time.sleep(0.02)
        elif mode == "no-final-lf":
            out(answer_text(options)[:-1])
            return 0
        elif mode == "flood-stderr":
            chunk = "noise from the prover " * 40 + "\n"
            for _ in range(1200):
                sys.stderr.write(chunk)
            sys.stderr.flush()
            out(answer_text(options))
        elif mode == "slow-exit":
            out(answer_text(options))
        else:
            sys.stderr.write("misbehaving_prover: unknown mode %r\n" % mode)
            return 64
        if tpa:
            break
    if mode == "slow-exit":
        time.sleep(30)
    return 0


if __name__ == "__main__":
    sys.exit(main())
