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

std::vector<std::string> rendered_pairs(const DpProblem& problem) {
  std::vector<std::string> out;
  for (const Rule& p : problem.pairs)
    out.push_back(to_string(problem.trs, p.lhs) + " -> " + to_string(problem.trs, p.rhs));
  return out;
}

TEST(DependencyPairs, NarrowingReplacesAPairByItsNarrowings) {
  Trs trs = parse_problem("(VAR x)\n(RULES \np(s(x)) -> x\nf(s(x)) -> f(p(s(x))))");
  EXPECT_EQ(rendered_pairs(make_dp_problem(trs, false)),
            (std::vector<std::string>{"f#(s(x)) -> f#(p(s(x)))", "f#(s(x)) -> p#(s(x))"}));
  // f#(p(s(x))) has one narrowing, f#(x) up to renaming; p#(s(x)) has none, so it goes.
  auto narrowed = rendered_pairs(make_dp_problem(trs, true));
  ASSERT_EQ(narrowed.size(), 1u);
  std::string v = narrowed[0].substr(5, narrowed[0].find(')') - 5);
  EXPECT_EQ(narrowed[0], "f#(s(" + v + ")) -> f#(" + v + ")");
  auto proof = find_dp_proof(trs, Deadline(5000));
  ASSERT_TRUE(proof);
  EXPECT_TRUE(proof->narrowed);
  EXPECT_TRUE(check_dp_proof(trs, *proof));
  DpProof not_narrowed = *proof;
  not_narrowed.narrowed = false;
  EXPECT_FALSE(check_dp_proof(trs, not_narrowed));
}

TEST(DependencyPairs, NoNarrowingOfNonLinearOrUnifyingRightSides) {
  // f#(h(x),h(x)) is not linear; g#(a) unifies with the left side g#(a).
  Trs trs =
      parse_problem("(VAR x y)\n(RULES \nf(s(x),y) -> f(h(x),h(x))\nh(x) -> x\ng(a) -> g(a))");
  auto plain = rendered_pairs(make_dp_problem(trs, false));
  auto narrowed = rendered_pairs(make_dp_problem(trs, true));
  for (const char* kept : {"f#(s(x),y) -> f#(h(x),h(x))", "g#(a) -> g#(a)"}) {
    EXPECT_NE(std::find(plain.begin(), plain.end(), kept), plain.end()) << kept;
    EXPECT_NE(std::find(narrowed.begin(), narrowed.end(), kept), narrowed.end()) << kept;
  }
}

}  // namespace
}  // namespace Termination
