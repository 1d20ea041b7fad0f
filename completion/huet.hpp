// The completion engine's entry point and signals (module Huet).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "driver/failure.hpp"
#include "terms/conjectures.hpp"
#include "terms/terms.hpp"

namespace Huet {

// The current branch is abandoned; caught only by the main loop.
struct FAIL : Korvath::Error {
  std::string description() const override { return "Huet.FAIL"; }
};

// Every conjecture has been decided (and complete is off); caught by the driver.
struct CONJECTURES_SOLVED : Korvath::Error {
  std::string description() const override { return "Huet.CONJECTURES_SOLVED"; }
};

using Result = std::pair<std::vector<Terms::Rule>, std::vector<Conjectures::Conjecture>>;

// Runs the search (or the find-all loop) from a fresh root node.
Result grind(const std::vector<Terms::Equation>& equations,
             const std::vector<Conjectures::Conjecture>& conjectures, bool find_all);

}  // namespace Huet
