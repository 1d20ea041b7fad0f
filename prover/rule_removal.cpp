// Rule removal by monotone linear interpretations, then dependency pairs (see rule_removal.hpp).
#include "rule_removal.hpp"

#include "dp_search.hpp"
#include "poly_search.hpp"

namespace Termination {
namespace {

constexpr int kMaxSteps = 8;

Trs with_rules(const Trs& trs, const std::vector<Rule>& rules) {
  Trs out = trs;
  out.rules = rules;
  return out;
}

// Returns: the rules that interpretation leaves (all of rules weakly decreasing), or nothing.
std::optional<std::vector<Rule>> remove(const Trs& trs, const std::vector<Rule>& rules,
                                        const LinearInterpretation& interpretation) {
  if (!well_formed(trs.signature, interpretation) || !strictly_monotone(interpretation))
    return std::nullopt;
  std::vector<Rule> left;
  for (const Rule& rule : rules) {
    if (!weakly_decreasing(trs.bank, interpretation, rule.lhs, rule.rhs)) return std::nullopt;
    if (!strictly_decreasing(trs.bank, interpretation, rule.lhs, rule.rhs)) left.push_back(rule);
  }
  if (left.size() == rules.size()) return std::nullopt;
  return left;
}

}  // namespace

std::optional<std::vector<Rule>> rules_after_removal(const Trs& trs, const RemovalProof& proof) {
  std::vector<Rule> rules = trs.rules;
  for (const LinearInterpretation& step : proof.steps) {
    auto left = remove(trs, rules, step);
    if (!left) return std::nullopt;
    rules = std::move(*left);
  }
  return rules;
}

bool check_removal(const Trs& trs, const RemovalProof& proof) {
  if (proof.steps.empty()) return false;
  auto left = rules_after_removal(trs, proof);
  if (!left) return false;
  if (left->empty()) return true;
  return proof.rest && check_dp_proof(with_rules(trs, *left), *proof.rest);
}

std::optional<RemovalProof> find_removal_proof(const Trs& trs, const Deadline& deadline) {
  RemovalProof proof;
  std::vector<Rule> rules = trs.rules;
  while (!rules.empty() && static_cast<int>(proof.steps.size()) < kMaxSteps) {
    PolyConstraints constraints;
    constraints.strict_some = rules;
    auto found = find_linear_interpretation(trs, constraints, PolyShape{1, 2, true}, deadline);
    if (!found) break;
    auto left = remove(trs, rules, *found);
    if (!left) break;
    proof.steps.push_back(*found);
    rules = std::move(*left);
  }
  if (proof.steps.empty()) return std::nullopt;
  if (rules.empty()) return proof;
  proof.rest = find_dp_proof(with_rules(trs, rules), deadline, nullptr);
  if (!proof.rest) return std::nullopt;
  return proof;
}

}  // namespace Termination
