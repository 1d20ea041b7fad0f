// Rule removal by monotone linear interpretations followed by dependency pairs.
#include <gtest/gtest.h>

#include "parser.hpp"
#include "proof.hpp"
#include "rule_removal.hpp"

namespace Termination {
namespace {

// The first rule goes by counting symbols; the doubling rule decreases only weakly under small
// linear interpretations and needs dependency pairs.
constexpr const char* kMixed = "(VAR x)\n(RULES \nh(h(x)) -> g(x)\nd(s(x)) -> s(s(d(x))))";

TEST(RuleRemoval, RemovesRulesAndProvesTheRest) {
  Trs trs = parse_problem(kMixed);
  auto proof = find_removal_proof(trs, Deadline(5000));
  ASSERT_TRUE(proof);
  EXPECT_TRUE(check_proof(trs, *proof));
  auto left = rules_after_removal(trs, *proof);
  ASSERT_TRUE(left);
  EXPECT_LT(left->size(), trs.rules.size());
  EXPECT_EQ(summarize_proof(trs, *proof).rfind("rule removal by ", 0), 0u);
  EXPECT_NE(describe_proof(trs, *proof).find("removed:"), std::string::npos);
}

TEST(RuleRemoval, CheckerRejectsDoctoredProofs) {
  Trs trs = parse_problem(kMixed);
  auto found = find_removal_proof(trs, Deadline(5000));
  ASSERT_TRUE(found);
  RemovalProof no_steps = *found;
  no_steps.steps.clear();
  EXPECT_FALSE(check_removal(trs, no_steps));
  if (found->rest) {
    RemovalProof no_rest = *found;
    no_rest.rest.reset();
    EXPECT_FALSE(check_removal(trs, no_rest));
  }
  // A zero coefficient is not monotone: removing under it would be unsound.
  RemovalProof flat = *found;
  SymbolId h = trs.signature.find("h");
  flat.steps[0].coefficients[h] = {0};
  EXPECT_FALSE(check_removal(trs, flat));
  // An interpretation that removes nothing is no step.
  RemovalProof idle = *found;
  for (auto& c : idle.steps[0].constants) c = 0;
  for (auto& row : idle.steps[0].coefficients)
    for (auto& a : row) a = 1;
  EXPECT_FALSE(check_removal(trs, idle));
}

TEST(RuleRemoval, NothingToRemoveMeansNoProof) {
  Trs trs = parse_problem("(VAR x)\n(RULES \nf(x) -> f(x))");
  EXPECT_FALSE(find_removal_proof(trs, Deadline(5000)));
}

}  // namespace
}  // namespace Termination
