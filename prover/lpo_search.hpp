// Search for an LPO that orients all rules, as a SAT problem.
//
// Each symbol gets a level, a free number of ceil(log2(#symbols)) bits; f > g and f ~ g become
// comparator circuits on the levels. The relation s > t is unfolded into one literal per pair
// of subterms, following the three cases of lpo.hpp clause for clause, memoised on the pair, so
// the encoding is polynomial in the size of the rules. With status, two bits per symbol choose
// multiset or right-to-left; since the arguments are compared syntactically, the multiset case
// needs no auxiliary variables: after cancelling the common arguments every remaining argument
// of t must be below one of the remaining arguments of s. The model's levels form the proof object,
// which the caller hands to the checker.
#pragma once

#include <optional>

#include "deadline.hpp"
#include "lpo.hpp"

namespace Termination {

// Returns: levels (and, with_status, a status for every symbol of two or more arguments: the
// recursive path order) under which every rule of trs decreases, or nothing when there are none.
// Throws: TimeUp when the deadline passes.
std::optional<LpoProof> find_lpo(const Trs& trs, const Deadline& deadline,
                                 bool with_status = false);

}  // namespace Termination
