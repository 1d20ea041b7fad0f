// Encoding of usable rules under a chosen filtering (see usable_encoding.hpp). The walk is
// memoised on the pair (term, condition), and conditions are shared gates, so each subterm is
// visited once per distinct path condition.
#include "usable_encoding.hpp"

#include <map>
#include <set>

namespace Termination {

std::vector<Lit> encode_usable(Formula& formula, const TermBank& bank,
                               const std::vector<Rule>& weak, const std::vector<Rule>& pairs,
                               const std::function<Lit(SymbolId, int)>& regarded) {
  std::map<SymbolId, Lit> defined;
  for (const Rule& rule : weak) defined.emplace(bank.symbol_of(rule.lhs), Formula::bottom());
  for (auto& entry : defined) entry.second = formula.fresh();
  std::set<std::pair<TermId, Lit>> done;
  std::function<void(TermId, Lit)> reach = [&](TermId t, Lit condition) {
    if (bank.is_variable(t) || condition == Formula::bottom()) return;
    if (!done.insert({t, condition}).second) return;
    SymbolId f = bank.symbol_of(t);
    if (auto it = defined.find(f); it != defined.end()) formula.clause({-condition, it->second});
    const auto& args = bank.args(t);
    for (std::size_t i = 0; i < args.size(); ++i)
      reach(args[i], formula.conj(condition, regarded(f, static_cast<int>(i))));
  };
  for (const Rule& pair : pairs) reach(pair.rhs, Formula::top());
  std::vector<Lit> out;
  for (const Rule& rule : weak) {
    Lit usable = defined.at(bank.symbol_of(rule.lhs));
    reach(rule.rhs, usable);
    out.push_back(usable);
  }
  return out;
}

}  // namespace Termination
