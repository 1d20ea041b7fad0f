#!/usr/bin/env python3
"""Stands in for korvath in the runner's tests: prints what a script beside the problem says.
With the single argument --version it prints a banner.

For the problem file P (the last argument) it reads P.fake.json: {"stdout": text, "stderr": text,
"status": int, "sleep": seconds, "child": seconds a left-behind child process sleeps}, writes the
arguments it got, one per line, to P.argv, then sleeps, prints and exits as told.
"""
import json
import os
import subprocess
import sys
import time

if sys.argv[1:] == ["--version"]:
    print("Korvath (fake)")
    sys.exit(0)
problem = sys.argv[-1]
with open(problem + ".argv", "w") as f:
    f.write("\n".join(sys.argv[1:]) + "\n")
with open(problem + ".fake.json") as f:
    script = json.load(f)
if script.get("child"):
    subprocess.Popen(["sleep", str(script["child"])])
time.sleep(script.get("sleep", 0))
sys.stdout.write(script.get("stdout", ""))
sys.stderr.write(script.get("stderr", ""))
sys.stdout.flush()
sys.stderr.flush()
os._exit(script.get("status", 0))
