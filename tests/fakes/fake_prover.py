#!/usr/bin/python3
"""A scripted termination prover for korvath's tests.

It speaks one of the two protocols korvath uses and answers each question from a table, or else
from a simple sound termination check.

Protocols:
  (default) AProVE: one process answers any number of questions.  A question is every line up to
            a line holding a single "."; the answer is three lines: the verdict word ("true",
            "false", "maybe" or "timed out") and two more lines that korvath ignores.  The process
            ends at the end of its input.
  --tpa     TPA: one question per process.  The question is everything up to the end of input;
            the answer is one line: "YES", "NO", "MAYBE" or "TIMEOUT".  Then the process ends.

Options:
  --tpa             speak the TPA protocol (see above).
  --table FILE      answer from FILE first (format below).
  --default VERDICT answer VERDICT to every question the table does not hold, instead of running
                    the built-in check.
  --log FILE        append every byte received on standard input to FILE, unchanged, as it
                    arrives (so a test can compare the exact bytes korvath wrote).
  --starts FILE     append one line "start <pid>" to FILE whenever a prover process starts (to
                    count processes without disturbing the --log bytes).

Verdicts (in the table and with --default) are protocol-neutral: YES, NO, MAYBE, TIMEOUT; each is
sent as the word of the protocol in use (AProVE: true, false, maybe, timed out).  Any other
verdict text is sent unchanged, which lets a test script a malformed answer.

Table format: entries separated by one or more blank lines.  An entry is a line
    = VERDICT
followed by the rule lines of a question exactly as korvath writes them between "(RULES " and
the closing ")", one rule per line, e.g.
    = YES
    f(X0,e) -> X0
    g(a) -> b
A question matches an entry when its rules, in order, are byte-for-byte those lines.  Lines that
begin with "#" outside entries are comments.

Built-in check (used when the table has no entry and no --default is given): the answer is YES
when every rule strictly decreases the number of symbol and variable occurrences and no variable
occurs more often on its right side than on its left side (a weight ordering with all weights 1,
which proves termination); otherwise MAYBE.  It never answers NO.
"""
import os
import sys

WORDS = {
    "aprove": {"YES": "true", "NO": "false", "MAYBE": "maybe", "TIMEOUT": "timed out"},
    "tpa": {"YES": "YES", "NO": "NO", "MAYBE": "MAYBE", "TIMEOUT": "TIMEOUT"},
}


def parse_args(argv):
    options = {"tpa": False, "table": None, "default": None, "log": None, "starts": None}
    i = 0
    while i < len(argv):
        arg = argv[i]
        if arg == "--tpa":
            options["tpa"] = True
        elif arg in ("--table", "--default", "--log", "--starts") and i + 1 < len(argv):
            options[arg[2:]] = argv[i + 1]
            i += 1
        else:
            sys.stderr.write("fake_prover: unknown argument %r\n" % arg)
            sys.exit(64)
        i += 1
    return options


def read_table(path):
    """Maps the tuple of rule lines of each entry to its verdict."""
    table = {}
    verdict, rules = None, []
    with open(path, encoding="utf-8", newline="") as f:
        lines = f.read().split("\n")
    for line in lines + [""]:
        if verdict is None:
            if line.startswith("= "):
                verdict, rules = line[2:], []
            continue
        if line == "":
            table[tuple(rules)] = verdict
            verdict = None
        else:
            rules.append(line)
    return table


# ---- the built-in check -------------------------------------------------------------------


def parse_term(text, pos, variables, counts):
    """Parses one term at text[pos:]; returns (size, new position) and counts variables."""
    start = pos
    while pos < len(text) and text[pos] not in "(),":
        pos += 1
    name = text[start:pos]
    if name == "":
        raise ValueError("empty name")
    size = 1
    if pos < len(text) and text[pos] == "(":
        pos += 1
        while True:
            sub, pos = parse_term(text, pos, variables, counts)
            size += sub
            if pos < len(text) and text[pos] == ",":
                pos += 1
                continue
            if pos < len(text) and text[pos] == ")":
                pos += 1
                break
            raise ValueError("bad argument list")
    elif name in variables:
        counts[name] = counts.get(name, 0) + 1
    return size, pos


def measure(side, variables):
    counts = {}
    size, pos = parse_term(side, 0, variables, counts)
    if pos != len(side):
        raise ValueError("trailing text")
    return size, counts


def weight_decreases(rules, variables):
    try:
        for rule in rules:
            lhs, sep, rhs = rule.partition(" -> ")
            if not sep:
                return False
            lsize, lcounts = measure(lhs, variables)
            rsize, rcounts = measure(rhs, variables)
            if lsize <= rsize:
                return False
            if any(n > lcounts.get(v, 0) for v, n in rcounts.items()):
                return False
        return True
    except (ValueError, RecursionError):
        return False


# ---- questions ----------------------------------------------------------------------------


def split_question(text):
    """Returns (variables, rule lines) of the question text, or (set(), None) if malformed."""
    lines = text.split("\n")
    variables, rules, in_rules = set(), [], False
    for line in lines:
        if line.startswith("(VAR ") and line.endswith(")") and not in_rules:
            variables = set(line[5:-1].split())
        elif line == "(RULES ":
            in_rules = True
        elif in_rules:
            # A rule is balanced; the last one carries the list's closing parenthesis.
            if line.count("(") < line.count(")") and line.endswith(")"):
                rules.append(line[:-1])
                return variables, rules
            rules.append(line)
    return variables, None


def verdict_for(text, options, table):
    variables, rules = split_question(text)
    if rules is not None and tuple(rules) in table:
        return table[tuple(rules)]
    if options["default"] is not None:
        return options["default"]
    if rules is None:
        return "MAYBE"
    return "YES" if weight_decreases(rules, variables) else "MAYBE"


def send(line):
    sys.stdout.buffer.write(line.encode("utf-8"))
    sys.stdout.buffer.flush()


def main():
    options = parse_args(sys.argv[1:])
    table = read_table(options["table"]) if options["table"] else {}
    protocol = "tpa" if options["tpa"] else "aprove"
    words = WORDS[protocol]
    log = open(options["log"], "ab", buffering=0) if options["log"] else None
    if options["starts"]:
        with open(options["starts"], "a", encoding="utf-8") as f:
            f.write("start %d\n" % os.getpid())
    stdin = sys.stdin.buffer
    question = b""
    while True:
        line = stdin.readline()
        if log is not None and line:
            log.write(line)
        if protocol == "tpa":
            if line:
                question += line
                continue
            verdict = verdict_for(question.decode("utf-8", "replace"), options, table)
            send(words.get(verdict, verdict) + "\n")
            return 0
        if not line:
            return 0
        if line in (b".\n", b"."):
            verdict = verdict_for(question.decode("utf-8", "replace"), options, table)
            send(words.get(verdict, verdict) + "\n" + "fake proof\n" + "end of proof\n")
            question = b""
        else:
            question += line


if __name__ == "__main__":
    sys.exit(main())
