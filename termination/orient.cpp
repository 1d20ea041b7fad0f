// Orientation of equations.
//
// A direction of an equation l = r is tested in three stages of growing cost.  First syntactic
// tests reject rules that can never terminate: a rule whose right side contains an instance of
// its left side rewrites its own result, and a rule whose right side has a variable its left side
// lacks can grow without bound; such one-rule sets are recorded as non-terminating, so every later
// rule list containing them fails in the cache.  Then the cache of learned answers is consulted
// (non-terminating first, then terminating), and only then the outside prover.  With trusted input
// the axiom table keeps an input axiom from being turned against the way it was written.
#include "termination/orient.hpp"

#include <limits>
#include <unordered_set>

#include "driver/failure.hpp"
#include "driver/prefs.hpp"
#include "termination/checker.hpp"
#include "termination/learning.hpp"
#include "terms/substitution.hpp"

namespace Orient {
namespace {

constexpr double kUntested = std::numeric_limits<double>::max();

// The canonical forms of the input axioms, as written.  Lives for the whole run.
std::unordered_set<Terms::Rule, Terms::RuleHash>& axiom_table() {
  static auto* table = new std::unordered_set<Terms::Rule, Terms::RuleHash>();
  return *table;
}

bool table_holds(const Terms::Term& a, const Terms::Term& b) {
  return axiom_table().count(Terms::canon_rule({a, b})) > 0;
}

// *r contains an instance of l*: r can be rewritten again by the rule l -> r.
bool contains_instance(const Terms::Term& r, const Terms::Term& l) {
  return Terms::try_match_subterm(l, r);
}

void register_nonterminating(const Terms::Term& lhs, const Terms::Term& rhs) {
  Learning::register_nonterminating_trs({{lhs, rhs}});
}

// The syntactic pre-test: the directions that may still terminate, registering the rejected ones.
Orientation pre_test(const Terms::Term& l, const Terms::Term& r) {
  if (contains_instance(r, l)) {
    register_nonterminating(l, r);
    if (!contains_instance(l, r)) return Orientation::RL;
    register_nonterminating(r, l);
    return Orientation::NEITHER;
  }
  if (contains_instance(l, r)) {
    register_nonterminating(r, l);
    return Orientation::LR;
  }
  const bool l_in_r = Terms::subset_vars(l, r);
  const bool r_in_l = Terms::subset_vars(r, l);
  if (l_in_r && r_in_l) return Orientation::BOTH;
  if (l_in_r) {
    register_nonterminating(l, r);
    return Orientation::RL;
  }
  if (r_in_l) {
    register_nonterminating(r, l);
    return Orientation::LR;
  }
  register_nonterminating(l, r);
  register_nonterminating(r, l);
  return Orientation::NEITHER;
}

// The candidate list of direction lhs -> rhs: that rule, then the branch's rules.
std::vector<Terms::Rule> candidate(const Terms::Term& lhs, const Terms::Term& rhs,
                                   const std::vector<Terms::Rule>& rules) {
  std::vector<Terms::Rule> s;
  s.reserve(rules.size() + 1);
  s.push_back({lhs, rhs});
  s.insert(s.end(), rules.begin(), rules.end());
  return s;
}

// Whether the candidate list terminates: the cache (non-terminating first), then the prover.
bool passes(const std::vector<Terms::Rule>& s, const std::vector<Terms::Variable>& vars) {
  if (Learning::recall_nonterminating_trs(s)) return false;
  if (Learning::recall_terminating_trs(s)) return true;
  return Checker::is_terminating(s, vars);
}

// The one direction left open: on a pass the list is also registered as terminating.
// returns: whether it passed, and the seconds spent.
std::pair<bool, double> test_only(const Terms::Term& lhs, const Terms::Term& rhs,
                                  const std::vector<Terms::Rule>& rules,
                                  const std::vector<Terms::Variable>& vars) {
  const double start = Checker::time_of_day();
  const std::vector<Terms::Rule> s = candidate(lhs, rhs, rules);
  const bool ok = passes(s, vars);
  if (ok) Learning::register_terminating_trs(s);
  return {ok, Checker::time_of_day() - start};
}

std::pair<bool, double> test_timed(const Terms::Term& lhs, const Terms::Term& rhs,
                                   const std::vector<Terms::Rule>& rules,
                                   const std::vector<Terms::Variable>& vars) {
  const double start = Checker::time_of_day();
  const bool ok = passes(candidate(lhs, rhs, rules), vars);
  return {ok, Checker::time_of_day() - start};
}

std::vector<Terms::Variable> all_variables(const Terms::Equation& e,
                                           const std::vector<Terms::Rule>& rules) {
  std::vector<Terms::Term> terms{e.lhs, e.rhs};
  terms.reserve(2 * rules.size() + 2);
  for (const Terms::Rule& rule : rules) {
    terms.push_back(rule.lhs);
    terms.push_back(rule.rhs);
  }
  return Terms::find_vars_all(terms);
}

}  // namespace

void add_axiom(const Terms::Equation& e) {
  const Terms::Rule canonical = Terms::canon_rule(e);
  if (axiom_table().count(Terms::Rule{canonical.rhs, canonical.lhs}) > 0)
    throw Korvath::Failure("Axiom already oriented");
  axiom_table().insert(canonical);
}

Orientation axiom_filter(const Terms::Equation& e, Orientation candidate) {
  switch (candidate) {
    case Orientation::LR:
      return table_holds(e.rhs, e.lhs) ? Orientation::NEITHER : Orientation::LR;
    case Orientation::RL:
      return table_holds(e.lhs, e.rhs) ? Orientation::NEITHER : Orientation::RL;
    case Orientation::BOTH:
      if (table_holds(e.lhs, e.rhs)) return Orientation::LR;
      if (table_holds(e.rhs, e.lhs)) return Orientation::RL;
      return Orientation::BOTH;
    case Orientation::NEITHER:
      break;
  }
  return Orientation::NEITHER;
}

OrientationResult orient_all(const Terms::Equation& e, const std::vector<Terms::Rule>& rules) {
  Checker::orientations += 2;
  const Terms::Term& l = e.lhs;
  const Terms::Term& r = e.rhs;
  Orientation c = pre_test(l, r);
  if (Prefs::trust_input) c = axiom_filter(e, c);
  const std::vector<Terms::Variable> vars = all_variables(e, rules);
  switch (c) {
    case Orientation::LR: {
      const auto [ok, seconds] = test_only(l, r, rules, vars);
      return {ok ? Orientation::LR : Orientation::NEITHER, seconds, kUntested};
    }
    case Orientation::RL: {
      const auto [ok, seconds] = test_only(r, l, rules, vars);
      return {ok ? Orientation::RL : Orientation::NEITHER, kUntested, seconds};
    }
    case Orientation::BOTH: {
      const auto [lr_ok, lr_seconds] = test_timed(l, r, rules, vars);
      const auto [rl_ok, rl_seconds] = test_timed(r, l, rules, vars);
      const Orientation outcome = lr_ok && rl_ok ? Orientation::BOTH
                                  : lr_ok        ? Orientation::LR
                                  : rl_ok        ? Orientation::RL
                                                 : Orientation::NEITHER;
      return {outcome, lr_seconds, rl_seconds};
    }
    case Orientation::NEITHER:
      break;
  }
  return {Orientation::NEITHER, kUntested, kUntested};
}

}  // namespace Orient
