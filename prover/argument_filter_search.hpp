// Search for an argument filtering and LPO levels that make a reduction pair for a component of
// dependency pairs, as one SAT problem.
//
// Each symbol gets a collapse flag, a keep flag per argument (a collapsing symbol keeps exactly
// one) and a level. Two memoised literal families over pairs of unfiltered subterms describe the
// filtered terms: eq(s,t) for filter(s) = filter(t) and gt(s,t) for filter(s) >lpo filter(t).
// A collapsing root passes the question to its kept argument; otherwise the LPO cases apply to
// the kept arguments (subterm case, precedence case, and for equal roots the lexicographic case
// over kept positions, skipping equal arguments). Weak constraints need gt or eq; at least one
// pair needs gt. The model is read back into a FilteredLpo for the checker.
#pragma once

#include <optional>
#include <vector>

#include "argument_filter.hpp"
#include "deadline.hpp"

namespace Termination {

// Returns: a filtered LPO with every rule of weak and every pair of pairs weakly decreasing and
// at least one pair strictly decreasing, or nothing. Throws: TimeUp.
std::optional<FilteredLpo> find_filtered_lpo(const Trs& trs, const std::vector<Rule>& weak,
                                             const std::vector<Rule>& pairs,
                                             const Deadline& deadline);

}  // namespace Termination
