// Termination proof objects, their independent check, their rendering, and their reuse.
//
// A proof object holds only the parameters a technique found (levels, weights, coefficients,
// dependency-pair steps). check_proof recomputes every claim from those parameters on the rules
// themselves, with the direct comparisons of lpo.hpp, kbo.hpp, polynomial.hpp and the
// dependency-pair checker; no solver encoding is trusted.
//
// Proofs are remembered across questions by symbol name: rebind maps a remembered proof onto a
// new signature, giving new symbols neutral parameters (lowest level, weight 1, constant 0 and
// coefficients 1 or identity matrices), after which the proof is checked like any other.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "dp_proof.hpp"
#include "kbo.hpp"
#include "lpo.hpp"
#include "matrix.hpp"
#include "polynomial.hpp"
#include "rule_removal.hpp"

namespace Termination {

using TerminationProof =
    std::variant<LpoProof, KboProof, PolyProof, DpProof, MatrixProof, RemovalProof>;

// Returns: true iff the proof shows that trs terminates.
bool check_proof(Trs& trs, const TerminationProof& proof);
// Returns: a one-line summary, e.g. "LPO with precedence f > g > e".
std::string summarize_proof(const Trs& trs, const TerminationProof& proof);
// Returns: a readable multi-line account of the proof.
std::string describe_proof(const Trs& trs, const TerminationProof& proof);
// Returns: the technique's short name ("lpo", "kbo", "poly", "dp", "matrix", "removal").
std::string technique_of(const TerminationProof& proof);

struct CachedProof {
  std::vector<std::string> names;  // the symbols of the signature the proof was made for
  TerminationProof proof;
};

// Returns: the proof in name-keyed form for later questions.
CachedProof remember(const Signature& signature, const TerminationProof& proof);
// Returns: the remembered proof translated to signature, or nothing when it cannot be (a
// dependency-pair or rule-removal proof, or a symbol whose arity changed).
std::optional<TerminationProof> rebind(const CachedProof& cached, const Signature& signature);

}  // namespace Termination
