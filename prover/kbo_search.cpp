// SAT encoding of the KBO constraints (see kbo_search.hpp).
#include "kbo_search.hpp"

#include <bit>
#include <map>
#include <unordered_map>

#include "formula.hpp"
#include "order_constraints.hpp"
#include "term_ops.hpp"

namespace Termination {
namespace {

constexpr int kWeightBits = 4;

void count_occurrences(const TermBank& bank, TermId t, int sign, std::map<SymbolId, long>& symbols,
                       long& variables) {
  if (bank.is_variable(t)) {
    variables += sign;
    return;
  }
  symbols[bank.symbol_of(t)] += sign;
  for (TermId a : bank.args(t)) count_occurrences(bank, a, sign, symbols, variables);
}

bool variables_dominate(const TermBank& bank, TermId s, TermId t) {
  for (VarId x : variables_of(bank, t))
    if (count_variable(bank, s, x) < count_variable(bank, t, x)) return false;
  return true;
}

class KboEncoder {
 public:
  KboEncoder(Formula& formula, const Trs& trs) : formula_(formula), bank_(trs.bank) {
    int n = trs.signature.size();
    int width =
        std::max(1, static_cast<int>(std::bit_width(static_cast<unsigned>(std::max(1, n - 1)))));
    for (SymbolId f = 0; f < n; ++f) {
      weights_.push_back(formula.number(kWeightBits));
      levels_.push_back(formula.number(width));
    }
    admissibility(trs.signature);
  }

  Lit greater(TermId s, TermId t) {
    std::uint64_t key = (static_cast<std::uint64_t>(s) << 32) | static_cast<std::uint32_t>(t);
    auto it = memo_.find(key);
    if (it != memo_.end()) return it->second;
    Lit result = encode(s, t);
    memo_.emplace(key, result);
    return result;
  }

  KboProof proof() const {
    KboProof out;
    for (const Bits& b : weights_) out.weights.push_back(static_cast<int>(formula_.value(b)));
    for (const Bits& b : levels_) out.levels.push_back(static_cast<int>(formula_.value(b)));
    return out;
  }

 private:
  void admissibility(const Signature& signature) {
    for (SymbolId f = 0; f < signature.size(); ++f) {
      if (signature.arity(f) == 0) formula_.require(-formula_.is_zero(weights_[f]));
      if (signature.arity(f) != 1) continue;
      Lit zero = formula_.is_zero(weights_[f]);
      for (SymbolId g = 0; g < signature.size(); ++g)
        if (g != f) formula_.clause({-zero, formula_.greater(levels_[f], levels_[g])});
    }
  }

  Lit encode(TermId s, TermId t) {
    if (s == t || bank_.is_variable(s)) return Formula::bottom();
    if (bank_.is_variable(t)) return is_subterm(bank_, t, s) ? Formula::top() : Formula::bottom();
    if (!variables_dominate(bank_, s, t)) return Formula::bottom();
    auto [heavier, same] = compare_weights(s, t);
    Lit tie = formula_.conj(same, tie_break(s, t));
    return formula_.disj(heavier, tie);
  }

  std::pair<Lit, Lit> compare_weights(TermId s, TermId t) {
    std::map<SymbolId, long> symbols;
    long variables = 0;
    count_occurrences(bank_, s, 1, symbols, variables);
    count_occurrences(bank_, t, -1, symbols, variables);
    Bits positive = formula_.constant(static_cast<std::uint64_t>(variables));
    Bits negative;
    for (const auto& [f, c] : symbols) {
      if (c > 0) positive = formula_.add(positive, formula_.scale(weights_[f], c));
      if (c < 0) negative = formula_.add(negative, formula_.scale(weights_[f], -c));
    }
    return {formula_.greater(positive, negative), formula_.equal(positive, negative)};
  }

  Lit tie_break(TermId s, TermId t) {
    SymbolId f = bank_.symbol_of(s), g = bank_.symbol_of(t);
    if (f != g) return formula_.greater(levels_[f], levels_[g]);
    const auto& ss = bank_.args(s);
    const auto& ts = bank_.args(t);
    for (std::size_t k = 0; k < ss.size(); ++k)
      if (ss[k] != ts[k]) return greater(ss[k], ts[k]);
    return Formula::bottom();
  }

  Formula& formula_;
  const TermBank& bank_;
  std::vector<Bits> weights_;
  std::vector<Bits> levels_;
  std::unordered_map<std::uint64_t, Lit> memo_;
};

}  // namespace

std::optional<KboProof> find_kbo(const Trs& trs, const Deadline& deadline) {
  Formula formula;
  KboEncoder encoder(formula, trs);
  if (!solve_all_decreasing(formula, encoder, trs, deadline)) return std::nullopt;
  return encoder.proof();
}

}  // namespace Termination
