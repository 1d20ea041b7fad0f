"""Runs one program under a wall-clock limit and measures it.

The program starts in a new session, so it and every process it starts (korvath's termination
prover) form one process group that can be killed as a whole. Its output goes to files, which
cannot fill up as pipes could. A helper thread blocks in os.wait4 on the program: the moment it
returns gives the wall time, and its resource usage gives the peak resident memory of the program
and of the children it reaped. When the limit passes, the group gets SIGTERM and, two seconds
later, SIGKILL. A group that outlives its leader (a child left behind) is killed too and reported.
"""
import os
import signal
import subprocess
import tempfile
import threading
import time
from dataclasses import dataclass

KILL_GRACE_SECONDS = 2.0


@dataclass
class Measured:
    status: int  # exit code, or minus the signal number
    wall_seconds: float
    peak_kib: int  # ru_maxrss of the program and its reaped children
    killed_by_limit: bool
    stray_children: bool  # processes of its group were still alive after it ended
    stdout: str
    stderr: str

    def signal_name(self):
        if self.status >= 0:
            return None
        try:
            return signal.Signals(-self.status).name
        except ValueError:
            return str(-self.status)


def _read(f):
    f.seek(0)
    return f.read().decode("utf-8", "replace")


def _kill_group(pgid, sig):
    try:
        os.killpg(pgid, sig)
    except ProcessLookupError:
        pass


def _group_alive(pgid):
    try:
        os.killpg(pgid, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True


def run_measured(argv, wall_limit, cwd=None):
    """Measured run of argv (a list) with a wall-clock limit in seconds; never raises on its exit."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        start = time.monotonic()
        proc = subprocess.Popen(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                cwd=cwd, start_new_session=True)
        result = {}

        def wait():
            _, status, usage = os.wait4(proc.pid, 0)
            result["end"] = time.monotonic()
            result["status"] = os.waitstatus_to_exitcode(status)
            result["maxrss"] = usage.ru_maxrss

        waiter = threading.Thread(target=wait, daemon=True)
        waiter.start()
        waiter.join(wall_limit)
        killed = waiter.is_alive()
        if killed:
            _kill_group(proc.pid, signal.SIGTERM)
            waiter.join(KILL_GRACE_SECONDS)
            if waiter.is_alive():
                _kill_group(proc.pid, signal.SIGKILL)
                waiter.join()
        # The leader has been reaped, so a live group can only hold its own leftover children.
        stray = _group_alive(proc.pid)
        if stray:
            _kill_group(proc.pid, signal.SIGKILL)
        proc.returncode = result["status"]  # reaped by wait4 above; keeps Popen from waiting again
        return Measured(result["status"], result["end"] - start, result["maxrss"], killed, stray,
                        _read(out), _read(err))
