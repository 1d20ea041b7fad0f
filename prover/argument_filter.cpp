// Filtering terms and comparing them with LPO (see argument_filter.hpp).
#include "argument_filter.hpp"

#include <algorithm>

#include "lpo.hpp"

namespace Termination {

bool well_formed(const Signature& signature, const FilteredLpo& order) {
  int n = signature.size();
  const ArgumentFilter& f = order.filter;
  if (static_cast<int>(f.collapse.size()) != n || static_cast<int>(f.kept.size()) != n ||
      static_cast<int>(order.levels.size()) != n ||
      (!order.status.empty() && static_cast<int>(order.status.size()) != n))
    return false;
  for (SymbolId g = 0; g < n; ++g) {
    int arity = signature.arity(g);
    if (f.collapse[g] >= arity || f.collapse[g] < -1) return false;
    for (std::size_t k = 0; k < f.kept[g].size(); ++k) {
      int i = f.kept[g][k];
      if (i < 0 || i >= arity || (k > 0 && f.kept[g][k - 1] >= i)) return false;
    }
  }
  return true;
}

TermId FilteredLpoComparer::filtered(TermId t) {
  if (bank_.is_variable(t)) return scratch_.variable(bank_.variable_of(t));
  SymbolId f = bank_.symbol_of(t);
  std::vector<TermId> args = bank_.copy_args(t);
  if (order_.filter.collapse[f] >= 0) return filtered(args[order_.filter.collapse[f]]);
  std::vector<TermId> kept;
  for (int i : order_.filter.kept[f]) kept.push_back(filtered(args[i]));
  return scratch_.apply(f, kept);
}

bool FilteredLpoComparer::strictly_greater(TermId s, TermId t) {
  TermId fs = filtered(s), ft = filtered(t);
  return rpo_greater(scratch_, rpo_, fs, ft);
}

bool FilteredLpoComparer::weakly_greater(TermId s, TermId t) {
  TermId fs = filtered(s), ft = filtered(t);
  return fs == ft || rpo_greater(scratch_, rpo_, fs, ft);
}

std::string describe_filter(const Signature& signature, const ArgumentFilter& filter,
                            const std::vector<SymbolId>& shown) {
  std::string out;
  for (SymbolId f : shown) {
    if (signature.arity(f) == 0) continue;
    if (!out.empty()) out += ", ";
    out += "pi(" + signature.name(f) + ") = ";
    if (filter.collapse[f] >= 0) {
      out += std::to_string(filter.collapse[f] + 1);
      continue;
    }
    out += "[";
    for (std::size_t k = 0; k < filter.kept[f].size(); ++k)
      out += (k > 0 ? "," : "") + std::to_string(filter.kept[f][k] + 1);
    out += "]";
  }
  return out;
}

}  // namespace Termination
