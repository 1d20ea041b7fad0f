// Conjecture decision by normal forms (module Conjectures).
#pragma once

#include <vector>

#include "terms/terms.hpp"

namespace Conjectures {

struct Conjecture {
  bool positive;  // true: claims s = t; false: claims s != t
  Terms::Equation equation;
};

// Reports (three lines at level quiet) and drops every conjecture whose sides have equal normal
// forms under rules; returns the others in their order.
std::vector<Conjecture> semidecide_conjectures(const std::vector<Terms::Rule>& rules,
                                               const std::vector<Conjecture>& conjectures);
// Decides and reports one conjecture, taking rules as complete.
void decide_conjecture(const std::vector<Terms::Rule>& rules, const Conjecture& conjecture);

}  // namespace Conjectures
