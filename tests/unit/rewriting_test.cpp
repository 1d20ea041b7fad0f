// Root steps, innermost normalization and the normalization trace.
#include "terms/rewriting.hpp"

#include <gtest/gtest.h>

#include <random>

#include "driver/debug.hpp"
#include "driver/prefs.hpp"
#include "tests/unit/term_text.hpp"

namespace {

using TermText::rules;
using TermText::show;
using TermText::term;
using TermText::tower;

TEST(RewriteTest, RootStepWithFirstMatchingRule) {
  const struct {
    std::vector<Terms::Rule> rules;
    const char* term;
    const char* reduct;  // "none" when no rule applies at the root
  } cases[] = {
      {rules({"a -> b"}), "f(a)", "none"},
      {rules({"f(X0) -> X0"}), "f(a)", "a"},
      {rules({"f(X0,a) -> c", "f(b,X0) -> d"}), "f(b,a)", "c"},
      {rules({"f(b,X0) -> d", "f(X0,a) -> c"}), "f(b,a)", "d"},
      {rules({"f(X0) -> b", "X0 -> c"}), "f(a)", "b"},
      {rules({"X0 -> c", "f(X0) -> b"}), "f(a)", "c"},
      {rules({"f(X0) -> b"}), "X0", "none"},
      {rules({"f(X0,X0) -> X0"}), "f(a,b)", "none"},
      {rules({"g(X0) -> h(X0,Y0)"}), "g(a)", "h(a,Y0)"},
      {rules({}), "a", "none"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.term);
    auto reduct = Rewriting::rewrite(c.rules, term(c.term));
    EXPECT_EQ(reduct ? show(*reduct) : "none", c.reduct);
  }
}

TEST(NormTest, Cases) {
  const struct {
    std::vector<Terms::Rule> rules;
    const char* term;
    const char* normal_form;
  } cases[] = {
      {rules({}), "f(a,X0)", "f(a,X0)"},
      {rules({"f(X0) -> X0"}), "X0", "X0"},
      {rules({"a -> b", "a -> c"}), "a", "b"},
      {rules({"a -> c", "a -> b"}), "a", "c"},
      {rules({"f(X0) -> X0", "a -> b"}), "f(a)", "b"},
      {rules({"f(X0) -> g(X0,X0)", "a -> b"}), "f(a)", "g(b,b)"},
      {rules({"f(a) -> c", "a -> b"}), "f(a)", "f(b)"},  // innermost: the argument goes first
      {rules({"g(X0) -> h(X0,X0)", "h(a,a) -> c"}), "g(a)", "c"},
      {rules({"f(X0,a) -> c", "f(b,X0) -> d"}), "f(b,a)", "c"},
      {rules({"f(b,X0) -> d", "f(X0,a) -> c"}), "f(b,a)", "d"},
      {rules({"plus(0,Y0) -> Y0", "plus(s(X0),Y0) -> s(plus(X0,Y0))"}), "plus(s(s(0)),s(0))",
       "s(s(s(0)))"},
      {rules({"f(X0) -> g(X0)", "g(f(X0)) -> X0"}), "f(f(a))", "g(g(a))"},
      {rules({"i(i(X0)) -> X0", "m(X0,e) -> X0"}), "m(i(i(m(a,e))),e)", "a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.term);
    EXPECT_EQ(show(Rewriting::norm(c.rules, term(c.term))), c.normal_form);
  }
}

// The procedure exactly as stated, with no shortcut: the reference for the fast one.
Terms::Term naive_norm(const std::vector<Terms::Rule>& rs, const Terms::Term& t) {
  if (t.is_var()) return t;
  std::vector<Terms::Term> args;
  for (const Terms::Term& a : t.args()) args.push_back(naive_norm(rs, a));
  Terms::Term u = Terms::app(t.name(), std::move(args));
  for (const Terms::Rule& r : rs)
    if (auto sigma = Terms::match_with(r.lhs, u)) return naive_norm(rs, Terms::lift(*sigma, r.rhs));
  return u;
}

// Terms over the group signature m/2, i/1, e and a few constants and variables.
Terms::Term random_group_term(std::mt19937& gen, int depth) {
  static const char* leaves[] = {"X0", "Y0", "Z0", "e", "a", "b"};
  int pick = std::uniform_int_distribution<int>(0, depth > 0 ? 9 : 5)(gen);
  if (pick < 6) return term(leaves[pick]);
  if (pick < 8) return Terms::app("i", {random_group_term(gen, depth - 1)});
  return Terms::app("m", {random_group_term(gen, depth - 1), random_group_term(gen, depth - 1)});
}

TEST(NormTest, AgreesWithTheNaiveProcedure) {
  // A complete group theory, plus rules that overlap it, so that the rule order matters.
  std::vector<Terms::Rule> group = rules({
      "m(e,X0) -> X0",
      "m(i(X0),X0) -> e",
      "m(m(X0,Y0),Z0) -> m(X0,m(Y0,Z0))",
      "i(e) -> e",
      "i(i(X0)) -> X0",
      "m(X0,e) -> X0",
      "m(X0,i(X0)) -> e",
      "m(i(X0),m(X0,Y0)) -> Y0",
      "m(X0,m(i(X0),Y0)) -> Y0",
      "i(m(X0,Y0)) -> m(i(Y0),i(X0))",
      "m(a,b) -> m(b,a)",
      "m(b,m(a,X0)) -> b",
  });
  std::vector<Terms::Rule> reversed(group.rbegin(), group.rend());
  std::mt19937 gen(11);
  for (int i = 0; i < 2000; ++i) {
    Terms::Term t = random_group_term(gen, 6);
    SCOPED_TRACE(show(t));
    ASSERT_EQ(show(Rewriting::norm(group, t)), show(naive_norm(group, t)));
    ASSERT_EQ(show(Rewriting::norm(reversed, t)), show(naive_norm(reversed, t)));
  }
}

TEST(NormTest, DeepTermsAndLongSequences) {
  auto peano = rules({"plus(0,Y0) -> Y0", "plus(s(X0),Y0) -> s(plus(X0,Y0))"});
  Terms::Term sum = Terms::app("plus", {tower("s", 6000, term("0")), tower("s", 6000, term("0"))});
  EXPECT_EQ(Rewriting::norm(peano, sum), tower("s", 12000, term("0")));
  auto halve = rules({"s(s(X0)) -> X0"});
  EXPECT_EQ(Rewriting::norm(halve, tower("s", 20001, term("0"))), term("s(0)"));
  Terms::Term deep_normal = tower("g", 20000, term("a"));
  EXPECT_EQ(Rewriting::norm(peano, deep_normal), deep_normal);
}

class TraceTest : public testing::Test {
 protected:
  void TearDown() override {
    Prefs::debug_rewriting = false;
    Debug::verbosity = Debug::Level::info;
  }

  static std::string normalize_output(bool debug_rewriting, Debug::Level verbosity) {
    Prefs::debug_rewriting = debug_rewriting;
    Debug::verbosity = verbosity;
    testing::internal::CaptureStderr();
    Terms::Term n = Rewriting::normalize(rules({"f(X0) -> X0", "a -> b"}), term("f(a)"));
    std::string out = testing::internal::GetCapturedStderr();
    EXPECT_EQ(show(n), "b");
    return out;
  }
};

TEST_F(TraceTest, ThreeLinesOnlyWithSettingAndTraceVerbosity) {
  EXPECT_EQ(normalize_output(true, Debug::Level::trace),
            "Normalizing with rules: \nf(X0) -> X0\na -> b\nf(a) -->! b\n");
  EXPECT_EQ(normalize_output(true, Debug::Level::debug), "");
  EXPECT_EQ(normalize_output(false, Debug::Level::trace), "");
}

}  // namespace
