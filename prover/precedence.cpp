// Rendering of a precedence: symbols sorted by falling level, equal levels joined by "=".
#include "precedence.hpp"

#include <algorithm>

namespace Termination {

std::string describe_precedence(const Signature& signature, const Levels& levels,
                                const std::vector<SymbolId>& shown) {
  std::vector<SymbolId> symbols = shown;
  if (symbols.empty())
    for (SymbolId f = 0; f < signature.size(); ++f) symbols.push_back(f);
  std::stable_sort(symbols.begin(), symbols.end(),
                   [&](SymbolId a, SymbolId b) { return levels[a] > levels[b]; });
  std::string out;
  for (std::size_t i = 0; i < symbols.size(); ++i) {
    if (i > 0) out += levels[symbols[i]] == levels[symbols[i - 1]] ? " = " : " > ";
    out += signature.name(symbols[i]);
  }
  return out;
}

}  // namespace Termination
