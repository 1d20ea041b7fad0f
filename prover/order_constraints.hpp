// Posting ordering constraints and solving them.
//
// Every ordering search states its constraints the same way; only the encoder that turns
// "l decreases" into a literal differs.  The path orders (LPO, KBO) require every rule to
// decrease strictly; the linear and the matrix interpretations also take weak rules that may be
// filtered by usability, and pairs of which at least one must decrease strictly.  These helpers
// post the constraints for any such encoder and run the solver under the deadline.
#pragma once

#include <vector>

#include "deadline.hpp"
#include "formula.hpp"
#include "poly_search.hpp"

namespace Termination {

// Runs the solver; Returns: whether the formula is satisfiable.  Throws: TimeUp.
inline bool solve_within(Formula& formula, const Deadline& deadline) {
  SatResult result = formula.solve(deadline);
  if (result == SatResult::Interrupted) throw TimeUp{};
  return result == SatResult::Satisfiable;
}

// Needs: an encoder with greater(lhs, rhs) -> Lit built on formula.  Changes: formula.
// Returns: whether some instance of the order makes every rule of trs decrease strictly.
// Throws: TimeUp when the deadline passes.
template <class Encoder>
bool solve_all_decreasing(Formula& formula, Encoder& encoder, const Trs& trs,
                          const Deadline& deadline) {
  for (const Rule& rule : trs.rules) {
    Lit decreasing = encoder.greater(rule.lhs, rule.rhs);
    if (decreasing == Formula::bottom()) return false;
    formula.require(decreasing);
  }
  return solve_within(formula, deadline);
}

// Needs: an encoder with decreasing(rule, strict) -> Lit and usable(weak, strict_some) ->
// literals per weak rule, built on formula.  Changes: formula.  Returns: whether the
// constraints are satisfiable.  Throws: TimeUp when the deadline passes.
template <class Encoder>
bool solve_interpretation_constraints(Formula& formula, Encoder& encoder,
                                      const PolyConstraints& constraints,
                                      const Deadline& deadline) {
  for (const Rule& rule : constraints.strict) formula.require(encoder.decreasing(rule, true));
  std::vector<Lit> usable(constraints.weak.size(), Formula::top());
  if (constraints.filter_usable) usable = encoder.usable(constraints.weak, constraints.strict_some);
  for (std::size_t i = 0; i < constraints.weak.size(); ++i)
    formula.clause({-usable[i], encoder.decreasing(constraints.weak[i], false)});
  if (!constraints.strict_some.empty()) {
    std::vector<Lit> some;
    for (const Rule& rule : constraints.strict_some) {
      formula.require(encoder.decreasing(rule, false));
      some.push_back(encoder.decreasing(rule, true));
    }
    formula.require(formula.disj(some));
  }
  deadline.check();
  return solve_within(formula, deadline);
}

}  // namespace Termination
