#!/usr/bin/env python3
"""Runs one end-to-end case of the korvath program and compares its output byte for byte.

A case is a directory holding:
  args      the command-line arguments, one per line.  In them {fakes} stands for the fake
            provers' directory tests/fakes, {case} for the case directory and {prover} for the
            path of the korvath-termination program (next to korvath).
  stdout    expected standard output (absent: must be empty)
  stderr    expected standard error (absent: must be empty)
  status    expected exit status (absent: 0)
  check     optional: a Python snippet run after korvath with the variables case (the case
            directory) and log (the text of prover.log in a fresh temporary copy, if any); it
            raises AssertionError to fail.
plus the problem files the arguments name.  korvath runs in a temporary copy of the case
directory, so fakes may write logs there.  Times in outputs vary between runs; lines of the
expected files may contain the wildcard {*}, which matches any text within one line.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile


def matches(expected: str, actual: str) -> bool:
    if "{*}" not in expected:
        return expected == actual
    pattern = "".join(".*?" if part == "{*}" else re.escape(part)
                      for part in re.split(r"(\{\*\})", expected))
    return re.fullmatch(pattern.replace(".*?", "[^\n]*?"), actual, re.S) is not None


def read(path: str, default: str = "") -> str:
    if not os.path.exists(path):
        return default
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        return f.read()


def main() -> int:
    korvath, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    source_dir = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    fakes = os.path.join(source_dir, "tests", "fakes")
    prover = os.path.join(os.path.dirname(korvath), "prover", "korvath-termination")
    with tempfile.TemporaryDirectory() as work:
        shutil.copytree(case, work, dirs_exist_ok=True)
        args = [line.replace("{fakes}", fakes).replace("{case}", work).replace("{prover}", prover)
                for line in read(os.path.join(case, "args")).split("\n") if line != ""]
        result = subprocess.run([korvath] + args, cwd=work, capture_output=True, timeout=50)
        out = result.stdout.decode("utf-8", "surrogateescape")
        err = result.stderr.decode("utf-8", "surrogateescape")
        failures = []
        for name, actual in (("stdout", out), ("stderr", err)):
            expected = read(os.path.join(case, name))
            if not matches(expected, actual):
                failures.append(f"--- expected {name}:\n{expected}--- actual {name}:\n{actual}")
        expected_status = int(read(os.path.join(case, "status"), "0").strip() or "0")
        if result.returncode != expected_status:
            failures.append(f"exit status {result.returncode}, expected {expected_status}")
        check = read(os.path.join(case, "check"))
        if check:
            try:
                exec(check, {"case": work, "log": read(os.path.join(work, "prover.log"))})
            except AssertionError as e:
                failures.append(f"check failed: {e}")
        if failures:
            print("\n".join(failures))
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
