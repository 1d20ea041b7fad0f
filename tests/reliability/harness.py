"""Running korvath under watch, for the reliability tests.

The test process makes itself a child subreaper (prctl PR_SET_CHILD_SUBREAPER): every process that
korvath starts and fails to reap before it exits is handed to the test process instead of to init.
After korvath has ended, any child of the test process is therefore a process korvath left behind,
still running or never reaped.  `run` reports those (and then kills and reaps them, so one failing
case does not disturb the next).

Usage in a test script:
    import harness
    r = harness.run([...arguments...], cwd=work_dir, timeout=10)
    r.status, r.out, r.err, r.leftovers, r.elapsed, r.max_rss_kb

Standard output and standard error go to temporary files, so a flood on either cannot block
korvath.  Paths come from the command line of the test script: KORVATH PROVER [--sanitized].
"""
import ctypes
import os
import signal
import sys
import tempfile
import time
import unittest

PR_SET_CHILD_SUBREAPER = 36

SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
FAKES = os.path.join(SOURCE_DIR, "tests", "fakes")
# The fakes run under the interpreter running the tests (a shim found first on PATH can take
# seconds to start, longer than the 1 s time-outs of some cases).
MISBEHAVING = sys.executable + " " + os.path.join(FAKES, "misbehaving_prover.py")
FAKE = sys.executable + " " + os.path.join(FAKES, "fake_prover.py")

KORVATH = None
PROVER = None
SANITIZED = False


def configure(argv):
    """Takes KORVATH PROVER [--sanitized] from argv; returns the remaining arguments."""
    global KORVATH, PROVER, SANITIZED
    if len(argv) < 3:
        sys.stderr.write("usage: %s KORVATH PROVER [--sanitized] [unittest arguments]\n" % argv[0])
        sys.exit(64)
    KORVATH, PROVER = os.path.abspath(argv[1]), os.path.abspath(argv[2])
    rest = [argv[0]]
    for a in argv[3:]:
        if a == "--sanitized":
            SANITIZED = True
        else:
            rest.append(a)
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        sys.stderr.write("cannot become a child subreaper: leftover checks would be blind\n")
        sys.exit(1)
    return rest


class Result:
    def __init__(self, status, out, err, leftovers, elapsed, max_rss_kb):
        self.status = status          # exit status, or -N for a death by signal N
        self.out = out
        self.err = err
        self.leftovers = leftovers    # [(pid, state, command line)] left behind by korvath
        self.elapsed = elapsed        # wall-clock seconds
        self.max_rss_kb = max_rss_kb  # peak resident memory of korvath

    def __repr__(self):
        return "status %r after %.2fs, leftovers %r\n--- stdout:\n%s\n--- stderr:\n%s" % (
            self.status, self.elapsed, self.leftovers, self.out[-3000:], self.err[-3000:])


def _children(parent=None):
    """[(pid, state, command line)] of the processes whose parent is parent (default: this
    process)."""
    me = os.getpid() if parent is None else parent
    found = []
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % name) as f:
                stat = f.read()
            fields = stat[stat.rindex(")") + 2:].split()
            if int(fields[1]) != me:
                continue
            with open("/proc/%s/cmdline" % name, "rb") as f:
                cmdline = f.read().replace(b"\0", b" ").decode("utf-8", "replace").strip()
            found.append((int(name), fields[0], cmdline))
        except (FileNotFoundError, ProcessLookupError, ValueError):
            continue
    return found


def _collect_leftovers(korvath_children):
    """Kills and reaps what korvath left behind; returns what it was: every process still running,
    and every zombie that was korvath's own child (korvath did not reap it).  Zombies of the
    prover's own children are not korvath's to reap: killed with the prover's process group, they
    come here once their parent is gone."""
    found = _children()
    leftovers = [p for p in found if p[1] != "Z" or p[0] in korvath_children]
    # Their own children (a prover's shell keeps it as its child) come here when their parent is
    # killed: kill each whole process group, then reap until nothing is left.
    own_group = os.getpgrp()
    deadline = time.monotonic() + 5
    while found and time.monotonic() < deadline:
        for pid, _, _ in found:
            try:
                group = os.getpgid(pid)
                if group != own_group:
                    os.killpg(group, signal.SIGKILL)
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        for pid, _, _ in found:
            try:
                os.waitpid(pid, 0)
            except ChildProcessError:
                pass
        time.sleep(0.01)
        found = _children()
    return leftovers


def _read(path):
    with open(path, "rb") as f:
        return f.read().decode("utf-8", "surrogateescape")


