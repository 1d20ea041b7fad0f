// Matrix interpretations over the naturals, evaluated directly: the checker side of every
// matrix proof, for plain termination and inside the dependency-pair framework.
//
// A symbol f of arity n is read as [f](x1..xn) = M1*x1 + ... + Mn*xn + c with d x d matrices Mi
// and a vector c of naturals; variables range over N^d. A term then denotes an affine form:
// a matrix per variable plus a constant vector. [l] >= [r] for all values iff every matrix and
// the constant of [l] are entrywise at least those of [r]; [l] > [r] additionally needs a larger
// first constant component. The order on vectors (first component greater, the others at least
// equal) is well founded, every interpretation is weakly monotone, and it is strictly monotone
// when the upper-left entry of every Mi is at least 1: then l > r for all rules proves
// termination, and weak and strict decrease give a C_e-compatible reduction pair for dependency
// pairs. Linear polynomial interpretations are the case d = 1. Overflow fails the check.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "trs.hpp"

namespace Termination {

using Vector = std::vector<std::int64_t>;
using Matrix = std::vector<std::int64_t>;  // row-major, d * d entries

struct MatrixInterpretation {
  int dimension = 2;
  std::vector<Vector> constants;              // [f]
  std::vector<std::vector<Matrix>> matrices;  // [f][argument]
};

struct AffineForm {
  Vector constant;
  std::map<VarId, Matrix> matrices;
};

// Returns: true iff the shapes fit the signature and every entry is a natural.
bool well_formed(const Signature& signature, const MatrixInterpretation& interpretation);
// Needs: a well-formed interpretation. Returns: [t], or nothing on overflow.
std::optional<AffineForm> evaluate(const TermBank& bank, const MatrixInterpretation& interpretation,
                                   TermId t);
bool weakly_decreasing(const TermBank& bank, const MatrixInterpretation& interpretation, TermId l,
                       TermId r);
bool strictly_decreasing(const TermBank& bank, const MatrixInterpretation& interpretation, TermId l,
                         TermId r);
// Returns: true iff the upper-left entry of every matrix is at least 1.
bool strictly_monotone(const MatrixInterpretation& interpretation);
// Returns: the interpretation of the symbols in shown (all when empty), e.g.
// "[f](x1) = [[1,0],[0,1]]*x1 + [1,0]", separated by separator.
std::string describe_interpretation(const Signature& signature,
                                    const MatrixInterpretation& interpretation,
                                    const std::string& separator,
                                    const std::vector<SymbolId>& shown = {});

struct MatrixProof {
  MatrixInterpretation interpretation;
};

// Returns: true iff the interpretation is well formed, strictly monotone and every rule of trs
// strictly decreases.
bool matrix_orients(const Trs& trs, const MatrixProof& proof);

}  // namespace Termination
