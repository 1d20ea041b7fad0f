// Search for loops by unfolding rules (forward and backward narrowing).
//
// The search keeps derivations s ->+ t with their steps, starting from the rules themselves.
// A derivation is extended forwards by narrowing t at a non-variable position with a renamed
// rule (unify the subterm with the left side, then apply the mgu to the whole derivation and
// rewrite), and backwards by narrowing s with a reversed rule (unify a subterm of s with a
// non-variable right side). Rewriting is closed under substitution, so each extension is again a
// derivation with the same steps. A derivation is a loop when s matches a subterm t|p, or when s
// and t|p unify (instantiate the derivation with the mgu). The search is breadth first, with
// derivations deduplicated up to variable renaming and bounded by term size, depth, count and
// the deadline. Its witnesses are replayed by check_loop before they count.
#pragma once

#include <optional>

#include "deadline.hpp"
#include "loop.hpp"

namespace Termination {

struct LoopSearchLimits {
  int max_depth = 2;  // rewrite steps in a derivation
  int max_derivations = 200;
  int max_term_size = 40;
  static LoopSearchLimits quick() { return {2, 300, 40}; }
  static LoopSearchLimits thorough() { return {12, 30000, 60}; }
};

// Needs: no rule with a variable left side or extra right-side variables.
// Returns: a loop witness, or nothing. Throws: TimeUp when the deadline passes.
std::optional<LoopWitness> find_loop(Trs& trs, const Deadline& deadline,
                                     const LoopSearchLimits& limits);

}  // namespace Termination
