// Rewriting and normalization (module Rewriting).
#pragma once

#include <optional>
#include <vector>

#include "terms/terms.hpp"

namespace Rewriting {

// One root step with the first rule (in list order) whose lhs matches t.
std::optional<Terms::Term> rewrite(const std::vector<Terms::Rule>& rules, const Terms::Term& t);
// Innermost normal form (arguments left to right, rule order as tie-break, reducts normalized
// again).
Terms::Term norm(const std::vector<Terms::Rule>& rules, const Terms::Term& t);
// norm with the trace lines shown when debug_rewriting is set and the verbosity is trace.
Terms::Term normalize(const std::vector<Terms::Rule>& rules, const Terms::Term& t);

}  // namespace Rewriting
