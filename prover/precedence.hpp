// Precedences on function symbols, given by levels: f > g iff level(f) > level(g), and f, g are
// equivalent iff their levels agree (a quasi-precedence). The orderings keep the levels as found
// by the solver; printing groups equal levels.
#pragma once

#include <string>
#include <vector>

#include "term.hpp"

namespace Termination {

using Levels = std::vector<int>;  // indexed by SymbolId

// Needs: levels.size() == signature.size(). Returns: e.g. "f > g = h > e", listing only the
// symbols in shown (all when shown is empty).
std::string describe_precedence(const Signature& signature, const Levels& levels,
                                const std::vector<SymbolId>& shown = {});

}  // namespace Termination