def run(args, cwd, timeout=20.0, signal_at=None, stdin_text=None, settle=0.0):
    """Runs korvath with args in cwd and waits for it to end.

    signal_at: optional (condition, signal number): once condition(stderr so far) is true (polled
    every 10 ms), the signal is sent to korvath.  The test fails if korvath runs longer than timeout seconds (it
    is then killed).  settle: seconds to wait after korvath's end before looking for leftovers
    (0: look at once; korvath must have reaped its children before it exits).
    """
    out_file = tempfile.NamedTemporaryFile(delete=False)
    err_file = tempfile.NamedTemporaryFile(delete=False)
    in_read, in_write = os.pipe() if stdin_text is not None else (None, None)
    start = time.monotonic()
    pid = os.fork()
    if pid == 0:
        try:
            os.chdir(cwd)
            if in_read is not None:
                os.dup2(in_read, 0)
            else:
                null = os.open(os.devnull, os.O_RDONLY)
                os.dup2(null, 0)
            os.dup2(out_file.fileno(), 1)
            os.dup2(err_file.fileno(), 2)
            os.execv(KORVATH, [KORVATH] + list(args))
        finally:
            os._exit(127)
    if in_read is not None:
        os.close(in_read)
        os.write(in_write, stdin_text.encode())
        os.close(in_write)
    status, rusage, signalled = None, None, False
    korvath_children = set()
    while True:
        korvath_children.update(p[0] for p in _children(pid))
        waited, raw, rusage = os.wait4(pid, os.WNOHANG)
        if waited == pid:
            status = os.waitstatus_to_exitcode(raw)
            break
        now = time.monotonic()
        if now - start > timeout:
            os.kill(pid, signal.SIGKILL)
            _, raw, rusage = os.wait4(pid, 0)
            status = "hung (killed after %.1fs)" % timeout
            break
        if signal_at is not None and not signalled and signal_at[0](_read(err_file.name)):
            os.kill(pid, signal_at[1])
            signalled = True
        time.sleep(0.01)
    elapsed = time.monotonic() - start
    if settle:
        time.sleep(settle)
    leftovers = _collect_leftovers(korvath_children)
    out, err = _read(out_file.name), _read(err_file.name)
    os.unlink(out_file.name)
    os.unlink(err_file.name)
    return Result(status, out, err, leftovers, elapsed, rusage.ru_maxrss)


def started_pids(path):
    """The pids that a fake prover wrote to its --starts file."""
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return [int(line.split()[1]) for line in f.read().splitlines() if line.startswith("start ")]


def alive(pid):
    """True if pid exists and is not a zombie."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            stat = f.read()
        return stat[stat.rindex(")") + 2:].split()[0] != "Z"
    except FileNotFoundError:
        return False


def file_has_text(path):
    """A signal_at condition: path exists and is not empty."""
    return lambda err: os.path.exists(path) and os.path.getsize(path) > 0


def after(seconds):
    """A signal_at condition: that many seconds have passed since it was made."""
    deadline = time.monotonic() + seconds
    return lambda err: time.monotonic() >= deadline


class KorvathCase(unittest.TestCase):
    """A test case with a fresh working directory and the common checks."""

    def setUp(self):
        self._dir = tempfile.TemporaryDirectory(prefix="korvath-reliability-")
        self.work = self._dir.name

    def tearDown(self):
        self._dir.cleanup()

    def path(self, name):
        return os.path.join(self.work, name)

    def write(self, name, text):
        mode = "wb" if isinstance(text, bytes) else "w"
        with open(self.path(name), mode) as f:
            f.write(text)
        return self.path(name)

    def assert_clean_exit(self, r, status):
        """korvath ended by itself with status, left no process behind, and no sanitizer spoke."""
        self.assertEqual(r.status, status, r)
        self.assertEqual(r.leftovers, [], r)
        for marker in ("AddressSanitizer", "LeakSanitizer", "runtime error:", "UndefinedBehavior"):
            self.assertNotIn(marker, r.err, r)

    def assert_fatal(self, r, needle=None):
        """A clean end with exactly one fatal-error line as the last line of stderr, status 2."""
        self.assert_clean_exit(r, 2)
        last = r.err.rstrip("\n").split("\n")[-1]
        self.assertTrue(last.startswith("Fatal error: exception "), r)
        self.assertEqual(r.err.count("Fatal error: exception "), 1, r)
        if needle is not None:
            self.assertIn(needle, last, r)

    def assert_pids_gone(self, pids):
        self.assertTrue(pids, "the fake prover recorded no start")
        for pid in pids:
            self.assertFalse(alive(pid), "prover process %d still running" % pid)


def main():
    rest = configure(sys.argv)
    unittest.main(argv=rest, verbosity=2)
