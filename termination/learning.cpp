// The termination knowledge cache.
//
// Every rule list is turned into a key first: each rule is canonicalised on its own (variables
// are local to a rule) and the canonical rules are gathered into an ordered set, so order,
// repetition and variable names do not matter.  Recall works by subsumption: a subset of a
// terminating set terminates, a superset of a non-terminating set does not.  A registration
// rebuilds its store without the keys that the new key makes redundant for that recall (subsets
// of a new terminating key, supersets of a new non-terminating key), then adds the key.  There is
// no index: recalls scan the store and stop at the first key that decides.
#include "termination/learning.hpp"

#include <algorithm>
#include <string>

#include "driver/debug.hpp"
#include "driver/prefs.hpp"
#include "io/print.hpp"
#include "terms/substitution.hpp"

namespace Learning {

Terms::TrsSet terminating_store;
Terms::TrsSet nonterminating_store;

namespace {

std::vector<Terms::Rule> canonical_rules(const std::vector<Terms::Rule>& rules) {
  std::vector<Terms::Rule> canonical;
  canonical.reserve(rules.size());
  for (const Terms::Rule& rule : rules) canonical.push_back(Terms::canon_rule(rule));
  return canonical;
}

void trace_learning(const char* text) {
  if (Prefs::debug_learning) Debug::maybe_debug(Debug::Level::trace, text);
}

// The registration shared by both stores: label is "terminating" or "nonterminating", tag is
// "term" or "nonterm", drop tells which stored keys the new key makes redundant.
void register_key(Terms::TrsSet& store, const std::vector<Terms::Rule>& rules, const char* label,
                  const char* tag, bool (*drop)(const Terms::Trs& stored, const Terms::Trs& key)) {
  const std::vector<Terms::Rule> canonical = canonical_rules(rules);
  const Terms::Trs key = Terms::trs_of_rules(canonical);
  if (Prefs::debug_learning)
    Debug::debug_l(Debug::Level::trace, [&] {
      return std::string("[ Registering ") + label + " TRS: " + Print::string_of_rules(canonical);
    });
  Terms::TrsSet kept =
      remove_all([&](const Terms::Trs& stored) { return drop(stored, key); }, store);
  if (Prefs::debug_learning)
    Debug::debug_l(Debug::Level::trace, [&] {
      return std::string(" ") + tag + " subsumed=" + std::to_string(store.size() - kept.size()) +
             ", card=" + std::to_string(kept.size() + 1) + " ]";
    });
  kept.insert(key);
  store = std::move(kept);
}

bool stored_is_subset(const Terms::Trs& stored, const Terms::Trs& key) {
  return trs_subset(stored, key);
}

bool stored_is_superset(const Terms::Trs& stored, const Terms::Trs& key) {
  return trs_subset(key, stored);
}

}  // namespace

Terms::Trs key_of_rules(const std::vector<Terms::Rule>& rules) {
  return Terms::trs_of_rules(canonical_rules(rules));
}

bool trs_subset(const Terms::Trs& a, const Terms::Trs& b) {
  return a.size() <= b.size() &&
         std::includes(b.begin(), b.end(), a.begin(), a.end(), Terms::RuleLess());
}

Terms::TrsSet remove_all(const std::function<bool(const Terms::Trs&)>& drop,
                         const Terms::TrsSet& store) {
  Terms::TrsSet kept;
  for (const Terms::Trs& key : store)
    if (!drop(key)) kept.insert(kept.end(), key);
  return kept;
}

void register_terminating_trs(const std::vector<Terms::Rule>& rules) {
  register_key(terminating_store, rules, "terminating", "term", stored_is_subset);
}

void register_nonterminating_trs(const std::vector<Terms::Rule>& rules) {
  register_key(nonterminating_store, rules, "nonterminating", "nonterm", stored_is_superset);
}

bool recall_terminating_trs(const std::vector<Terms::Rule>& rules) {
  const Terms::Trs key = key_of_rules(rules);
  const bool known = std::any_of(terminating_store.begin(), terminating_store.end(),
                                 [&](const Terms::Trs& stored) { return trs_subset(key, stored); });
  if (known) trace_learning("Recall: terminating");
  return known;
}

bool recall_nonterminating_trs(const std::vector<Terms::Rule>& rules) {
  const Terms::Trs key = key_of_rules(rules);
  const bool known = std::any_of(nonterminating_store.begin(), nonterminating_store.end(),
                                 [&](const Terms::Trs& stored) { return trs_subset(stored, key); });
  if (known) trace_learning("Recall: nonterminating");
  return known;
}

}  // namespace Learning
