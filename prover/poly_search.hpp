// Search for a linear polynomial interpretation, as a SAT problem.
//
// The unknown constants and coefficients are small free numbers (their widths form the shape);
// for a strictly monotone interpretation each coefficient is 1 plus a free number. The linear
// form of every subterm is built as a circuit, memoised per term: its constant is
// c_f + sum a_i * c(t_i) and the coefficient of each variable x is sum a_i * x-coefficient(t_i),
// with exact (widening) adders and multipliers. Each constraint l >= r or l > r becomes
// comparators on the constant and on every variable coefficient. The same search serves plain
// termination (all rules strict, monotone) and reduction pairs for dependency pairs (usable
// rules and pairs weak, at least one pair strict, coefficients may be 0). With filter_usable a
// literal per symbol says whether its rules are usable: the root of a right side (of a pair, or
// of a usable rule) is usable whenever it is reached through arguments with non-zero
// coefficients, and a weak rule needs to decrease only when its root is usable.
#pragma once

#include <optional>
#include <vector>

#include "deadline.hpp"
#include "polynomial.hpp"

namespace Termination {

struct PolyShape {
  int coefficient_bits = 1;
  int constant_bits = 2;
  bool monotone = true;
};

struct PolyConstraints {
  std::vector<Rule> strict;       // each must decrease strictly
  std::vector<Rule> weak;         // each must decrease weakly
  std::vector<Rule> strict_some;  // each weakly, and at least one of them strictly
  // The weak rules are only candidates: each must decrease when it is usable for strict_some
  // with respect to the filtering by zero coefficients (see dependency_pairs.hpp).
  bool filter_usable = false;
};

// Returns: an interpretation of every symbol of trs.signature meeting the constraints, or
// nothing. Throws: TimeUp when the deadline passes.
std::optional<LinearInterpretation> find_linear_interpretation(const Trs& trs,
                                                               const PolyConstraints& constraints,
                                                               const PolyShape& shape,
                                                               const Deadline& deadline);

}  // namespace Termination
