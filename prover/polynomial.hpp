// Linear polynomial interpretations over the naturals, evaluated directly: the checker side of
// every polynomial proof, for plain termination and inside the dependency-pair framework.
//
// A symbol f of arity n is read as [f](x1..xn) = c + a1*x1 + ... + an*xn with naturals c, ai.
// A term then denotes a linear form in its variables, c + sum of a_x * x. For linear forms,
// [l] >= [r] for all values of the variables iff the constant and every variable coefficient of
// [l] are at least those of [r]; [l] > [r] additionally needs a larger constant. When every ai
// is at least 1 the interpretation is strictly monotone and l > r for all rules proves
// termination; with coefficients 0 allowed it is weakly monotone, which suffices for a reduction
// pair on dependency pairs. Arithmetic is checked for overflow; an overflow fails the check.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "trs.hpp"

namespace Termination {

struct LinearInterpretation {
  std::vector<std::int64_t> constants;                  // indexed by SymbolId
  std::vector<std::vector<std::int64_t>> coefficients;  // [f][i]
};

struct LinearForm {
  std::int64_t constant = 0;
  std::map<VarId, std::int64_t> coefficients;
};

// Returns: true iff the interpretation has one natural constant and arity(f) natural
// coefficients for every symbol of the signature.
bool well_formed(const Signature& signature, const LinearInterpretation& interpretation);
// Needs: a well-formed interpretation. Returns: [t], or nothing on arithmetic overflow.
std::optional<LinearForm> evaluate(const TermBank& bank, const LinearInterpretation& interpretation,
                                   TermId t);
// Returns: true iff [l] >= [r] for all values.
bool weakly_decreasing(const TermBank& bank, const LinearInterpretation& interpretation, TermId l,
                       TermId r);
// Returns: true iff [l] > [r] for all values (as far as coefficient-wise comparison shows).
bool strictly_decreasing(const TermBank& bank, const LinearInterpretation& interpretation, TermId l,
                         TermId r);
// Returns: true iff every coefficient is at least 1.
bool strictly_monotone(const LinearInterpretation& interpretation);
// Returns: e.g. "[f](x1,x2) = 1 + x1 + 2*x2" for each symbol in shown (all when empty),
// separated by separator.
std::string describe_interpretation(const Signature& signature,
                                    const LinearInterpretation& interpretation,
                                    const std::string& separator,
                                    const std::vector<SymbolId>& shown = {});

struct PolyProof {
  LinearInterpretation interpretation;
};

// Returns: true iff the interpretation is well formed, strictly monotone and every rule of trs
// strictly decreases.
bool poly_orients(const Trs& trs, const PolyProof& proof);

}  // namespace Termination
