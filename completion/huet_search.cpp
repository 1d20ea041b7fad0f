// The search loop.  The cheapest queued node is resumed; its rules may already decide the
// conjectures.  A completion step first orients the pending equations one at a time, smallest
// fresh equation first, each normalized with the node's rules: an equation that normalizes to a
// trivial one is dropped; one admissible direction inter-reduces the node and adds the rule, after
// which the node yields to any queued node at least as cheap; two directions split the node into
// two queued children; none puts the node back with the equation stale.  With no equation left,
// the smallest unmarked rule is marked and its critical pairs with itself and the marked rules
// become the new equations.  A node with neither equations nor unmarked rules is complete.
//
// The work on a node ends by throwing FAIL (after a checkpoint and a backtrack line, or silently
// when only stale equations remain); the main loop catches it around the completion steps only.
#include <cfloat>
#include <optional>

#include "completion/huet.hpp"
#include "driver/prefs.hpp"
#include "io/print.hpp"
#include "termination/orient.hpp"
#include "terms/cp.hpp"
#include "terms/rewriting.hpp"

namespace Huet {
namespace {

long entry_size(const FlaggedEquation& e) {
  return e.first.lhs.size() + e.first.rhs.size();
}

double larger(double a, double b) {
  return b > a ? b : a;
}

// The node after orienting the equation into rule (one admissible direction).  Changes: p,
// info (time and max_time).
void extend(BranchInfo& info, Problem& p, const Equations& rest, const Terms::Rule& rule, long size,
            double seconds) {
  auto [equations, marked] = simplify(rule.lhs, rule.rhs, rest, *p.unmarked, p.marked);
  Rules constraints = add_constraint(rule, p.constraints);
  info.time = info.time + seconds;
  info.max_time = larger(info.max_time, seconds);
  p.equations = std::move(equations);
  p.marked = std::move(marked);
  p.constraints = std::move(constraints);
  p.unmarked->add(RuleEntry{rule, size});
}

// Queues the node and abandons it when a queued node is at least as cheap.
void yield_if_not_cheapest(const BranchInfo& info, const Problem& p) {
  if (open_problems.is_empty()) return;
  double cost = problem_cost(p, info);
  if (open_problems.peek().cost > cost) return;
  checkpoint(info, p);
  backtrack(info.id);
}

BranchInfo child_info(const BranchInfo& info, int side, double seconds) {
  BranchInfo child = info;
  child.id.push_back(side);
  child.time = info.time + seconds;
  child.max_time = larger(info.max_time, seconds);
  return child;
}

// Both directions are admissible: queues the child for l -> r, then the one for r -> l.
[[noreturn]] void split(const BranchInfo& info, const Problem& p, const Equations& rest,
                        const Terms::Rule& lr, long size, double t_lr, double t_rl) {
  const Terms::Rule rl{lr.rhs, lr.lhs};
  BranchInfo left_info = child_info(info, 0, t_lr);
  BranchInfo right_info = child_info(info, 1, t_rl);
  std::shared_ptr<RuleHeap> left_heap = clone_heap(*p.unmarked);
  std::shared_ptr<RuleHeap> right_heap = clone_heap(*p.unmarked);
  auto [left_equations, left_marked] = simplify(lr.lhs, lr.rhs, rest, *left_heap, p.marked);
  auto [right_equations, right_marked] = simplify(rl.lhs, rl.rhs, rest, *right_heap, p.marked);
  Rules left_constraints = add_constraint(lr, p.constraints);
  Rules right_constraints = add_constraint(rl, p.constraints);
  left_heap->add(RuleEntry{lr, size});
  right_heap->add(RuleEntry{rl, size});
  ++num_splits;
  checkpoint(left_info, Problem{left_equations, left_heap, left_marked, left_constraints});
  checkpoint(right_info, Problem{right_equations, right_heap, right_marked, right_constraints});
  backtrack(info.id);
}

// Neither direction is admissible: the node goes back to the queue with the equation stale.
[[noreturn]] void retire(BranchInfo info, Problem p, const Equations& rest,
                         const Terms::Equation& e, double t_lr, double t_rl) {
  const std::vector<int> id = info.id;
  // A direction that was not tested reports the largest finite double, and it is charged as it
  // stands: the branch's times then read 1.79769e+308 or inf, which marks the branch as retired.
  info.time = info.time + t_rl + t_lr;
  info.max_time = larger(info.max_time, larger(t_lr, t_rl));
  Debug::debug([&] { return string_of_id(id) + ": Close "; });
  p.equations.clear();
  p.equations.emplace_back(e, true);
  p.equations.insert(p.equations.end(), rest.begin(), rest.end());
  checkpoint(info, p);
  backtrack(id);
}

Rules as_rules(const std::vector<Cp::Pair>& pairs) {
  Rules out;
  out.reserve(pairs.size());
  for (const Cp::Pair& pair : pairs) out.push_back(Terms::Rule{pair.first, pair.second});
  return out;
}

// The critical pairs of r with itself and with the marked rules, both ways round.
std::vector<Terms::Equation> new_pairs(const Terms::Rule& r, const Rules& marked) {
  const Rules single{r};
  std::vector<Terms::Equation> out = as_rules(Cp::critical_pairs(single, single));
  for (const Terms::Equation& e : as_rules(Cp::critical_pairs(single, marked))) out.push_back(e);
  for (const Terms::Equation& e : as_rules(Cp::critical_pairs(marked, single))) out.push_back(e);
  return out;
}

}  // namespace

std::pair<FlaggedEquation, Equations> choose_smallest(const Equations& equations) {
  if (equations.empty()) throw FAIL();
  FlaggedEquation best = equations.front();
  Equations others_rev;  // passed-over entries in the order passed
  for (size_t i = 1; i < equations.size(); ++i) {
    const FlaggedEquation& y = equations[i];
    if (entry_size(y) < entry_size(best)) {
      others_rev.push_back(best);
      best = y;
    } else {
      others_rev.push_back(y);
    }
  }
  best.second = false;
  Equations others;
  others.reserve(others_rev.size());
  for (auto it = others_rev.rbegin(); it != others_rev.rend(); ++it)
    others.emplace_back(it->first, false);
  return {best, others};
}

std::pair<FlaggedEquation, Equations> choose_smallest_fresh(const Equations& equations) {
  Equations fresh, stale;
  for (const FlaggedEquation& e : equations) (e.second ? stale : fresh).push_back(e);
  auto [best, others] = choose_smallest(fresh);
  others.insert(others.end(), stale.begin(), stale.end());
  return {best, others};
}

std::pair<BranchInfo, Problem> orient(BranchInfo info, Problem p) {
  while (!p.equations.empty()) {
    show_status(p, info, Debug::Level::trace);
    auto [selected, rest] = choose_smallest_fresh(p.equations);
    const Terms::Term l = selected.first.lhs;
    const Terms::Term r = selected.first.rhs;
    Debug::trace([&] {
      return string_of_id(info.id) + ": Select " + Print::string_of_identity(selected.first);
    });
    const Rules rules = rules_of_prob(p);
    const Terms::Term l1 = Rewriting::normalize(rules, l);
    const Terms::Term r1 = l == r ? l1 : Rewriting::normalize(rules, r);
    if (l1 == r1) {
      p.equations = std::move(rest);
      continue;
    }
    const long size = l1.size() + r1.size();
    const Orient::OrientationResult o = Orient::orient_all(Terms::Equation{l1, r1}, p.constraints);
    switch (o.orientation) {
      case Orient::Orientation::LR:
        extend(info, p, rest, Terms::Rule{l1, r1}, size, o.lr_seconds);
        break;
      case Orient::Orientation::RL:
        extend(info, p, rest, Terms::Rule{r1, l1}, size, o.rl_seconds);
        break;
      case Orient::Orientation::BOTH:
        split(info, p, rest, Terms::Rule{l1, r1}, size, o.lr_seconds, o.rl_seconds);
      case Orient::Orientation::NEITHER:
        retire(info, p, rest, Terms::Equation{l1, r1}, o.lr_seconds, o.rl_seconds);
    }
    yield_if_not_cheapest(info, p);
  }
  return {info, p};
}

std::pair<BranchInfo, Problem> complete(BranchInfo info, Problem p) {
  for (;;) {
    const double cost = problem_cost(p, info);
    const long size = problem_size(p);
    Debug::debug([&] {
      return string_of_id(info.id) + ": Orient (size=" + std::to_string(size) +
             ", time=" + string_of_float(info.time) + ", max=" + string_of_float(info.max_time) +
             ", cost=" + string_of_float(cost) + ", step=" + std::to_string(info.step) + ")";
    });
    auto [oriented_info, node] = orient(info, p);
    oriented_info.step = info.step + 1;
    if (node.unmarked->is_empty()) {
      node.equations.clear();
      return {oriented_info, node};
    }
    const Terms::Rule r = choose_rule(*node.unmarked);
    node.equations = add_fresh_flags(new_pairs(r, node.marked));
    node.marked.insert(node.marked.begin(), r);
    info = std::move(oriented_info);
    p = std::move(node);
  }
}

Result _do_completion(ConjectureList conjectures) {
  for (;;) {
    OpenProblem top = open_problems.peek();
    open_problems.remove();
    const long size = problem_size(top.problem);
    const double total = now() - t0;
    Debug::maybe_debug(
        Debug::Level::info,
        string_of_id(top.info.id) + ": Open (size=" + std::to_string(size) +
            ", cost=" + string_of_float(top.cost) + ", time=" + string_of_float(top.info.time) +
            ", max=" + string_of_float(top.info.max_time) + ", total=" + string_of_float(total) +
            ", pending=" + std::to_string(open_problems.size()) + ")");
    show_status(top.problem, top.info, Debug::Level::debug);
    ConjectureList remaining =
        Conjectures::semidecide_conjectures(rules_of_prob(top.problem), conjectures);
    if (remaining.empty() && !Prefs::complete) throw CONJECTURES_SOLVED();
    std::optional<std::pair<BranchInfo, Problem>> done;
    try {
      done = complete(top.info, top.problem);
    } catch (const FAIL&) {
      conjectures = std::move(remaining);
      continue;
    }
    report_completion(done->second, done->first);
    return {done->second.marked, remaining};
  }
}

}  // namespace Huet
