// Breadth-first unfolding of derivations (see loop_search.hpp).
#include "loop_search.hpp"

#include <deque>
#include <set>

namespace Termination {
namespace {

struct Derivation {
  TermId start;
  TermId end;
  std::vector<RewriteStep> steps;
};

class LoopSearch {
 public:
  LoopSearch(Trs& trs, const Deadline& deadline, const LoopSearchLimits& limits)
      : trs_(trs), bank_(trs.bank), deadline_(deadline), limits_(limits) {}

  std::optional<LoopWitness> run() {
    for (int i = 0; i < static_cast<int>(trs_.rules.size()); ++i)
      push(Derivation{trs_.rules[i].lhs, trs_.rules[i].rhs, {RewriteStep{{}, i, {}}}});
    while (!queue_.empty()) {
      deadline_.check();
      Derivation d = std::move(queue_.front());
      queue_.pop_front();
      if (auto w = loop_in(d)) return w;
      if (static_cast<int>(d.steps.size()) >= limits_.max_depth) continue;
      extend_forward(d);
      extend_backward(d);
    }
    return std::nullopt;
  }

 private:
  void push(Derivation d) {
    if (bank_.size(d.start) > limits_.max_term_size || bank_.size(d.end) > limits_.max_term_size)
      return;
    if (seen_.size() >= static_cast<std::size_t>(limits_.max_derivations)) return;
    if (!seen_.insert(canonical(d)).second) return;
    queue_.push_back(std::move(d));
  }

  // Renames the variables of the derivation's ends to 0, 1, ... by first occurrence.
  std::pair<TermId, TermId> canonical(const Derivation& d) {
    Substitution renaming;
    std::vector<VarId> vars = variables_of(bank_, d.start);
    collect_variables(bank_, d.end, vars);
    for (std::size_t i = 0; i < vars.size(); ++i)
      renaming.emplace(vars[i], bank_.canonical_variable(static_cast<int>(i)));
    return {apply(bank_, d.start, renaming), apply(bank_, d.end, renaming)};
  }

  std::optional<LoopWitness> loop_in(const Derivation& d) {
    for (const Position& p : function_positions(bank_, d.end)) {
      TermId u = subterm_at(bank_, d.end, p);
      Substitution mu;
      if (match(bank_, d.start, u, mu)) return LoopWitness{d.start, d.steps, p};
      if (auto theta = unify(bank_, d.start, u))
        return LoopWitness{apply(bank_, d.start, *theta), d.steps, p};
    }
    return std::nullopt;
  }

  void extend_forward(const Derivation& d) {
    for (const Position& q : function_positions(bank_, d.end)) {
      deadline_.check();
      for (int j = 0; j < static_cast<int>(trs_.rules.size()); ++j) {
        Substitution renaming;
        TermId l = rename_apart(bank_, trs_.rules[j].lhs, renaming);
        TermId r = rename_apart(bank_, trs_.rules[j].rhs, renaming);
        auto theta = unify(bank_, subterm_at(bank_, d.end, q), l);
        if (!theta) continue;
        Derivation next{apply(bank_, d.start, *theta),
                        apply(bank_, replace_at(bank_, d.end, q, r), *theta), d.steps};
        next.steps.push_back(RewriteStep{q, j, {}});
        push(std::move(next));
      }
    }
  }

  void extend_backward(const Derivation& d) {
    for (const Position& q : function_positions(bank_, d.start)) {
      deadline_.check();
      for (int j = 0; j < static_cast<int>(trs_.rules.size()); ++j) {
        Substitution renaming;
        TermId l = rename_apart(bank_, trs_.rules[j].lhs, renaming);
        TermId r = rename_apart(bank_, trs_.rules[j].rhs, renaming);
        auto theta = unify(bank_, subterm_at(bank_, d.start, q), r);
        if (!theta) continue;
        Derivation next{apply(bank_, replace_at(bank_, d.start, q, l), *theta),
                        apply(bank_, d.end, *theta),
                        {RewriteStep{q, j, {}}}};
        next.steps.insert(next.steps.end(), d.steps.begin(), d.steps.end());
        push(std::move(next));
      }
    }
  }

  Trs& trs_;
  TermBank& bank_;
  const Deadline& deadline_;
  const LoopSearchLimits& limits_;
  std::deque<Derivation> queue_;
  std::set<std::pair<TermId, TermId>> seen_;
};

}  // namespace

std::optional<LoopWitness> find_loop(Trs& trs, const Deadline& deadline,
                                     const LoopSearchLimits& limits) {
  return LoopSearch(trs, deadline, limits).run();
}

}  // namespace Termination
