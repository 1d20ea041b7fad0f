// SAT encoding of LPO with argument filtering (see argument_filter_search.hpp).
#include "argument_filter_search.hpp"

#include <bit>
#include <unordered_map>

#include "formula.hpp"
#include "usable_encoding.hpp"

namespace Termination {
namespace {

std::uint64_t key(TermId s, TermId t) {
  return (static_cast<std::uint64_t>(s) << 32) | static_cast<std::uint32_t>(t);
}

class FilteredLpoEncoder {
 public:
  FilteredLpoEncoder(Formula& formula, const Trs& trs)
      : formula_(formula), bank_(trs.bank), signature_(trs.signature) {
    int n = signature_.size();
    int width =
        std::max(1, static_cast<int>(std::bit_width(static_cast<unsigned>(std::max(1, n - 1)))));
    for (SymbolId f = 0; f < n; ++f) {
      levels_.push_back(formula.number(width));
      int arity = signature_.arity(f);
      collapse_.push_back(arity == 0 ? Formula::bottom() : formula.fresh());
      std::vector<Lit> keep;
      for (int i = 0; i < arity; ++i) keep.push_back(formula.fresh());
      std::vector<Lit> some{-collapse_[f]};
      some.insert(some.end(), keep.begin(), keep.end());
      formula.clause(some);
      for (int i = 0; i < arity; ++i)
        for (int j = i + 1; j < arity; ++j) formula.clause({-collapse_[f], -keep[i], -keep[j]});
      keep_.push_back(std::move(keep));
      reversed_.push_back(arity >= 2 ? formula.fresh() : Formula::bottom());
    }
  }

  Lit ge(TermId s, TermId t) { return formula_.disj(gt(s, t), eq(s, t)); }

  Lit gt(TermId s, TermId t) {
    auto it = gt_memo_.find(key(s, t));
    if (it != gt_memo_.end()) return it->second;
    Lit result = encode_gt(s, t);
    gt_memo_.emplace(key(s, t), result);
    return result;
  }

  Lit eq(TermId s, TermId t) {
    auto it = eq_memo_.find(key(s, t));
    if (it != eq_memo_.end()) return it->second;
    Lit result = encode_eq(s, t);
    eq_memo_.emplace(key(s, t), result);
    return result;
  }

  // Returns: for each of weak, whether its root's rules are usable for pairs with respect to the
  // filtering (a position is regarded when it is kept or collapsed to).
  std::vector<Lit> usable(const std::vector<Rule>& weak, const std::vector<Rule>& pairs) {
    return encode_usable(formula_, bank_, weak, pairs,
                         [&](SymbolId f, int i) { return keep_[f][i]; });
  }

  FilteredLpo model() const {
    FilteredLpo out;
    for (SymbolId f = 0; f < signature_.size(); ++f) {
      out.levels.push_back(static_cast<int>(formula_.value(levels_[f])));
      bool collapse = formula_.value(collapse_[f]);
      out.filter.collapse.push_back(-1);
      out.filter.kept.emplace_back();
      for (int i = 0; i < signature_.arity(f); ++i) {
        if (!formula_.value(keep_[f][i])) continue;
        if (collapse)
          out.filter.collapse[f] = i;
        else
          out.filter.kept[f].push_back(i);
      }
      out.status.push_back(formula_.value(reversed_[f]) ? Status::RightToLeft
                                                        : Status::LeftToRight);
    }
    return out;
  }

 private:
  // Returns: the disjunction over arguments i of u of keep(i) and part(i).
  template <class Part>
  Lit through_kept(TermId u, Part part) {
    SymbolId f = bank_.symbol_of(u);
    std::vector<TermId> args = bank_.copy_args(u);
    std::vector<Lit> cases;
    for (std::size_t i = 0; i < args.size(); ++i)
      cases.push_back(formula_.conj(keep_[f][i], part(args[i])));
    return formula_.disj(cases);
  }

  Lit encode_eq(TermId s, TermId t) {
    if (s == t) return Formula::top();
    bool vs = bank_.is_variable(s), vt = bank_.is_variable(t);
    if (vs && vt) return Formula::bottom();
    if (vs)
      return formula_.conj(collapse_[bank_.symbol_of(t)],
                           through_kept(t, [&](TermId tj) { return eq(s, tj); }));
    Lit by_s = through_kept(s, [&](TermId si) { return eq(si, t); });
    if (vt) return formula_.conj(collapse_[bank_.symbol_of(s)], by_s);
    SymbolId f = bank_.symbol_of(s), g = bank_.symbol_of(t);
    Lit by_t = through_kept(t, [&](TermId tj) { return eq(s, tj); });
    return formula_.ite(collapse_[f], by_s, formula_.ite(collapse_[g], by_t, same_root(s, t)));
  }

