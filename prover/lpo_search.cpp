// SAT encoding of the LPO constraints (see lpo_search.hpp).
#include "lpo_search.hpp"

#include <bit>
#include <unordered_map>

#include "formula.hpp"
#include "order_constraints.hpp"
#include "term_ops.hpp"

namespace Termination {
namespace {

class LpoEncoder {
 public:
  LpoEncoder(Formula& formula, const Trs& trs, bool with_status)
      : formula_(formula), bank_(trs.bank), with_status_(with_status) {
    int width = std::max(1, static_cast<int>(std::bit_width(
                                static_cast<unsigned>(std::max(1, trs.signature.size() - 1)))));
    for (SymbolId f = 0; f < trs.signature.size(); ++f) {
      levels_.push_back(formula.number(width));
      // Status only matters from two arguments on; below that both bits stay false.
      bool free = with_status && trs.signature.arity(f) >= 2;
      multiset_.push_back(free ? formula.fresh() : Formula::bottom());
      reversed_.push_back(free ? formula.fresh() : Formula::bottom());
      if (free) formula.clause({-multiset_.back(), -reversed_.back()});
    }
  }

  Lit greater(TermId s, TermId t) {
    std::uint64_t key = (static_cast<std::uint64_t>(s) << 32) | static_cast<std::uint32_t>(t);
    auto it = memo_.find(key);
    if (it != memo_.end()) return it->second;
    Lit result = encode(s, t);
    memo_.emplace(key, result);
    return result;
  }

  LpoProof proof() const {
    LpoProof out;
    for (const Bits& b : levels_) out.levels.push_back(static_cast<int>(formula_.value(b)));
    if (!with_status_) return out;
    for (std::size_t f = 0; f < levels_.size(); ++f)
      out.status.push_back(formula_.value(multiset_[f])   ? Status::Multiset
                           : formula_.value(reversed_[f]) ? Status::RightToLeft
                                                          : Status::LeftToRight);
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
    Lit lex_case = formula_.conj(equivalent(f, g), same_status_case(f, g, s, t));
    return formula_.disj(subterm_case,
                         formula_.conj(all, formula_.disj(precedence_case, lex_case)));
  }

  Lit equivalent(SymbolId f, SymbolId g) {
    return f == g ? Formula::top() : formula_.equal(levels_[f], levels_[g]);
  }

  // Returns: f and g share a status and the arguments of s beat those of t under it.
  Lit same_status_case(SymbolId f, SymbolId g, TermId s, TermId t) {
    Lit left_to_right = formula_.conj(-multiset_[f], -reversed_[f]);
    Lit same = f == g ? Formula::top()
                      : formula_.conj(formula_.iff(multiset_[f], multiset_[g]),
                                      formula_.iff(reversed_[f], reversed_[g]));
    Lit by_status = formula_.conj(left_to_right, lexicographic(s, t, false));
    if (with_status_ && bank_.args(s).size() >= 2) {
      by_status = formula_.disj(by_status, formula_.conj(reversed_[f], lexicographic(s, t, true)));
      by_status = formula_.disj(by_status, formula_.conj(multiset_[f], multiset(s, t)));
    }
    return formula_.conj(same, by_status);
  }

  Lit lexicographic(TermId s, TermId t, bool reversed) {
    const auto& ss = bank_.args(s);
    const auto& ts = bank_.args(t);
    std::size_t n = ss.size();
    if (n != ts.size()) return Formula::bottom();
    for (std::size_t i = 0; i < n; ++i) {
      std::size_t k = reversed ? n - 1 - i : i;
      if (ss[k] != ts[k]) return greater(ss[k], ts[k]);
    }
    return Formula::bottom();
  }

  // Dershowitz-Manna on the arguments, with syntactic equality (as the checker computes it).
  Lit multiset(TermId s, TermId t) {
    auto [left, right] = multiset_difference(bank_, s, t);
    if (left.empty()) return Formula::bottom();
    std::vector<Lit> covered;
    for (TermId tj : right) {
      std::vector<Lit> by;
      for (TermId si : left) by.push_back(greater(si, tj));
      covered.push_back(formula_.disj(by));
    }
    return formula_.conj(covered);
  }

  Formula& formula_;
  const TermBank& bank_;
  bool with_status_;
  std::vector<Bits> levels_;
  std::vector<Lit> multiset_, reversed_;  // status bits by symbol (both false: left to right)
  std::unordered_map<std::uint64_t, Lit> memo_;
};

}  // namespace

std::optional<LpoProof> find_lpo(const Trs& trs, const Deadline& deadline, bool with_status) {
  Formula formula;
  LpoEncoder encoder(formula, trs, with_status);
  if (!solve_all_decreasing(formula, encoder, trs, deadline)) return std::nullopt;
  return encoder.proof();
}

}  // namespace Termination
