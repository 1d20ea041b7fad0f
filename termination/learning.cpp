// The termination knowledge cache.
//
// Every rule list is turned into a key first: each rule is canonicalised on its own (variables
// are local to a rule) and the canonical rules are gathered into an ordered set, so order,
// repetition and variable names do not matter.  Recall works by subsumption: a subset of a
// terminating set terminates, a superset of a non-terminating set does not.  A registration
// rebuilds its store without the keys that the new key makes redundant for that recall (subsets
// of a new terminating key, supersets of a new non-terminating key), then adds the key.  There is
// no index: recalls scan the store and stop at the first key that decides.  A registration drops
// the redundant keys from the store in place rather than copying the store.  Canonical forms of
// rules are remembered by rule (rules are hash-consed, so the same rule comes back as the same
// nodes), since the same rules are canonicalised again and again as rule lists grow.
#include "termination/learning.hpp"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "driver/debug.hpp"
#include "driver/prefs.hpp"
#include "io/print.hpp"
#include "terms/substitution.hpp"

namespace Learning {

Terms::TrsSet terminating_store;
Terms::TrsSet nonterminating_store;

namespace {

// Terms::canon_rule, remembered.  Bounded: emptied when it grows past kLimit rules.
const Terms::Rule& canonical_rule(const Terms::Rule& rule) {
  using Memo = std::unordered_map<Terms::Rule, Terms::Rule, Terms::RuleHash>;
  static constexpr size_t kLimit = size_t(1) << 16;
  static Memo* memo = new Memo();  // never destroyed: holds terms until the very end
  auto found = memo->find(rule);
  if (found != memo->end()) return found->second;
  if (memo->size() >= kLimit) memo->clear();
  return memo->emplace(rule, Terms::canon_rule(rule)).first->second;
}

std::vector<Terms::Rule> canonical_rules(const std::vector<Terms::Rule>& rules) {
  std::vector<Terms::Rule> canonical;
  canonical.reserve(rules.size());
  for (const Terms::Rule& rule : rules) canonical.push_back(canonical_rule(rule));
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
  size_t subsumed = 0;
  for (auto it = store.begin(); it != store.end();) {
    if (drop(*it, key)) {
      it = store.erase(it);
      ++subsumed;
    } else {
      ++it;
    }
  }
  if (Prefs::debug_learning)
    Debug::debug_l(Debug::Level::trace, [&] {
      return std::string(" ") + tag + " subsumed=" + std::to_string(subsumed) +
             ", card=" + std::to_string(store.size() + 1) + " ]";
    });
  store.insert(key);
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
  if (a.size() > b.size()) return false;
  // A few rules are looked up one by one; otherwise both sets are walked together.
  if (a.size() * 8 < b.size())
    return std::all_of(a.begin(), a.end(), [&](const Terms::Rule& r) { return b.count(r) > 0; });
  return std::includes(b.begin(), b.end(), a.begin(), a.end(), Terms::RuleLess());
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
