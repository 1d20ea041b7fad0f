// Search for a KBO that orients all rules, as a SAT problem.
//
// Each symbol gets a weight (a free 4-bit number) and a level. The weight difference of two
// terms is linear in the weights: sum over symbols of (occurrences in s - occurrences in t) * w(f)
// plus the surplus of variable occurrences. Its positive and negative parts become two sums of
// scaled weight numbers, compared by one comparator; the variable condition is checked before
// encoding, as it does not depend on the weights. The tie-breaking cases follow kbo.hpp and are
// memoised on the pair of terms. Admissibility becomes clauses: constants weigh at least 1 and a
// unary symbol of weight 0 lies above every other symbol.
#pragma once

#include <optional>

#include "deadline.hpp"
#include "kbo.hpp"

namespace Termination {

// Returns: weights and levels under which every rule of trs decreases, or nothing.
// Throws: TimeUp when the deadline passes.
std::optional<KboProof> find_kbo(const Trs& trs, const Deadline& deadline);

}  // namespace Termination
