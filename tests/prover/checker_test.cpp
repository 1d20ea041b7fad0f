// The dependency-pair checker: genuine proofs pass, doctored ones fail.
#include <gtest/gtest.h>

#include "dependency_pairs.hpp"
#include "dp_search.hpp"
#include "parser.hpp"
#include "proof.hpp"
#include "term_ops.hpp"

namespace Termination {
namespace {

constexpr const char* kMinusQuot =
    "(VAR x y)\n(RULES \nminus(x,0) -> x\nminus(s(x),s(y)) -> minus(x,y)\n"
    "quot(0,s(y)) -> 0\nquot(s(x),s(y)) -> s(quot(minus(x,y),s(y))))";

TEST(DependencyPairs, PairsAndGraph) {
  Trs trs = parse_problem(kMinusQuot);
  DpProblem problem = make_dp_problem(trs);
  std::vector<std::string> pairs;
  for (const Rule& p : problem.pairs)
    pairs.push_back(to_string(problem.trs, p.lhs) + " -> " + to_string(problem.trs, p.rhs));
  std::vector<std::string> expected = {
      "minus#(s(x),s(y)) -> minus#(x,y)",
      "quot#(s(x),s(y)) -> quot#(minus(x,y),s(y))",
      "quot#(s(x),s(y)) -> minus#(x,y)",
  };
  EXPECT_EQ(pairs, expected);
  std::vector<int> all = {0, 1, 2};
  std::vector<std::vector<int>> components = {{0}, {1}};
  auto found = cyclic_components(problem, all);
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, components);
  EXPECT_EQ(usable_rules(problem, {1}), (std::vector<int>{0, 1}));
  EXPECT_TRUE(usable_rules(problem, {0}).empty());
}

TEST(DependencyPairs, NoPairForProperSubtermsOfTheLeftSide) {
  Trs trs = parse_problem("(VAR x)\n(RULES \nf(f(x)) -> f(g(f(x))))");
  DpProblem problem = make_dp_problem(trs);
  ASSERT_EQ(problem.pairs.size(), 1u);
  EXPECT_TRUE(cyclic_components(problem, {0}).empty());
}

TEST(DependencyPairs, CheckerAcceptsFoundProofsAndRejectsDoctoredOnes) {
  Trs trs = parse_problem(kMinusQuot);
  auto proof = find_dp_proof(trs, Deadline(5000));
  ASSERT_TRUE(proof);
  EXPECT_TRUE(check_dp_proof(trs, *proof));
  EXPECT_TRUE(check_proof(trs, TerminationProof{*proof}));

  DpProof missing_step = *proof;
  missing_step.steps.pop_back();
  EXPECT_FALSE(check_dp_proof(trs, missing_step));

  DpProof no_steps;
  EXPECT_FALSE(check_dp_proof(trs, no_steps));

  for (std::size_t i = 0; i < proof->steps.size(); ++i) {
    DpProof doctored = *proof;
    DpStep& step = doctored.steps[i];
    if (step.processor == DpProcessor::SubtermCriterion) {
      for (int& p : step.projection) p = -1;  // no projection at all
    } else {
      for (auto& c : step.interpretation.constants) c = 0;
    }
    EXPECT_FALSE(check_dp_proof(trs, doctored)) << "step " << i;
  }
}

TEST(DependencyPairs, CheckerRejectsProofsOfOtherSystems) {
  Trs terminating = parse_problem("(VAR x y)\n(RULES \nminus(s(x),s(y)) -> minus(x,y))");
  auto proof = find_dp_proof(terminating, Deadline(5000));
  ASSERT_TRUE(proof);
  Trs looping = parse_problem("(VAR x y)\n(RULES \nminus(s(x),s(y)) -> minus(s(x),s(y)))");
  EXPECT_FALSE(check_dp_proof(looping, *proof));
}

}  // namespace
}  // namespace Termination
