// The dependency-pair framework as a search: processors applied to cyclic components until
// none is left.
//
// Each component first meets the subterm criterion (a SAT problem over one-hot choices of a
// projection per tuple symbol: every pair needs pi(s) to contain pi(t), at least one properly),
// then reduction pairs from linear interpretations of growing size over its usable rules. A
// processor that removes pairs leaves the cyclic components of the rest on the work list; a
// component that no processor shrinks ends the search without a proof. The steps found form a
// DpProof for the checker.
#pragma once

#include <iosfwd>
#include <optional>

#include "deadline.hpp"
#include "dependency_pairs.hpp"
#include "dp_proof.hpp"

namespace Termination {

// Returns: a projection proving some pairs of the component removable, or nothing.
std::optional<DpStep> find_subterm_criterion(const DpProblem& problem,
                                             const std::vector<int>& component,
                                             const Deadline& deadline);
// Changes: writes the pairs of a component that no processor shrinks to trace, when given.
// Returns: a dependency-pair proof for trs, or nothing. Throws: TimeUp.
std::optional<DpProof> find_dp_proof(const Trs& trs, const Deadline& deadline,
                                     std::ostream* trace = nullptr);

}  // namespace Termination
