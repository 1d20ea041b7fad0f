// Inter-reduction: when a new rule l -> r joins a node, every old rule whose left side l -> r
// rewrites leaves the rule set and becomes a fresh equation again (collapse); every other old rule
// keeps its place and mark and has its right side normalized with the new rule in front of the
// old rules (composition).  Unmarked rules are drained from the heap smallest first and re-added;
// marked rules are walked in list order.  All results are built by prepending, and their orders
// matter: equation selection breaks ties by position and the heap layout fixes rule order.
#include <algorithm>

#include "completion/huet.hpp"
#include "terms/rewriting.hpp"

namespace Huet {
namespace {

// What the reduction of one old rule against the new rule gives.
struct Reduced {
  bool collapsed;
  Terms::Rule rule;  // collapsed: the equation (l1', r1); composed: the rule l1 -> r1'
};

struct Reducer {
  Rules new_rule;      // [l -> r]
  Rules new_then_old;  // l -> r followed by the node's rules before the change

  Reduced reduce(const Terms::Rule& old) const {
    Terms::Term lhs = Rewriting::normalize(new_rule, old.lhs);
    if (!(lhs == old.lhs)) return Reduced{true, Terms::Rule{lhs, old.rhs}};
    return Reduced{false, Terms::Rule{old.lhs, Rewriting::normalize(new_then_old, old.rhs)}};
  }
};

// Drains the heap; collapsed rules go (prepended) to equations, composed ones to kept.
void simpl_unmarked(const Reducer& reducer, RuleHeap& unmarked, Equations& equations_rev,
                    Rules& kept_rev) {
  while (!unmarked.is_empty()) {
    Terms::Rule old = unmarked.peek().rule;
    unmarked.remove();
    Reduced r = reducer.reduce(old);
    if (r.collapsed)
      equations_rev.emplace_back(r.rule, false);
    else
      kept_rev.push_back(r.rule);
  }
}

void simpl_marked(const Reducer& reducer, const Rules& marked, Equations& equations_rev,
                  Rules& kept_rev) {
  for (const Terms::Rule& old : marked) {
    Reduced r = reducer.reduce(old);
    if (r.collapsed)
      equations_rev.emplace_back(r.rule, false);
    else
      kept_rev.push_back(r.rule);
  }
}

}  // namespace

std::pair<Equations, Rules> simplify(const Terms::Term& l, const Terms::Term& r,
                                     const Equations& equations, RuleHeap& unmarked,
                                     const Rules& marked) {
  Reducer reducer;
  reducer.new_rule = {Terms::Rule{l, r}};
  reducer.new_then_old = reducer.new_rule;
  Rules old = rules_of(unmarked, marked);
  reducer.new_then_old.insert(reducer.new_then_old.end(), old.begin(), old.end());

  // Everything prepended is kept back to front here and turned around at the end.
  Equations refreshed = refresh_flags(equations);
  Equations equations_rev(refreshed.rbegin(), refreshed.rend());

  Rules kept_unmarked_rev;
  simpl_unmarked(reducer, unmarked, equations_rev, kept_unmarked_rev);
  unmarked.clear();
  // The kept list read from its front is the removal order reversed.
  for (auto it = kept_unmarked_rev.rbegin(); it != kept_unmarked_rev.rend(); ++it)
    unmarked.add(RuleEntry{*it, it->lhs.size() + it->rhs.size()});

  Rules kept_marked_rev;
  simpl_marked(reducer, marked, equations_rev, kept_marked_rev);
  return {Equations(equations_rev.rbegin(), equations_rev.rend()),
          Rules(kept_marked_rev.rbegin(), kept_marked_rev.rend())};
}

Terms::Rule choose_rule(RuleHeap& unmarked) {
  Terms::Rule rule = unmarked.peek().rule;
  unmarked.remove();
  return rule;
}

}  // namespace Huet
