// SAT encoding of the LPO constraints (see lpo_search.hpp).
#include "lpo_search.hpp"

#include <bit>
#include <unordered_map>

#include "formula.hpp"
#include "term_ops.hpp"

namespace Termination {
namespace {

class LpoEncoder {
 public:
  LpoEncoder(Formula& formula, const Trs& trs) : formula_(formula), bank_(trs.bank) {
    int width = std::max(1, static_cast<int>(std::bit_width(
                                static_cast<unsigned>(std::max(1, trs.signature.size() - 1)))));
    for (SymbolId f = 0; f < trs.signature.size(); ++f) levels_.push_back(formula.number(width));
  }

  Lit greater(TermId s, TermId t) {
    std::uint64_t key = (static_cast<std::uint64_t>(s) << 32) | static_cast<std::uint32_t>(t);
    auto it = memo_.find(key);
    if (it != memo_.end()) return it->second;
    Lit result = encode(s, t);
    memo_.emplace(key, result);
    return result;
  }

  Levels levels() const {
    Levels out;
    for (const Bits& b : levels_) out.push_back(static_cast<int>(formula_.value(b)));
    return out;
  }

 private:
  Lit encode(TermId s, TermId t) {
    if (s == t || bank_.is_variable(s)) return Formula::bottom();
    if (bank_.is_variable(t)) return is_subterm(bank_, t, s) ? Formula::top() : Formula::bottom();
    std::vector<Lit> cases;
    for (TermId si : bank_.args(s)) cases.push_back(si == t ? Formula::top() : greater(si, t));
    Lit subterm_case = formula_.disj(cases);
    if (subterm_case == Formula::top()) return subterm_case;
    std::vector<Lit> dominates;
    for (TermId tj : bank_.args(t)) dominates.push_back(greater(s, tj));
    Lit all = formula_.conj(dominates);
    SymbolId f = bank_.symbol_of(s), g = bank_.symbol_of(t);
    Lit precedence_case = f == g ? Formula::bottom() : formula_.greater(levels_[f], levels_[g]);
    Lit lex_case = formula_.conj(equivalent(f, g), lexicographic(s, t));
    return formula_.disj(subterm_case,
                         formula_.conj(all, formula_.disj(precedence_case, lex_case)));
  }

  Lit equivalent(SymbolId f, SymbolId g) {
    return f == g ? Formula::top() : formula_.equal(levels_[f], levels_[g]);
  }

  Lit lexicographic(TermId s, TermId t) {
    const auto& ss = bank_.args(s);
    const auto& ts = bank_.args(t);
    if (ss.size() != ts.size()) return Formula::bottom();
    for (std::size_t k = 0; k < ss.size(); ++k)
      if (ss[k] != ts[k]) return greater(ss[k], ts[k]);
    return Formula::bottom();
  }

  Formula& formula_;
  const TermBank& bank_;
  std::vector<Bits> levels_;
  std::unordered_map<std::uint64_t, Lit> memo_;
};

}  // namespace

std::optional<LpoProof> find_lpo(const Trs& trs, const Deadline& deadline) {
  Formula formula;
  LpoEncoder encoder(formula, trs);
  for (const Rule& rule : trs.rules) {
    Lit decreasing = encoder.greater(rule.lhs, rule.rhs);
    if (decreasing == Formula::bottom()) return std::nullopt;
    formula.require(decreasing);
  }
  SatResult result = formula.solve(deadline);
  if (result == SatResult::Interrupted) throw TimeUp{};
  if (result == SatResult::Unsatisfiable) return std::nullopt;
  return LpoProof{encoder.levels()};
}

}  // namespace Termination
