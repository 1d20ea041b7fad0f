// Witnesses for the two syntactic causes of non-termination (see syntactic.hpp).
#include "syntactic.hpp"

#include <algorithm>

namespace Termination {
namespace {

std::optional<Position> position_of_variable(const TermBank& bank, TermId t, VarId v) {
  for (const Position& p : all_positions(bank, t)) {
    TermId u = subterm_at(bank, t, p);
    if (bank.is_variable(u) && bank.variable_of(u) == v) return p;
  }
  return std::nullopt;
}

std::optional<LoopWitness> variable_left_side(Trs& trs, int index) {
  const Rule& rule = trs.rules[index];
  VarId x = trs.bank.variable_of(rule.lhs);
  if (auto p = position_of_variable(trs.bank, rule.rhs, x))
    return LoopWitness{rule.lhs, {RewriteStep{{}, index, {}}}, *p};
  return LoopWitness{rule.rhs, {RewriteStep{{}, index, {}}}, {}};
}

std::optional<LoopWitness> extra_variable(Trs& trs, int index) {
  const Rule& rule = trs.rules[index];
  std::vector<VarId> left = variables_of(trs.bank, rule.lhs);
  for (VarId y : variables_of(trs.bank, rule.rhs)) {
    if (std::find(left.begin(), left.end(), y) != left.end()) continue;
    Position p = *position_of_variable(trs.bank, rule.rhs, y);
    return LoopWitness{rule.lhs, {RewriteStep{{}, index, {{y, rule.lhs}}}}, p};
  }
  return std::nullopt;
}

}  // namespace

std::optional<LoopWitness> find_syntactic_loop(Trs& trs) {
  for (int i = 0; i < static_cast<int>(trs.rules.size()); ++i) {
    if (trs.bank.is_variable(trs.rules[i].lhs)) return variable_left_side(trs, i);
    if (auto w = extra_variable(trs, i)) return w;
  }
  return std::nullopt;
}

}  // namespace Termination
