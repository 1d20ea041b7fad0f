// Critical pairs (module Cp).
#pragma once

#include <utility>
#include <vector>

#include "terms/terms.hpp"

namespace Cp {

using Pair = std::pair<Terms::Term, Terms::Term>;

// Largest variable suffix of t (0 when ground).
long maxindex(const Terms::Term& t);
// t with n added to every variable suffix.
Terms::Term rename(long n, const Terms::Term& t);
// All critical pairs of inner rules overlapping into the (renamed-apart) outer rules' left
// sides, last found first.  Each pair is (instance of the outer rhs, instance of the outer lhs
// with the inner rhs put in).
std::vector<Pair> critical_pairs(const std::vector<Terms::Rule>& inner,
                                 const std::vector<Terms::Rule>& outer);

}  // namespace Cp
