// Direct LPO comparison (see lpo.hpp). Memoised on the pair of term ids, so shared subterms are
// compared once.
#include "lpo.hpp"

#include <unordered_map>

#include "term_ops.hpp"

namespace Termination {
namespace {

class LpoComparer {
 public:
  LpoComparer(const TermBank& bank, const Levels& levels) : bank_(bank), levels_(levels) {}

  bool greater(TermId s, TermId t) {
    std::uint64_t key = (static_cast<std::uint64_t>(s) << 32) | static_cast<std::uint32_t>(t);
    auto it = memo_.find(key);
    if (it != memo_.end()) return it->second;
    bool result = compute(s, t);
    memo_.emplace(key, result);
    return result;
  }

 private:
  bool compute(TermId s, TermId t) {
    if (s == t || bank_.is_variable(s)) return false;
    if (bank_.is_variable(t)) return is_subterm(bank_, t, s);
    for (TermId si : bank_.args(s))
      if (si == t || greater(si, t)) return true;
    SymbolId f = bank_.symbol_of(s), g = bank_.symbol_of(t);
    if (levels_[f] < levels_[g]) return false;
    for (TermId tj : bank_.args(t))
      if (!greater(s, tj)) return false;
    if (levels_[f] > levels_[g]) return true;
    const auto& ss = bank_.args(s);
    const auto& ts = bank_.args(t);
    if (ss.size() != ts.size()) return false;
    for (std::size_t k = 0; k < ss.size(); ++k)
      if (ss[k] != ts[k]) return greater(ss[k], ts[k]);
    return false;
  }

  const TermBank& bank_;
  const Levels& levels_;
  std::unordered_map<std::uint64_t, bool> memo_;
};

}  // namespace

bool lpo_greater(const TermBank& bank, const Levels& levels, TermId s, TermId t) {
  return LpoComparer(bank, levels).greater(s, t);
}

bool lpo_orients(const Trs& trs, const LpoProof& proof) {
  if (static_cast<int>(proof.levels.size()) != trs.signature.size()) return false;
  LpoComparer comparer(trs.bank, proof.levels);
  for (const Rule& rule : trs.rules)
    if (!comparer.greater(rule.lhs, rule.rhs)) return false;
  return true;
}

}  // namespace Termination
