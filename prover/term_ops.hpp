// Operations on terms of a bank: variables, positions, substitutions, matching, unification and
// printing.
//
// Substitutions are small maps from variable numbers to terms. Matching binds only the pattern's
// variables and compares the rest by id (terms are hash-consed). Unification is the textbook
// Robinson algorithm on a triangular substitution with an occurs check; the result is made
// idempotent before it is returned, so applying it once gives the common instance.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "trs.hpp"

namespace Termination {

using Substitution = std::unordered_map<VarId, TermId>;
using Position = std::vector<int>;  // argument indices from the root, counted from 0

// Changes: appends to out every variable of t not already in it (first occurrence order).
void collect_variables(const TermBank& bank, TermId t, std::vector<VarId>& out);
// Returns: the variables of t in order of first occurrence.
std::vector<VarId> variables_of(const TermBank& bank, TermId t);
// Returns: how often variable v occurs in t.
int count_variable(const TermBank& bank, TermId t, VarId v);
// Returns: true iff s is a subterm of t (s may equal t).
bool is_subterm(const TermBank& bank, TermId s, TermId t);
// Returns: the non-variable positions of t in pre-order (the root first).
std::vector<Position> function_positions(const TermBank& bank, TermId t);
// Returns: every position of t in pre-order.
std::vector<Position> all_positions(const TermBank& bank, TermId t);
// Needs: p a position of t. Returns: the subterm of t at p.
TermId subterm_at(const TermBank& bank, TermId t, const Position& p);
// Needs: p a position of t. Returns: t with the subterm at p replaced by u.
TermId replace_at(TermBank& bank, TermId t, const Position& p, TermId u);
// Returns: t with every variable bound in sigma replaced by its image.
TermId apply(TermBank& bank, TermId t, const Substitution& sigma);
// Changes: extends sigma so that sigma(pattern) == t if possible. Returns: true on success
// (sigma may hold partial bindings after a failure).
bool match(const TermBank& bank, TermId pattern, TermId t, Substitution& sigma);
// Returns: an idempotent most general unifier of s and t, or nothing.
std::optional<Substitution> unify(TermBank& bank, TermId s, TermId t);
// Changes: maps each variable of t not yet in renaming to a fresh variable.
// Returns: t with its variables renamed.
TermId rename_apart(TermBank& bank, TermId t, Substitution& renaming);
// Returns: t in the question syntax, e.g. f(X0,g(a)).
std::string to_string(const Trs& trs, TermId t);
// Returns: p as 1-based dotted numbers, "e" for the root.
std::string position_to_string(const Position& p);

}  // namespace Termination
