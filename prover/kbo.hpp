// The Knuth-Bendix order, computed directly: the checker side of every KBO proof.
//
// Variables weigh 1, every symbol f a natural w(f), constants at least 1, and a unary symbol of
// weight 0 must be above every other symbol in the precedence (admissibility). The weight of a
// term is the sum over its occurrences. s > t holds iff every variable occurs in s at least as
// often as in t, and either w(s) > w(t), or w(s) = w(t) and
//   - t is a variable (then s = f^k(t) by the weights), or
//   - the root of s is above the root of t in the precedence, or
//   - both have the same root and at the first differing argument pair sk > tk.
// The precedence is strict here: equal levels of distinct symbols leave them incomparable.
#pragma once

#include "precedence.hpp"
#include "trs.hpp"

namespace Termination {

struct KboProof {
  std::vector<int> weights;  // indexed by SymbolId
  Levels levels;
};

// Returns: true iff the weights and levels fit the signature and are admissible.
bool kbo_admissible(const Signature& signature, const KboProof& proof);
// Needs: an admissible proof. Returns: s >kbo t.
bool kbo_greater(const TermBank& bank, const KboProof& proof, TermId s, TermId t);
// Returns: true iff the proof is admissible and every rule has l >kbo r.
bool kbo_orients(const Trs& trs, const KboProof& proof);
// Returns: a readable list of the weights, e.g. "w(f) = 1, w(i) = 0".
std::string describe_weights(const Signature& signature, const KboProof& proof);

}  // namespace Termination
