// The lexicographic path order over a quasi-precedence, computed directly: the checker side of
// every LPO proof.
//
// s > t holds iff s = f(s1..sn) and one of
//   1. some si equals t or si > t;
//   2. t = g(t1..tm), f > g and s > tj for every j;
//   3. t = g(t1..tm), f and g equivalent with equal arity, s > tj for every j, and at the first
//      index k where sk and tk differ, sk > tk.
// Case 3 compares arguments with syntactic equality, which makes this relation a subset of the
// textbook LPO over the same quasi-precedence; that order is a simplification order, so rules
// l > r in this relation terminate. A variable t is below s iff it occurs in s and s != t.
#pragma once

#include "precedence.hpp"
#include "trs.hpp"

namespace Termination {

struct LpoProof {
  Levels levels;
};

// Needs: levels.size() == number of symbols of the bank's signature. Returns: s >lpo t.
bool lpo_greater(const TermBank& bank, const Levels& levels, TermId s, TermId t);
// Returns: true iff the proof's levels fit the signature and every rule has l >lpo r.
bool lpo_orients(const Trs& trs, const LpoProof& proof);

}  // namespace Termination
