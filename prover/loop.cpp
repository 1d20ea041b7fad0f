// Replaying loop witnesses by plain rewriting (see loop.hpp).
#include "loop.hpp"

namespace Termination {
namespace {

bool valid_position(const TermBank& bank, TermId t, const Position& p) {
  for (int i : p) {
    if (bank.is_variable(t) || i < 0 || i >= static_cast<int>(bank.args(t).size())) return false;
    t = bank.args(t)[i];
  }
  return true;
}

}  // namespace

TermId rewrite_step(Trs& trs, TermId t, const RewriteStep& step) {
  if (step.rule < 0 || step.rule >= static_cast<int>(trs.rules.size())) return -1;
  if (!valid_position(trs.bank, t, step.position)) return -1;
  const Rule& rule = trs.rules[step.rule];
  Substitution sigma;
  if (!match(trs.bank, rule.lhs, subterm_at(trs.bank, t, step.position), sigma)) return -1;
  for (const auto& [v, u] : step.extra) sigma.emplace(v, u);  // bound variables keep the match
  return replace_at(trs.bank, t, step.position, apply(trs.bank, rule.rhs, sigma));
}

bool check_loop(Trs& trs, const LoopWitness& witness) {
  if (witness.steps.empty()) return false;
  TermId t = witness.start;
  for (const RewriteStep& step : witness.steps) {
    t = rewrite_step(trs, t, step);
    if (t < 0) return false;
  }
  if (!valid_position(trs.bank, t, witness.context)) return false;
  Substitution mu;
  return match(trs.bank, witness.start, subterm_at(trs.bank, t, witness.context), mu);
}

std::string describe_loop(Trs& trs, const LoopWitness& witness) {
  std::string out = "loop of length " + std::to_string(witness.steps.size()) + " starting from " +
                    to_string(trs, witness.start) + "\n";
  TermId t = witness.start;
  for (const RewriteStep& step : witness.steps) {
    t = rewrite_step(trs, t, step);
    if (t < 0) return out + "  (step does not apply)\n";
    out += "  -> " + to_string(trs, t) + "   [rule " + std::to_string(step.rule + 1) + " at " +
           position_to_string(step.position) + "]\n";
  }
  out += "the subterm at position " + position_to_string(witness.context) +
         " is an instance of the start term\n";
  return out;
}

}  // namespace Termination
