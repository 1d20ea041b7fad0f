// Direct KBO comparison (see kbo.hpp).
#include "kbo.hpp"

#include "term_ops.hpp"

namespace Termination {
namespace {

long weight(const TermBank& bank, const KboProof& proof, TermId t) {
  if (bank.is_variable(t)) return 1;
  long w = proof.weights[bank.symbol_of(t)];
  for (TermId a : bank.args(t)) w += weight(bank, proof, a);
  return w;
}

bool variables_dominate(const TermBank& bank, TermId s, TermId t) {
  for (VarId x : variables_of(bank, t))
    if (count_variable(bank, s, x) < count_variable(bank, t, x)) return false;
  return true;
}

}  // namespace

bool kbo_admissible(const Signature& signature, const KboProof& proof) {
  int n = signature.size();
  if (static_cast<int>(proof.weights.size()) != n || static_cast<int>(proof.levels.size()) != n)
    return false;
  for (SymbolId f = 0; f < n; ++f) {
    if (proof.weights[f] < 0 || (signature.arity(f) == 0 && proof.weights[f] < 1)) return false;
    if (signature.arity(f) != 1 || proof.weights[f] != 0) continue;
    for (SymbolId g = 0; g < n; ++g)
      if (g != f && proof.levels[g] >= proof.levels[f]) return false;
  }
  return true;
}

bool kbo_greater(const TermBank& bank, const KboProof& proof, TermId s, TermId t) {
  if (s == t || bank.is_variable(s)) return false;
  if (bank.is_variable(t)) return is_subterm(bank, t, s);
  if (!variables_dominate(bank, s, t)) return false;
  long ws = weight(bank, proof, s), wt = weight(bank, proof, t);
  if (ws != wt) return ws > wt;
  SymbolId f = bank.symbol_of(s), g = bank.symbol_of(t);
  if (f != g) return proof.levels[f] > proof.levels[g];
  const auto& ss = bank.args(s);
  const auto& ts = bank.args(t);
  for (std::size_t k = 0; k < ss.size(); ++k)
    if (ss[k] != ts[k]) return kbo_greater(bank, proof, ss[k], ts[k]);
  return false;
}

bool kbo_orients(const Trs& trs, const KboProof& proof) {
  if (!kbo_admissible(trs.signature, proof)) return false;
  for (const Rule& rule : trs.rules)
    if (!kbo_greater(trs.bank, proof, rule.lhs, rule.rhs)) return false;
  return true;
}

std::string describe_weights(const Signature& signature, const KboProof& proof) {
  std::string out;
  for (SymbolId f = 0; f < signature.size(); ++f) {
    if (f > 0) out += ", ";
    out += "w(" + signature.name(f) + ") = " + std::to_string(proof.weights[f]);
  }
  return out;
}

}  // namespace Termination