  Lit same_root(TermId s, TermId t) {
    SymbolId f = bank_.symbol_of(s);
    if (f != bank_.symbol_of(t)) return Formula::bottom();
    std::vector<Lit> parts;
    auto ss = bank_.args(s);
    auto ts = bank_.args(t);
    for (std::size_t i = 0; i < ss.size(); ++i)
      parts.push_back(formula_.disj(-keep_[f][i], eq(ss[i], ts[i])));
    return formula_.conj(parts);
  }

  Lit encode_gt(TermId s, TermId t) {
    if (s == t || bank_.is_variable(s)) return Formula::bottom();
    SymbolId f = bank_.symbol_of(s);
    if (bank_.is_variable(t))
      return through_kept(s, [&](TermId si) {
        return formula_.disj(gt(si, t), formula_.conj(-collapse_[f], eq(si, t)));
      });
    SymbolId g = bank_.symbol_of(t);
    Lit by_s = through_kept(s, [&](TermId si) { return gt(si, t); });
    Lit by_t = through_kept(t, [&](TermId tj) { return gt(s, tj); });
    return formula_.ite(collapse_[f], by_s, formula_.ite(collapse_[g], by_t, lpo_case(s, t)));
  }

  Lit lpo_case(TermId s, TermId t) {
    SymbolId f = bank_.symbol_of(s), g = bank_.symbol_of(t);
    Lit subterm = through_kept(s, [&](TermId si) { return ge(si, t); });
    std::vector<Lit> dominates;
    std::vector<TermId> ts = bank_.copy_args(t);
    for (std::size_t j = 0; j < ts.size(); ++j)
      dominates.push_back(formula_.disj(-keep_[g][j], gt(s, ts[j])));
    Lit head = f == g ? lexicographic(s, t) : formula_.greater(levels_[f], levels_[g]);
    return formula_.disj(subterm, formula_.conj(formula_.conj(dominates), head));
  }

  Lit lexicographic(TermId s, TermId t) {
    SymbolId f = bank_.symbol_of(s);
    return formula_.ite(reversed_[f], lexicographic(s, t, true), lexicographic(s, t, false));
  }

  // The kept arguments compared in order (or in reverse), skipping equal ones.
  Lit lexicographic(TermId s, TermId t, bool reversed) {
    SymbolId f = bank_.symbol_of(s);
    std::vector<TermId> ss = bank_.copy_args(s), ts = bank_.copy_args(t);
    std::size_t n = ss.size();
    Lit rest = Formula::bottom();
    for (std::size_t i = n; i-- > 0;) {
      std::size_t k = reversed ? n - 1 - i : i;
      Lit keep = keep_[f][k];
      rest = formula_.disj(formula_.conj(keep, gt(ss[k], ts[k])),
                           formula_.conj(formula_.disj(-keep, eq(ss[k], ts[k])), rest));
    }
    return rest;
  }

  Formula& formula_;
  const TermBank& bank_;
  const Signature& signature_;
  std::vector<Bits> levels_;
  std::vector<Lit> collapse_;
  std::vector<std::vector<Lit>> keep_;
  std::vector<Lit> reversed_;  // by symbol: kept arguments compared right to left
  std::unordered_map<std::uint64_t, Lit> gt_memo_, eq_memo_;
};

}  // namespace

std::optional<FilteredLpo> find_filtered_lpo(const Trs& trs, const std::vector<Rule>& weak,
                                             const std::vector<Rule>& pairs,
                                             const Deadline& deadline) {
  Formula formula;
  FilteredLpoEncoder encoder(formula, trs);
  std::vector<Lit> usable = encoder.usable(weak, pairs);
  for (std::size_t i = 0; i < weak.size(); ++i)
    formula.clause({-usable[i], encoder.ge(weak[i].lhs, weak[i].rhs)});
  std::vector<Lit> strict;
  for (const Rule& pair : pairs) {
    formula.require(encoder.ge(pair.lhs, pair.rhs));
    strict.push_back(encoder.gt(pair.lhs, pair.rhs));
  }
  formula.require(formula.disj(strict));
  deadline.check();
  SatResult result = formula.solve(deadline);
  if (result == SatResult::Interrupted) throw TimeUp{};
  if (result == SatResult::Unsatisfiable) return std::nullopt;
  return encoder.model();
}

}  // namespace Termination
