// Loop witnesses: syntactic ones, found ones, and the replay check that guards every NO.
#include <gtest/gtest.h>

#include "deadline.hpp"
#include "loop_search.hpp"
#include "parser.hpp"
#include "syntactic.hpp"

namespace Termination {
namespace {

TEST(Loops, SyntacticLoopsAreFoundAndReplay) {
  const char* cases[] = {
      "(VAR x y)\n(RULES \nf(x) -> g(y))",            // right side variable missing on the left
      "(VAR x)\n(RULES \nx -> f(x))",                 // variable left side occurring on the right
      "(VAR x)\n(RULES \nx -> a)",                    // variable left side, ground right side
      "(VAR x y)\n(RULES \nx -> y)",                  // both at once
      "(VAR x y)\n(RULES \na -> b\nf(x) -> h(x,y))",  // the second rule is the culprit
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    Trs trs = parse_problem(text);
    auto witness = find_syntactic_loop(trs);
    ASSERT_TRUE(witness);
    EXPECT_TRUE(check_loop(trs, *witness));
  }
  Trs fine = parse_problem("(VAR x)\n(RULES \nf(x) -> x)");
  EXPECT_FALSE(find_syntactic_loop(fine));
}

TEST(Loops, NarrowingFindsLoopsThatReplay) {
  const char* cases[] = {
      "(VAR x)\n(RULES \nf(x) -> f(f(x)))",
      "(VAR x y)\n(RULES \nf(x,y) -> f(y,x))",
      "(VAR )\n(RULES \na -> b\nb -> a)",
      "(VAR x)\n(RULES \nf(a) -> f(b)\nb -> a)",
      "(VAR x)\n(RULES \nf(s(x)) -> g(x)\ng(x) -> f(s(x)))",
      "(VAR x y)\n(RULES \nf(a,b,x) -> f(x,x,x)\ng(x,y) -> x\ng(x,y) -> y)",
      "(VAR x)\n(RULES \nf(x,x) -> f(a,b)\nb -> a)",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    Trs trs = parse_problem(text);
    auto witness = find_loop(trs, Deadline(5000), LoopSearchLimits::thorough());
    ASSERT_TRUE(witness);
    EXPECT_TRUE(check_loop(trs, *witness));
  }
}

TEST(Loops, ReplayRejectsTamperedWitnesses) {
  Trs trs = parse_problem("(VAR x)\n(RULES \nf(a) -> f(b)\nb -> a\nc -> d)");
  TermId fa = trs.rules[0].lhs;
  LoopWitness good{fa, {RewriteStep{{}, 0, {}}, RewriteStep{{0}, 1, {}}}, {}};
  ASSERT_TRUE(check_loop(trs, good));
  LoopWitness wrong_rule = good;
  wrong_rule.steps[1].rule = 2;
  EXPECT_FALSE(check_loop(trs, wrong_rule));
  LoopWitness wrong_position = good;
  wrong_position.steps[1].position = {1};
  EXPECT_FALSE(check_loop(trs, wrong_position));
  LoopWitness too_short = good;
  too_short.steps.pop_back();  // ends in f(b), not an instance of f(a)
  EXPECT_FALSE(check_loop(trs, too_short));
  LoopWitness no_steps{fa, {}, {}};
  EXPECT_FALSE(check_loop(trs, no_steps));
  LoopWitness bad_context = good;
  bad_context.context = {0};
  EXPECT_FALSE(check_loop(trs, bad_context));
  LoopWitness out_of_range = good;
  out_of_range.steps[0].rule = 7;
  EXPECT_FALSE(check_loop(trs, out_of_range));
}

TEST(Loops, TerminatingSystemsHaveNoLoop) {
  const char* cases[] = {
      "(VAR x)\n(RULES \nf(f(x)) -> f(g(f(x))))",
      "(VAR x y)\n(RULES \nplus(0,y) -> y\nplus(s(x),y) -> s(plus(x,y)))",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    Trs trs = parse_problem(text);
    EXPECT_FALSE(find_loop(trs, Deadline(5000), LoopSearchLimits{4, 2000, 30}));
  }
}

}  // namespace
}  // namespace Termination
