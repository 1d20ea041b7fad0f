// Rule removal: a strictly monotone linear interpretation under which every rule decreases
// weakly and some strictly lets the strict ones go, because the system terminates iff the
// remaining rules do (an infinite derivation uses the strict rules only finitely often). After a
// few such steps the remaining rules are proved by dependency pairs.
//
// The proof object lists the interpretations and the dependency-pair proof of what is left;
// check_removal recomputes which rules each interpretation removes, from the rules themselves.
#pragma once

#include <optional>
#include <vector>

#include "deadline.hpp"
#include "dp_proof.hpp"
#include "polynomial.hpp"
#include "trs.hpp"

namespace Termination {

struct RemovalProof {
  std::vector<LinearInterpretation> steps;  // each removes at least one rule
  std::optional<DpProof> rest;              // for the rules left, when there are any
};

// Returns: the rules of trs that are left after the steps, or nothing when a step fails (not
// strictly monotone, some rule increasing, or nothing removed).
std::optional<std::vector<Rule>> rules_after_removal(const Trs& trs, const RemovalProof& proof);
// Returns: true iff the steps hold and the rest proof settles the rules left.
bool check_removal(const Trs& trs, const RemovalProof& proof);
// Returns: a proof that removes at least one rule and proves the rest, or nothing.
// Throws: TimeUp when the deadline passes.
std::optional<RemovalProof> find_removal_proof(const Trs& trs, const Deadline& deadline);

}  // namespace Termination
