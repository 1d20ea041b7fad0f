// Substitutions, unification, matching and canonical forms of rules (module Terms).
//
// A substitution is a small map from variables to terms, kept apart from the shared term nodes.
// Unification computes idempotent most general unifiers with occurs check; which variable gets
// bound when two variables meet is fixed (the left one is bound to the right one), because it
// shows in the critical pairs and thus in the search.  Matching binds pattern variables only;
// subject variables are rigid.  Failure is an absent result, never an exception.
#pragma once

#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "terms/terms.hpp"

namespace Terms {

class Substitution {
 public:
  // The binding of v, or nullptr when v is unbound (it then stands for itself).
  const Term* find(const Variable& v) const;
  // Binds an unbound v.
  void bind(const Variable& v, Term t);
  size_t size() const { return bindings_.size(); }
  bool empty() const { return bindings_.empty(); }
  const std::vector<std::pair<Variable, Term>>& bindings() const { return bindings_; }
  std::vector<std::pair<Variable, Term>>& mutable_bindings() { return bindings_; }

 private:
  std::vector<std::pair<Variable, Term>> bindings_;
};

// The binding of a bound variable.
const Term& app(const Substitution& s, const Variable& v);
// Applies s once: bound variables are replaced by their bindings (not applied again).
Term lift(const Substitution& s, const Term& t);

using TermPairs = std::vector<std::pair<Term, Term>>;

// A most general simultaneous unifier of all pairs, idempotent, or nothing.
std::optional<Substitution> solve(const TermPairs& pairs);
std::optional<Substitution> unify(const Term& s, const Term& t);

// One substitution mapping every pattern (first member) onto its subject, or nothing.
std::optional<Substitution> matchs(const TermPairs& pairs);
std::optional<Substitution> match_with(const Term& pattern, const Term& subject);
// needs: sigma holds the bindings of earlier pattern/subject pairs (or nothing).
// changes: sigma, extended by the bindings that map pattern onto subject (left in an unspecified
// state on failure).
// returns: whether the match succeeded.
bool match_into(const Term& pattern, const Term& subject, Substitution& sigma);

// One substitution maps a onto b (both sides).
bool rule_generalization(const Rule& a, const Rule& b);
// a is an instance of b.
bool rule_instance(const Rule& a, const Rule& b);
// p matches t or some subterm of t (pre-order search).
bool try_match_subterm(const Term& p, const Term& t);

// Canonical numbering state: the number of every variable met so far, and the last number given
// out (-1 before the first).
using CanonTable = std::unordered_map<Variable, long, VariableHash>;
// changes: table and counter (variables not yet numbered get the next numbers, in order of first
// occurrence, left to right).
// returns: t with every variable replaced by the variable "X" suffixed with its number.
Term _canon(CanonTable& table, long& counter, const Term& t);

// Canonical form: variables renamed to X0, X1, ... in order of first occurrence, the right side
// numbered before the left side with one shared numbering.
Rule canon_rule(const Rule& r);

}  // namespace Terms
