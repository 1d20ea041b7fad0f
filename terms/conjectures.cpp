// Conjecture decision by normal forms.
//
// Both sides of a conjecture are normalized (left side first) under the given rules and the normal
// forms compared by identity (terms are hash-consed).  A verdict is reported as a three-line block
// at level quiet: the verdict, the two rewrite sequences joined by " = " or " != ", and a closing
// rule.  The semi-decision, run during the search, only trusts equal normal forms; the full
// decision, run on a complete system, also trusts different ones.
#include "terms/conjectures.hpp"

#include <string>

#include "driver/debug.hpp"
#include "io/print.hpp"
#include "terms/rewriting.hpp"

namespace Conjectures {

namespace {

struct Verdict {
  Terms::Term ns;  // normal form of the left side
  Terms::Term nt;  // normal form of the right side
  bool equal;
};

Verdict judge(const std::vector<Terms::Rule>& rules, const Conjecture& c) {
  Terms::Term ns = Rewriting::normalize(rules, c.equation.lhs);
  Terms::Term nt = Rewriting::normalize(rules, c.equation.rhs);
  bool equal = ns == nt;
  return {std::move(ns), std::move(nt), equal};
}

void report(const Conjecture& c, const Verdict& v) {
  using Debug::Level;
  bool holds = v.equal == c.positive;
  Debug::maybe_debug(Level::quiet,
                     holds ? "**** CONJECTURE: TRUE ****" : "**** CONJECTURE: FALSE ***");
  Debug::maybe_debug(Level::quiet, Print::string_of_rewrite(c.equation.lhs, v.ns) +
                                       (v.equal ? " = " : " != ") +
                                       Print::string_of_rewrite_inv(c.equation.rhs, v.nt));
  Debug::maybe_debug(Level::quiet, "**************************");
}

}  // namespace

std::vector<Conjecture> semidecide_conjectures(const std::vector<Terms::Rule>& rules,
                                               const std::vector<Conjecture>& conjectures) {
  std::vector<Conjecture> open;
  for (const Conjecture& c : conjectures) {
    Verdict v = judge(rules, c);
    if (v.equal) {
      report(c, v);
    } else {
      open.push_back(c);
    }
  }
  return open;
}

void decide_conjecture(const std::vector<Terms::Rule>& rules, const Conjecture& conjecture) {
  report(conjecture, judge(rules, conjecture));
}

}  // namespace Conjectures
