// Search for a matrix interpretation, as a SAT problem.
//
// Like the linear search (poly_search.hpp), with every unknown a small free number: the entries
// of each symbol's matrices and constant vector. The affine form of every subterm is a circuit,
// memoised per term: its constant is c_f + sum Mi * c(ti) and its matrix for a variable x is
// sum Mi * Mx(ti), built from exact adders and multipliers. Constraints compare the forms
// entrywise, with the first constant component strictly greater for strict constraints. For a
// strictly monotone interpretation the upper-left entry of every matrix is 1 plus a free number.
#pragma once

#include <optional>

#include "deadline.hpp"
#include "matrix.hpp"
#include "poly_search.hpp"

namespace Termination {

struct MatrixShape {
  int dimension = 2;
  int entry_bits = 1;
  int constant_bits = 2;
  bool monotone = true;
};

// Returns: an interpretation of every symbol of trs.signature meeting the constraints, or
// nothing. Throws: TimeUp when the deadline passes.
std::optional<MatrixInterpretation> find_matrix_interpretation(const Trs& trs,
                                                               const PolyConstraints& constraints,
                                                               const MatrixShape& shape,
                                                               const Deadline& deadline);

}  // namespace Termination
