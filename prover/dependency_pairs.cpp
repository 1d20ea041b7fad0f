// Construction of pairs, TCAP-based graph estimation, Tarjan's SCCs and usable rules
// (see dependency_pairs.hpp).
#include "dependency_pairs.hpp"

#include <algorithm>
#include <functional>

#include "term_ops.hpp"

namespace Termination {
namespace {

std::vector<bool> defined_symbols(const Trs& trs) {
  std::vector<bool> defined(trs.signature.size(), false);
  for (const Rule& rule : trs.rules) defined[trs.bank.symbol_of(rule.lhs)] = true;
  return defined;
}

TermId mark(Trs& trs, TermId t, const std::vector<SymbolId>& tuple) {
  return trs.bank.apply(tuple[trs.bank.symbol_of(t)], trs.bank.copy_args(t));
}

void add_pairs(DpProblem& problem, const Rule& rule, const std::vector<bool>& defined,
               const std::vector<SymbolId>& tuple) {
  Trs& trs = problem.trs;
  for (const Position& p : function_positions(trs.bank, rule.rhs)) {
    TermId u = subterm_at(trs.bank, rule.rhs, p);
    if (!defined[trs.bank.symbol_of(u)]) continue;
    if (u != rule.lhs && is_subterm(trs.bank, u, rule.lhs)) continue;
    Rule pair{mark(trs, rule.lhs, tuple), mark(trs, u, tuple)};
    bool known = std::any_of(problem.pairs.begin(), problem.pairs.end(),
                             [&](const Rule& q) { return q.lhs == pair.lhs && q.rhs == pair.rhs; });
    if (!known) problem.pairs.push_back(pair);
  }
}

TermId cap(Trs& trs, TermId t) {
  TermBank& bank = trs.bank;
  if (bank.is_variable(t)) return bank.variable(bank.fresh_variable());
  std::vector<TermId> args = bank.copy_args(t);  // a copy: capping adds nodes to the bank
  for (TermId& a : args) a = cap(trs, a);
  TermId u = bank.apply(bank.symbol_of(t), std::move(args));
  for (const Rule& rule : trs.rules)
    if (unify(bank, u, rule.lhs)) return bank.variable(bank.fresh_variable());
  return u;
}

void build_graph(DpProblem& problem) {
  int n = static_cast<int>(problem.pairs.size());
  problem.successors.assign(n, {});
  for (int i = 0; i < n; ++i) {
    TermId capped = cap(problem.trs, problem.pairs[i].rhs);
    for (int j = 0; j < n; ++j)
      if (unify(problem.trs.bank, capped, problem.pairs[j].lhs)) problem.successors[i].push_back(j);
  }
}

bool linear(const TermBank& bank, TermId t) {
  std::vector<VarId> vars = variables_of(bank, t);
  for (VarId v : vars)
    if (count_variable(bank, t, v) > 1) return false;
  return true;
}

bool unifies_with_a_left_side(Trs& trs, TermId t, const std::vector<Rule>& pairs) {
  for (const Rule& pair : pairs) {
    Substitution renaming;
    if (unify(trs.bank, t, rename_apart(trs.bank, pair.lhs, renaming))) return true;
  }
  return false;
}

std::vector<Rule> narrowings(Trs& trs, const Rule& pair) {
  std::vector<Rule> out;
  for (const Position& q : function_positions(trs.bank, pair.rhs)) {
    for (const Rule& rule : trs.rules) {
      Substitution renaming;
      TermId l = rename_apart(trs.bank, rule.lhs, renaming);
      TermId r = rename_apart(trs.bank, rule.rhs, renaming);
      auto mu = unify(trs.bank, subterm_at(trs.bank, pair.rhs, q), l);
      if (!mu) continue;
      out.push_back(Rule{apply(trs.bank, pair.lhs, *mu),
                         apply(trs.bank, replace_at(trs.bank, pair.rhs, q, r), *mu)});
    }
  }
  return out;
}

void narrow_pairs(DpProblem& problem) {
  constexpr std::size_t kMaxNarrowings = 3;
  std::vector<Rule> original = problem.pairs;
  for (const Rule& pair : original) {
    std::vector<Rule>& current = problem.pairs;
    if (!linear(problem.trs.bank, pair.rhs)) continue;
    if (unifies_with_a_left_side(problem.trs, pair.rhs, current)) continue;
    std::vector<Rule> replacement = narrowings(problem.trs, pair);
    if (replacement.size() > kMaxNarrowings) continue;
    auto it = std::find_if(current.begin(), current.end(),
                           [&](const Rule& q) { return q.lhs == pair.lhs && q.rhs == pair.rhs; });
    current.erase(it);
    current.insert(current.end(), replacement.begin(), replacement.end());
  }
}

}  // namespace

DpProblem make_dp_problem(const Trs& trs, bool narrow) {
  DpProblem problem{trs, {}, {}};
  std::vector<bool> defined = defined_symbols(trs);
  std::vector<SymbolId> tuple(trs.signature.size(), -1);
  for (SymbolId f = 0; f < trs.signature.size(); ++f)
    if (defined[f])
      tuple[f] = problem.trs.signature.add(trs.signature.name(f) + "#", trs.signature.arity(f));
  for (const Rule& rule : trs.rules) add_pairs(problem, rule, defined, tuple);
  if (narrow) narrow_pairs(problem);
  build_graph(problem);
  return problem;
}

std::vector<std::vector<int>> cyclic_components(const DpProblem& problem,
                                                const std::vector<int>& subset) {
  int n = static_cast<int>(problem.pairs.size());
  std::vector<bool> member(n, false);
  for (int i : subset) member[i] = true;
  std::vector<int> index(n, -1), low(n, 0), stack;
  std::vector<bool> on_stack(n, false);
  std::vector<std::vector<int>> out;
  int counter = 0;
  std::function<void(int)> visit = [&](int v) {
    index[v] = low[v] = counter++;
    stack.push_back(v);
    on_stack[v] = true;
    for (int w : problem.successors[v]) {
      if (!member[w]) continue;
      if (index[w] < 0) {
        visit(w);
        low[v] = std::min(low[v], low[w]);
      } else if (on_stack[w]) {
        low[v] = std::min(low[v], index[w]);
      }
    }
    if (low[v] != index[v]) return;
    std::vector<int> component;
    int w;
    do {
      w = stack.back();
      stack.pop_back();
      on_stack[w] = false;
      component.push_back(w);
    } while (w != v);
    const auto& next = problem.successors[v];
    bool cyclic = component.size() > 1 || std::find(next.begin(), next.end(), v) != next.end();
    if (!cyclic) return;
    std::sort(component.begin(), component.end());
    out.push_back(std::move(component));
  };
  for (int v : subset)
    if (index[v] < 0) visit(v);
  return out;
}

std::vector<int> usable_rules(const DpProblem& problem, const std::vector<int>& pairs) {
  return usable_rules(problem, pairs, [](SymbolId, int) { return true; });
}

std::vector<int> usable_rules(const DpProblem& problem, const std::vector<int>& pairs,
                              const std::function<bool(SymbolId, int)>& regarded) {
  const Trs& trs = problem.trs;
  std::vector<bool> seen(trs.signature.size(), false);
  std::vector<SymbolId> work;
  std::function<void(TermId)> note = [&](TermId t) {
    if (trs.bank.is_variable(t)) return;
    SymbolId f = trs.bank.symbol_of(t);
    if (!seen[f]) seen[f] = true, work.push_back(f);
    const auto& args = trs.bank.args(t);
    for (std::size_t i = 0; i < args.size(); ++i)
      if (regarded(f, static_cast<int>(i))) note(args[i]);
  };
  for (int p : pairs) note(problem.pairs[p].rhs);
  std::vector<bool> usable(trs.rules.size(), false);
  while (!work.empty()) {
    SymbolId f = work.back();
    work.pop_back();
    for (std::size_t i = 0; i < trs.rules.size(); ++i) {
      if (usable[i] || trs.bank.symbol_of(trs.rules[i].lhs) != f) continue;
      usable[i] = true;
      note(trs.rules[i].rhs);
    }
  }
  std::vector<int> out;
  for (std::size_t i = 0; i < usable.size(); ++i)
    if (usable[i]) out.push_back(static_cast<int>(i));
  return out;
}

}  // namespace Termination
