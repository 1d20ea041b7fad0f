// Orientation of equations (module Orient): which directions of an equation keep the branch's
// rules terminating.
#pragma once

#include <vector>

#include "terms/terms.hpp"

namespace Orient {

enum class Orientation { LR, RL, BOTH, NEITHER };

struct OrientationResult {
  Orientation orientation;
  double lr_seconds;  // the largest finite double when l -> r was not tested
  double rl_seconds;
};

// Records an input axiom as a fixed orientation; fails with "Axiom already oriented" when the
// exchanged canonical pair is already recorded.
void add_axiom(const Terms::Equation& e);
Orientation axiom_filter(const Terms::Equation& e, Orientation candidate);

// Tests the directions of e against the constraint rules (pre-tests, cache, then prover).
OrientationResult orient_all(const Terms::Equation& e, const std::vector<Terms::Rule>& rules);

}  // namespace Orient
