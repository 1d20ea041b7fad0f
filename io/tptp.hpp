// The records read from a problem file (module Tptp).
#pragma once

#include <string>
#include <vector>

#include "terms/terms.hpp"

namespace Tptp {

enum class ClauseStatus { Axiom, Hypothesis, Conjecture };

struct Formula {
  bool positive;  // ++equal(l,r) when true, --equal(l,r) when false
  Terms::Term left;
  Terms::Term right;
};

struct Clause {
  std::string name;
  ClauseStatus status;
  std::vector<Formula> formulas;  // never empty
};

}  // namespace Tptp
