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
//
// A proof may also give each symbol a status, which makes the order a recursive path order:
// lexicographic left to right (the default), right to left, or multiset. Case 3 then needs f and
// g to be the same symbol or to share the status, and compares the arguments by that status; the
// multiset comparison removes the arguments common to both sides (syntactically) and needs every
// remaining argument of t to be below some remaining argument of s, at least one of which is
// left (Dershowitz-Manna). Arity may differ under multiset status. Equivalent symbols with one
// status give the textbook RPO over a quasi-precedence, again a simplification order; associative
// laws need the right-to-left status and distributive or commutative-looking ones the multiset
// status.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "precedence.hpp"
#include "trs.hpp"

namespace Termination {

enum class Status : int { LeftToRight = 0, RightToLeft = 1, Multiset = 2 };

struct LpoProof {
  Levels levels;
  std::vector<Status> status;  // by symbol; empty means left to right for every symbol
};

// Returns: the arguments of s that t lacks and those of t that s lacks, as multisets of terms
// compared syntactically.
std::pair<std::vector<TermId>, std::vector<TermId>> multiset_difference(const TermBank& bank,
                                                                        TermId s, TermId t);
// Needs: levels.size() == number of symbols of the bank's signature. Returns: s >lpo t.
bool lpo_greater(const TermBank& bank, const Levels& levels, TermId s, TermId t);
// Needs: proof fits the bank's signature (levels, and status when not empty). Returns: s > t in
// the recursive path order of the proof.
bool rpo_greater(const TermBank& bank, const LpoProof& proof, TermId s, TermId t);
// Returns: true iff the proof's levels (and status) fit the signature and every rule has l > r.
bool lpo_orients(const Trs& trs, const LpoProof& proof);
// Returns: true iff some symbol has a status other than left to right.
bool has_status(const LpoProof& proof);
// Returns: e.g. "f right-to-left, g multiset" for the symbols with a non-default status.
std::string describe_status(const Signature& signature, const LpoProof& proof);

}  // namespace Termination
