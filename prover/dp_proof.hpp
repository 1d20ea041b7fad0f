// Dependency-pair proofs and their independent check.
//
// A proof is a list of steps, each naming a cyclic component of pairs (by pair index) and a
// processor with its parameters: a projection for the subterm criterion (one argument index per
// tuple symbol), or a reduction pair over the extended signature: a linear interpretation, an
// LPO with argument filtering, or a matrix interpretation.
//
// check_dp_proof rebuilds the pairs and the graph from the rules, then works through the
// components like the search did: for each cyclic component it looks up the step for exactly
// that set of pairs, recomputes which pairs the step's parameters make strictly decreasing
// (requiring all others to decrease weakly, the usable rules too for reduction pairs, and at
// least one strict pair), and goes on with the components of what is left. The proof holds when
// every component met is settled.
//
// Subterm criterion: with a projection pi, if pi(s) is a superterm of pi(t) for every pair of a
// component, the pairs with a proper superterm can be removed (no rule constraints needed).
#pragma once

#include <string>
#include <vector>

#include "argument_filter.hpp"
#include "matrix.hpp"
#include "polynomial.hpp"
#include "trs.hpp"

namespace Termination {

enum class DpProcessor { SubtermCriterion, Polynomial, FilteredLpo, Matrix };

struct DpStep {
  std::vector<int> component;  // sorted pair indices
  DpProcessor processor = DpProcessor::SubtermCriterion;
  std::vector<int> projection;          // by symbol of the extended signature, -1 if none
  LinearInterpretation interpretation;  // over the extended signature
  FilteredLpo lpo;                      // over the extended signature
  MatrixInterpretation matrix;          // over the extended signature
};

struct DpProof {
  bool narrowed = false;  // the pairs were narrowed first (make_dp_problem)
  std::vector<DpStep> steps;
};

struct DpProblem;

// Returns: the pairs of the component that the step removes, or nothing when the step's
// conditions fail on the component.
std::optional<std::vector<int>> step_removes(const DpProblem& problem, const DpStep& step);
// Returns: true iff the proof settles every cyclic component of trs's dependency pairs.
bool check_dp_proof(const Trs& trs, const DpProof& proof);
// Returns: a readable account of the pairs and the steps.
std::string describe_dp_proof(const Trs& trs, const DpProof& proof);

}  // namespace Termination
