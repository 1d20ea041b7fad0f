// Usable rules with respect to an argument filtering that the solver chooses.
//
// For the dependency-pair reduction pairs that can ignore arguments (zero coefficients, filtered
// positions), each rule symbol f gets a literal "the rules of f are usable". A symbol at the root
// of a right side (of a pair, or of a usable rule) is usable when every argument position on the
// way down from that root is regarded. A weak rule then needs to decrease only when its root is
// usable; the checker recomputes the same set from the found parameters (dependency_pairs.hpp).
#pragma once

#include <functional>
#include <vector>

#include "formula.hpp"
#include "trs.hpp"

namespace Termination {

// Needs: regarded(f, i) is a literal of formula saying whether argument i of f is regarded.
// Changes: adds the clauses that make usable symbols usable. Returns: for each rule of weak, the
// literal that its root is usable for pairs (only ever forced true, never false).
std::vector<Lit> encode_usable(Formula& formula, const TermBank& bank,
                               const std::vector<Rule>& weak, const std::vector<Rule>& pairs,
                               const std::function<Lit(SymbolId, int)>& regarded);

}  // namespace Termination
