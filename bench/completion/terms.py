"""Terms, the input_clause reader and rewriting, written apart from korvath so that the
benchmark runner can check korvath's answers without trusting any of its code.

A term is either a variable, written as a Python str (an identifier that starts with an upper-case
letter), or an application, a tuple (symbol, arg1, ..., argN); constants are 1-tuples. Tuples are
hashable, so normal forms are memoized per rule system.

The clause reader tokenizes by longest match with keywords winning ties and silently skips
characters no token starts with (korvath's reader does the same), then parses by recursive descent.
Normalization is innermost: arguments first, then the first rule (in list order among those with the
same root symbol) whose left side matches at the root; every root step is counted against a bound so
that a non-terminating system shows up as an exception instead of a hang. Critical pairs overlap
each rule's left side at every non-variable position with a renamed copy of every rule's left side
(the root overlap of a rule with itself excluded).
"""
import re
from dataclasses import dataclass

KEYWORDS = {"input_clause", "axiom", "hypothesis", "conjecture", "equal"}


class SyntaxFault(Exception):
    """The text is not in the clause syntax."""


class StepBoundExceeded(Exception):
    """Normalization took more rewrite steps than allowed (likely a non-terminating system)."""


def is_var(t):
    return isinstance(t, str)


def render(t, var_suffix=""):
    """Text of a term without spaces; var_suffix is appended to every variable name."""
    if is_var(t):
        return t + var_suffix
    if len(t) == 1:
        return t[0]
    return t[0] + "(" + ",".join(render(a, var_suffix) for a in t[1:]) + ")"


def variables(t, acc=None):
    """Set of the variable names occurring in t."""
    acc = set() if acc is None else acc
    stack = [t]
    while stack:
        u = stack.pop()
        if is_var(u):
            acc.add(u)
        else:
            stack.extend(u[1:])
    return acc


def symbols(t, acc=None):
    """Set of the function and constant names occurring in t."""
    acc = set() if acc is None else acc
    stack = [t]
    while stack:
        u = stack.pop()
        if not is_var(u):
            acc.add(u[0])
            stack.extend(u[1:])
    return acc


def rename_vars(t, mapping):
    """t with every variable v replaced by mapping(v) (a function from name to term)."""
    if is_var(t):
        return mapping(t)
    return (t[0],) + tuple(rename_vars(a, mapping) for a in t[1:])


# ---------------------------------------------------------------- input_clause reader

@dataclass
class Clause:
    name: str
    status: str  # "axiom", "hypothesis" or "conjecture"
    literals: list  # of (positive: bool, left term, right term)


def tokenize(text):
    """List of (kind, text) tokens; kinds: keyword text, LSYM, USYM, ++, --, ( ) [ ] . ,"""
    tokens, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if c.isascii() and c.isalpha():
            j = i + 1
            while j < n and text[j].isascii() and (text[j].isalnum() or text[j] == "_"):
                j += 1
            word = text[i:j]
            if word in KEYWORDS:
                tokens.append((word, word))
            else:
                tokens.append(("LSYM" if c.islower() else "USYM", word))
            i = j
        elif text.startswith("++", i) or text.startswith("--", i):
            tokens.append((text[i:i + 2], text[i:i + 2]))
            i += 2
        elif c in "()[].,":
            tokens.append((c, c))
            i += 1
        elif c in "%#" and text.find("\n", i) >= 0:
            i = text.find("\n", i) + 1
        else:
            i += 1  # white space and every other character are skipped
    return tokens


class _Parser:
    def __init__(self, tokens):
        self.tokens, self.pos = tokens, 0

    def peek(self):
        return self.tokens[self.pos][0] if self.pos < len(self.tokens) else "EOF"

    def take(self, kind):
        if self.peek() != kind:
            got = self.tokens[self.pos][1] if self.pos < len(self.tokens) else "end of input"
            raise SyntaxFault(f"expected {kind}, found {got!r}")
        self.pos += 1
        return self.tokens[self.pos - 1][1]

    def clauses(self):
        result = [self.clause()]
        while self.peek() != "EOF":
            result.append(self.clause())
        return result

    def clause(self):
        self.take("input_clause")
        self.take("(")
        name = self.take("LSYM")
        self.take(",")
        status = self.peek()
        if status not in ("axiom", "hypothesis", "conjecture"):
            raise SyntaxFault(f"bad clause status {status!r}")
        self.pos += 1
        self.take(",")
        self.take("[")
        literals = [self.literal()]
        while self.peek() == ",":
            self.pos += 1
            literals.append(self.literal())
        self.take("]")
        self.take(")")
        self.take(".")
        return Clause(name, status, literals)

    def literal(self):
        sign = self.peek()
        if sign not in ("++", "--"):
            raise SyntaxFault(f"expected ++ or --, found {sign!r}")
        self.pos += 1
        self.take("equal")
        self.take("(")
        left = self.term()
        self.take(",")
        right = self.term()
        self.take(")")
        return (sign == "++", left, right)

    def term(self):
        if self.peek() == "USYM":
            return self.take("USYM")
        name = self.take("LSYM")
        if self.peek() != "(":
            return (name,)
        self.pos += 1
        args = [self.term()]
        while self.peek() == ",":
            self.pos += 1
            args.append(self.term())
        self.take(")")
        return (name,) + tuple(args)


def parse_clauses(text):
    """Clauses of a problem file's text, in file order; raises SyntaxFault."""
    parser = _Parser(tokenize(text))
    return parser.clauses()


_TERM_TOKEN = re.compile(r"\s*([A-Za-z][A-Za-z0-9_]*|[(),])")


