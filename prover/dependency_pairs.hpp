// Dependency pairs, the estimated dependency graph and usable rules.
//
// For each rule l -> r and each subterm u of r whose root g is defined (heads a left side) and
// which is not a proper subterm of l, there is a pair l# -> u#, where # replaces the root by a
// fresh tuple symbol "g#". The system terminates iff there is no infinite chain of pairs.
//
// The graph has an edge from s -> t to u -> v when some instance of t may rewrite to an instance
// of u. It is estimated with TCAP: every variable of t and every subterm that might be a redex
// (its capped form unifies with a left side) becomes a fresh variable; the edge is kept when the
// capped t unifies with u. Capped terms hold only fresh variables, so no renaming is needed.
// Only cycles matter, so the pairs are split into strongly connected components (Tarjan's
// algorithm); components without a cycle are dropped.
//
// Narrowing: a pair s -> t whose right side is linear and unifies with no (renamed) left side of
// a pair may be replaced by all its narrowings mu(s) -> mu(t[r]q), one for each non-variable
// position q of t and rule l -> r (renamed) with mu = mgu(t|q, l). In a chain the instance of t
// must rewrite at least once before it meets the next pair (it cannot equal an instance of a left
// side); steps inside the instances of its variables can be moved to the previous link because
// t is linear; so the first step at a position of t is one of the narrowings. Pairs with more
// than three narrowings are kept as they are; each original pair is narrowed at most once.
//
// Usable rules: the rules of every symbol in a right side of the component, closed under the
// symbols of their right sides. With a reduction pair that is C_e-compatible (c(x,y) >= x and
// c(x,y) >= y are orientable, as for every interpretation over the naturals) only these rules
// need to decrease weakly, also for full (not innermost) rewriting. When the reduction pair
// ignores some arguments (an argument filtering: a linear interpretation with coefficient 0 for
// them), the rules reached only through ignored arguments are not needed either (usable rules
// with respect to the filtering, again sound for full rewriting with a C_e-compatible pair).
#pragma once

#include <functional>
#include <vector>

#include "trs.hpp"

namespace Termination {

struct DpProblem {
  Trs trs;                                   // the rules; signature extended by tuple symbols
  std::vector<Rule> pairs;                   // the dependency pairs
  std::vector<std::vector<int>> successors;  // estimated graph over pair indices
};

// Needs: no rule with a variable left side. Returns: the pairs and graph of trs (a copy of trs
// extended by tuple symbols); with narrow, each pair is first replaced by its narrowings where
// that is sound (see narrowing above). The construction is deterministic.
DpProblem make_dp_problem(const Trs& trs, bool narrow = false);
// Needs: subset sorted. Returns: the cyclic strongly connected components of the graph
// restricted to subset, each sorted.
std::vector<std::vector<int>> cyclic_components(const DpProblem& problem,
                                                const std::vector<int>& subset);
// Returns: the indices of the rules usable for the given pairs.
std::vector<int> usable_rules(const DpProblem& problem, const std::vector<int>& pairs);
// Returns: the rules usable for the given pairs with respect to an argument filtering: only the
// arguments i of f with regarded(f, i) are searched for further symbols.
std::vector<int> usable_rules(const DpProblem& problem, const std::vector<int>& pairs,
                              const std::function<bool(SymbolId, int)>& regarded);

}  // namespace Termination
