// The termination knowledge cache (module Learning): rule sets known to terminate and rule sets
// known not to terminate, recalled by subsumption.
#pragma once

#include <functional>
#include <vector>

#include "terms/terms.hpp"

namespace Learning {

// The two stores.  A key is the set of a rule list's rules, each in canonical form on its own.
// Both live for the whole run and are never cleared.
extern Terms::TrsSet terminating_store;
extern Terms::TrsSet nonterminating_store;

// The key of a rule list: its rules canonicalised one by one and gathered into a set.
Terms::Trs key_of_rules(const std::vector<Terms::Rule>& rules);

// Records rules as terminating; drops every stored terminating key contained in the new key.
void register_terminating_trs(const std::vector<Terms::Rule>& rules);
// Records rules as non-terminating; drops every stored non-terminating key containing the new
// key.
void register_nonterminating_trs(const std::vector<Terms::Rule>& rules);

// returns: whether some terminating key contains the key of rules (a subset of a terminating
// set terminates).
bool recall_terminating_trs(const std::vector<Terms::Rule>& rules);
// returns: whether some non-terminating key is contained in the key of rules (a superset of a
// non-terminating set does not terminate).
bool recall_nonterminating_trs(const std::vector<Terms::Rule>& rules);

// returns: the keys of store for which drop is false.
Terms::TrsSet remove_all(const std::function<bool(const Terms::Trs&)>& drop,
                         const Terms::TrsSet& store);

// Whether every rule of a is a rule of b.
bool trs_subset(const Terms::Trs& a, const Terms::Trs& b);

}  // namespace Learning