def parse_term(text):
    """Term from korvath's rendering (no spaces needed; upper-case initial = variable)."""
    tokens, pos = [], 0
    text = text.strip()
    while pos < len(text):
        m = _TERM_TOKEN.match(text, pos)
        if not m:
            raise SyntaxFault(f"bad term text {text!r}")
        tokens.append(("USYM" if m.group(1)[0].isupper() else
                       "LSYM" if m.group(1)[0].isalpha() else m.group(1), m.group(1)))
        pos = m.end()
    parser = _Parser(tokens)
    t = parser.term()
    if parser.pos != len(tokens):
        raise SyntaxFault(f"trailing text in term {text!r}")
    return t


def format_clause(clause):
    """The clause in input_clause syntax (one line), readable by korvath and by E."""
    lits = ", ".join(("++" if pos else "--") + f"equal({render(l)},{render(r)})"
                     for pos, l, r in clause.literals)
    return f"input_clause({clause.name}, {clause.status}, [{lits}])."


# ---------------------------------------------------------------- substitution, matching, unification

def apply_subst(t, subst):
    """t with its variables replaced by their (fully resolved) images in subst."""
    if is_var(t):
        return subst.get(t, t)
    return (t[0],) + tuple(apply_subst(a, subst) for a in t[1:])


def match(pattern, subject):
    """Substitution s with apply_subst(pattern, s) == subject, or None; subject variables are rigid."""
    subst, stack = {}, [(pattern, subject)]
    while stack:
        p, s = stack.pop()
        if is_var(p):
            bound = subst.get(p)
            if bound is None:
                subst[p] = s
            elif bound != s:
                return None
        elif is_var(s) or p[0] != s[0] or len(p) != len(s):
            return None
        else:
            stack.extend(zip(p[1:], s[1:]))
    return subst


def _resolve(t, subst):
    while is_var(t) and t in subst:
        t = subst[t]
    return t


def _occurs(v, t, subst):
    stack = [t]
    while stack:
        u = _resolve(stack.pop(), subst)
        if is_var(u):
            if u == v:
                return True
        else:
            stack.extend(u[1:])
    return False


def _fully(t, subst):
    t = _resolve(t, subst)
    if is_var(t):
        return t
    return (t[0],) + tuple(_fully(a, subst) for a in t[1:])


def unify(a, b):
    """Most general unifier of a and b as a resolved substitution, or None."""
    subst, stack = {}, [(a, b)]
    while stack:
        x, y = stack.pop()
        x, y = _resolve(x, subst), _resolve(y, subst)
        if x == y:
            continue
        if is_var(x) or is_var(y):
            v, t = (x, y) if is_var(x) else (y, x)
            if _occurs(v, t, subst):
                return None
            subst[v] = t
        elif x[0] != y[0] or len(x) != len(y):
            return None
        else:
            stack.extend(zip(x[1:], y[1:]))
    return {v: _fully(t, subst) for v, t in subst.items()}


# ---------------------------------------------------------------- rewriting

class Rewriter:
    """Innermost normalization by a fixed rule list, memoized, with a step bound per call."""

    def __init__(self, rules, step_bound=200000):
        self.rules = list(rules)
        self.step_bound = step_bound
        self.by_root = {}
        for lhs, rhs in self.rules:
            self.by_root.setdefault(None if is_var(lhs) else lhs[0], []).append((lhs, rhs))
        self.memo = {}
        self.steps = 0

    def normalize(self, t):
        """Normal form of t; raises StepBoundExceeded after step_bound root steps in this call or when
        the nesting of pending normalizations exceeds Python's recursion limit."""
        self.steps = 0
        try:
            return self._nf(t)
        except RecursionError:
            raise StepBoundExceeded(render(t)) from None

    def _rewrite_root(self, t):
        for lhs, rhs in self.by_root.get(t[0], []) + self.by_root.get(None, []):
            subst = match(lhs, t)
            if subst is not None:
                return apply_subst(rhs, subst)
        return None

    def _nf(self, t):
        if is_var(t):
            return t
        known = self.memo.get(t)
        if known is not None:
            return known
        original = t
        while True:
            args = [t[0]]
            for a in t[1:]:  # a plain loop: no C-level recursion through a generator
                args.append(self._nf(a))
            t = tuple(args)
            reduct = self._rewrite_root(t)
            if reduct is None:
                break
            self.steps += 1
            if self.steps > self.step_bound:
                raise StepBoundExceeded(render(original))
            if is_var(reduct):
                t = reduct
                break
            t = reduct
        self.memo[original] = t
        return t


def positions(t):
    """Pairs (path, subterm) for every non-variable subterm of t, the root (path ()) first."""
    result, stack = [], [((), t)]
    while stack:
        path, u = stack.pop()
        if is_var(u):
            continue
        result.append((path, u))
        for i in range(len(u) - 1, 0, -1):
            stack.append((path + (i,), u[i]))
    return result


def replace_at(t, path, new):
    if not path:
        return new
    i = path[0]
    return t[:i] + (replace_at(t[i], path[1:], new),) + t[i + 1:]


def critical_pairs(rules):
    """Every critical pair (from the outer rule's right side, from the overlapped side) of rules."""
    renamed = [(rename_vars(l, lambda v: v + "'"), rename_vars(r, lambda v: v + "'"))
               for l, r in rules]
    by_root = {}
    for index, (l2, r2) in enumerate(renamed):
        if not is_var(l2):
            by_root.setdefault(l2[0], []).append((index, l2, r2))
    pairs = []
    for i, (l1, r1) in enumerate(rules):
        for path, sub in positions(l1):
            for j, l2, r2 in by_root.get(sub[0], ()):
                if i == j and not path:
                    continue
                subst = unify(sub, l2)
                if subst is None:
                    continue
                pairs.append((apply_subst(r1, subst),
                              apply_subst(replace_at(l1, path, r2), subst)))
    return pairs
