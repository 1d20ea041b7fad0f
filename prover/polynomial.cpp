// Evaluation of linear interpretations with overflow checks (see polynomial.hpp).
#include "polynomial.hpp"

namespace Termination {
namespace {

bool add_to(std::int64_t& target, std::int64_t a, std::int64_t b) {
  std::int64_t product;
  if (__builtin_mul_overflow(a, b, &product)) return false;
  return !__builtin_add_overflow(target, product, &target);
}

bool compare(const TermBank& bank, const LinearInterpretation& interpretation, TermId l, TermId r,
             bool strict) {
  auto left = evaluate(bank, interpretation, l);
  auto right = evaluate(bank, interpretation, r);
  if (!left || !right) return false;
  if (strict ? left->constant <= right->constant : left->constant < right->constant) return false;
  for (const auto& [x, a] : right->coefficients) {
    auto it = left->coefficients.find(x);
    if ((it == left->coefficients.end() ? 0 : it->second) < a) return false;
  }
  return true;
}

}  // namespace

bool well_formed(const Signature& signature, const LinearInterpretation& interpretation) {
  int n = signature.size();
  if (static_cast<int>(interpretation.constants.size()) != n ||
      static_cast<int>(interpretation.coefficients.size()) != n)
    return false;
  for (SymbolId f = 0; f < n; ++f) {
    if (interpretation.constants[f] < 0) return false;
    if (static_cast<int>(interpretation.coefficients[f].size()) != signature.arity(f)) return false;
    for (std::int64_t a : interpretation.coefficients[f])
      if (a < 0) return false;
  }
  return true;
}

std::optional<LinearForm> evaluate(const TermBank& bank, const LinearInterpretation& interpretation,
                                   TermId t) {
  LinearForm out;
  if (bank.is_variable(t)) {
    out.coefficients[bank.variable_of(t)] = 1;
    return out;
  }
  SymbolId f = bank.symbol_of(t);
  out.constant = interpretation.constants[f];
  const auto& args = bank.args(t);
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::int64_t a = interpretation.coefficients[f][i];
    if (a == 0) continue;
    auto inner = evaluate(bank, interpretation, args[i]);
    if (!inner || !add_to(out.constant, a, inner->constant)) return std::nullopt;
    for (const auto& [x, b] : inner->coefficients)
      if (!add_to(out.coefficients[x], a, b)) return std::nullopt;
  }
  return out;
}

bool weakly_decreasing(const TermBank& bank, const LinearInterpretation& interpretation, TermId l,
                       TermId r) {
  return compare(bank, interpretation, l, r, false);
}

bool strictly_decreasing(const TermBank& bank, const LinearInterpretation& interpretation, TermId l,
                         TermId r) {
  return compare(bank, interpretation, l, r, true);
}

bool strictly_monotone(const LinearInterpretation& interpretation) {
  for (const auto& coefficients : interpretation.coefficients)
    for (std::int64_t a : coefficients)
      if (a < 1) return false;
  return true;
}

std::string describe_interpretation(const Signature& signature,
                                    const LinearInterpretation& interpretation,
                                    const std::string& separator,
                                    const std::vector<SymbolId>& shown) {
  std::vector<SymbolId> symbols = shown;
  if (symbols.empty())
    for (SymbolId f = 0; f < signature.size(); ++f) symbols.push_back(f);
  std::string out;
  for (SymbolId f : symbols) {
    if (!out.empty()) out += separator;
    std::string lhs = "[" + signature.name(f) + "]";
    std::string rhs;
    if (interpretation.constants[f] != 0 || signature.arity(f) == 0)
      rhs = std::to_string(interpretation.constants[f]);
    for (int i = 0; i < signature.arity(f); ++i) {
      lhs += (i == 0 ? "(x" : ",x") + std::to_string(i + 1);
      std::int64_t a = interpretation.coefficients[f][i];
      if (a == 0) continue;
      if (!rhs.empty()) rhs += " + ";
      rhs += (a == 1 ? "" : std::to_string(a) + "*") + "x" + std::to_string(i + 1);
    }
    if (signature.arity(f) > 0) lhs += ")";
    out += lhs + " = " + (rhs.empty() ? "0" : rhs);
  }
  return out;
}

bool poly_orients(const Trs& trs, const PolyProof& proof) {
  if (!well_formed(trs.signature, proof.interpretation)) return false;
  if (!strictly_monotone(proof.interpretation)) return false;
  for (const Rule& rule : trs.rules)
    if (!strictly_decreasing(trs.bank, proof.interpretation, rule.lhs, rule.rhs)) return false;
  return true;
}

}  // namespace Termination
