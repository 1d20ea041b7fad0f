// Direct LPO/RPO comparison (see lpo.hpp). Memoised on the pair of term ids, so shared subterms
// are compared once.
#include "lpo.hpp"

#include <algorithm>
#include <iterator>
#include <unordered_map>

#include "term_ops.hpp"

namespace Termination {
namespace {

class LpoComparer {
 public:
  LpoComparer(const TermBank& bank, const Levels& levels, const std::vector<Status>& status)
      : bank_(bank), levels_(levels), status_(status) {}

  bool greater(TermId s, TermId t) {
    std::uint64_t key = (static_cast<std::uint64_t>(s) << 32) | static_cast<std::uint32_t>(t);
    auto it = memo_.find(key);
    if (it != memo_.end()) return it->second;
    bool result = compute(s, t);
    memo_.emplace(key, result);
    return result;
  }

 private:
  Status status(SymbolId f) const { return status_.empty() ? Status::LeftToRight : status_[f]; }

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
    if (status(f) != status(g)) return false;
    if (status(f) == Status::Multiset) return multiset_greater(s, t);
    return lexicographic_greater(s, t, status(f) == Status::RightToLeft);
  }

  bool lexicographic_greater(TermId s, TermId t, bool reversed) {
    const auto& ss = bank_.args(s);
    const auto& ts = bank_.args(t);
    std::size_t n = ss.size();
    if (n != ts.size()) return false;
    for (std::size_t i = 0; i < n; ++i) {
      std::size_t k = reversed ? n - 1 - i : i;
      if (ss[k] != ts[k]) return greater(ss[k], ts[k]);
    }
    return false;
  }

  bool multiset_greater(TermId s, TermId t) {
    auto [left, right] = multiset_difference(bank_, s, t);
    if (left.empty()) return false;
    for (TermId tj : right)
      if (std::none_of(left.begin(), left.end(), [&](TermId si) { return greater(si, tj); }))
        return false;
    return true;
  }

  const TermBank& bank_;
  const Levels& levels_;
  const std::vector<Status>& status_;
  std::unordered_map<std::uint64_t, bool> memo_;
};

const std::vector<Status> kNoStatus;

bool fits(const Signature& signature, const LpoProof& proof) {
  auto n = static_cast<std::size_t>(signature.size());
  return proof.levels.size() == n && (proof.status.empty() || proof.status.size() == n);
}

}  // namespace

std::pair<std::vector<TermId>, std::vector<TermId>> multiset_difference(const TermBank& bank,
                                                                        TermId s, TermId t) {
  std::vector<TermId> left = bank.copy_args(s), right = bank.copy_args(t);
  std::sort(left.begin(), left.end());
  std::sort(right.begin(), right.end());
  std::vector<TermId> only_left, only_right;
  std::set_difference(left.begin(), left.end(), right.begin(), right.end(),
                      std::back_inserter(only_left));
  std::set_difference(right.begin(), right.end(), left.begin(), left.end(),
                      std::back_inserter(only_right));
  return {only_left, only_right};
}

bool lpo_greater(const TermBank& bank, const Levels& levels, TermId s, TermId t) {
  return LpoComparer(bank, levels, kNoStatus).greater(s, t);
}

bool rpo_greater(const TermBank& bank, const LpoProof& proof, TermId s, TermId t) {
  return LpoComparer(bank, proof.levels, proof.status).greater(s, t);
}

bool lpo_orients(const Trs& trs, const LpoProof& proof) {
  if (!fits(trs.signature, proof)) return false;
  LpoComparer comparer(trs.bank, proof.levels, proof.status);
  for (const Rule& rule : trs.rules)
    if (!comparer.greater(rule.lhs, rule.rhs)) return false;
  return true;
}

bool has_status(const LpoProof& proof) {
  return std::any_of(proof.status.begin(), proof.status.end(),
                     [](Status s) { return s != Status::LeftToRight; });
}

std::string describe_status(const Signature& signature, const LpoProof& proof) {
  std::string out;
  for (SymbolId f = 0; f < static_cast<SymbolId>(proof.status.size()); ++f) {
    if (proof.status[f] == Status::LeftToRight) continue;
    if (!out.empty()) out += ", ";
    out +=
        signature.name(f) + (proof.status[f] == Status::Multiset ? " multiset" : " right-to-left");
  }
  return out;
}

}  // namespace Termination
