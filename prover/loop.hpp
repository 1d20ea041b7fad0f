// Loops: the evidence behind every NO.
//
// A loop is a term s and a rewrite sequence s ->+ t such that some subterm of t is an instance
// of s: t|p = mu(s). Then s ->+ C[mu(s)] ->+ C[mu(C)[mu(mu(s))]] ... is infinite, because
// rewriting is closed under substitutions and contexts. The witness lists the start term, each
// step (position, rule, and the images chosen for right-side variables that the left side does
// not bind) and the position p. check_loop replays the steps by matching and replacing, then
// matches s onto t|p: nothing found by the search is trusted.
#pragma once

#include <string>
#include <vector>

#include "term_ops.hpp"

namespace Termination {

struct RewriteStep {
  Position position;
  int rule = 0;
  Substitution extra;  // images of right-side variables absent from the left side
};

struct LoopWitness {
  TermId start = 0;
  std::vector<RewriteStep> steps;
  Position context;
};

// Needs: step.rule a rule index of trs. Returns: the result of the step on t, or -1 when the
// step does not apply (bad position or the left side does not match there).
TermId rewrite_step(Trs& trs, TermId t, const RewriteStep& step);
// Returns: true iff the witness is a genuine loop of trs (at least one step, every step applies,
// the start term matches the subterm of the last term at the context position).
bool check_loop(Trs& trs, const LoopWitness& witness);
// Returns: a readable account of the loop, one line per step.
std::string describe_loop(Trs& trs, const LoopWitness& witness);

}  // namespace Termination
