// Unification, matching and the tests built on matching.
#include <gtest/gtest.h>

#include <random>

#include "terms/substitution.hpp"
#include "tests/unit/term_text.hpp"

namespace {

using TermText::show;
using TermText::term;
using TermText::tower;

struct PairCase {
  const char* left;
  const char* right;
  const char* expected;  // sorted bindings, or "none"
};

TEST(UnifyTest, Cases) {
  const PairCase cases[] = {
      {"X0", "X0", ""},
      {"f(a,g(X0))", "f(a,g(X0))", ""},
      {"X0", "f(X0)", "none"},
      {"f(X0)", "X0", "none"},
      {"f(X0,Y0)", "f(Y0,g(X0))", "none"},  // occurs check after a binding
      {"X0", "Y0", "X0:=Y0"},               // the left variable is bound
      {"Y0", "X0", "Y0:=X0"},
      {"f(X0)", "f(Y0)", "X0:=Y0"},
      {"X0", "X1", "X0:=X1"},
      {"a", "X0", "X0:=a"},
      {"f(Y0)", "X0", "X0:=f(Y0)"},
      {"f(a)", "g(a)", "none"},
      {"f(a)", "f(b)", "none"},
      {"f(a)", "f(a,b)", "none"},  // one name, two arities: a clash
      {"f(X0)", "f(X0,Y0)", "none"},
      {"f(X0,Y0)", "f(Y0,a)", "X0:=a Y0:=a"},
      {"f(X0,g(Y0))", "f(g(Z0),X0)", "X0:=g(Z0) Y0:=Z0"},
      {"f(X0,Y0)", "f(Y0,X0)", "X0:=Y0"},
      {"g(X0,X0)", "g(f(Y0),f(a))", "X0:=f(a) Y0:=a"},
      {"h(X0,Y0,Z0)", "h(Y0,Z0,a)", "X0:=a Y0:=a Z0:=a"},
      {"h(X0,Y0,X0)", "h(Y0,Z0,f(Z0))", "none"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.left) + " =? " + c.right);
    EXPECT_EQ(show(Terms::unify(term(c.left), term(c.right))), c.expected);
  }
}

TEST(UnifyTest, SolveTakesPairsInOrder) {
  EXPECT_EQ(show(Terms::solve({{term("X0"), term("a")}, {term("f(X0)"), term("f(Y0)")}})),
            "X0:=a Y0:=a");
  EXPECT_EQ(show(Terms::solve({{term("X0"), term("Y0")}, {term("Y0"), term("X0")}})), "X0:=Y0");
  EXPECT_EQ(show(Terms::solve({{term("Y0"), term("X0")}, {term("X0"), term("Y0")}})), "Y0:=X0");
  EXPECT_EQ(show(Terms::solve({{term("f(X0)"), term("f(a)")}, {term("X0"), term("b")}})), "none");
  EXPECT_EQ(show(Terms::solve({})), "");
}

TEST(UnifyTest, LiftAppliesOnce) {
  Terms::Substitution s;
  s.bind(term("X0").var(), term("Y0"));
  s.bind(term("Y0").var(), term("a"));
  EXPECT_EQ(show(Terms::lift(s, term("f(X0,Y0,Z0,b)"))), "f(Y0,a,Z0,b)");
  EXPECT_EQ(show(Terms::app(s, term("X0").var())), "Y0");
  EXPECT_EQ(show(Terms::lift(Terms::Substitution(), term("f(X0)"))), "f(X0)");
}

// Random small terms over f/2, g/1, a, b and the variables X0, Y0, Z0, X1.
Terms::Term random_term(std::mt19937& gen, int depth) {
  static const char* vars[] = {"X0", "Y0", "Z0", "X1"};
  int pick = std::uniform_int_distribution<int>(0, depth > 0 ? 7 : 5)(gen);
  if (pick < 4) return term(vars[pick]);
  if (pick == 4) return term("a");
  if (pick == 5) return term("b");
  if (pick == 6) return Terms::app("g", {random_term(gen, depth - 1)});
  return Terms::app("f", {random_term(gen, depth - 1), random_term(gen, depth - 1)});
}

bool bound_anywhere(const Terms::Substitution& s, const Terms::Term& t) {
  for (const auto& [v, image] : s.bindings())
    if (Terms::occurs(v, t)) return true;
  return false;
}

TEST(UnifyTest, UnifiersAreIdempotentAndUnify) {
  std::mt19937 gen(7);
  int unified = 0;
  for (int i = 0; i < 3000; ++i) {
    Terms::Term s = random_term(gen, 3);
    Terms::Term t = random_term(gen, 3);
    auto sigma = Terms::unify(s, t);
    if (!sigma) continue;
    ++unified;
    SCOPED_TRACE(show(s) + " =? " + show(t) + " gives " + show(sigma));
    EXPECT_EQ(Terms::lift(*sigma, s), Terms::lift(*sigma, t));
    for (const auto& [v, image] : sigma->bindings()) {
      EXPECT_FALSE(bound_anywhere(*sigma, image));
      EXPECT_FALSE(image == Terms::var(v));
    }
  }
  EXPECT_GT(unified, 300);
}

TEST(MatchTest, Cases) {
  const PairCase cases[] = {
      {"f(X0,X0)", "f(a,b)", "none"},
      {"f(X0,X0)", "f(g(Y0),g(Y0))", "X0:=g(Y0)"},
      {"X0", "f(Y0)", "X0:=f(Y0)"},
      {"f(Y0)", "X0", "none"},  // subject variables are rigid
      {"X0", "X0", "X0:=X0"},
      {"f(X0,Y0)", "f(Y0,X0)", "X0:=Y0 Y0:=X0"},
      {"f(X0)", "f(a,b)", "none"},
      {"f(a)", "f(a)", ""},
      {"f(a)", "f(b)", "none"},
      {"f(a)", "g(a)", "none"},
      {"g(f(X0,Y0))", "g(f(a,g(X0)))", "X0:=a Y0:=g(X0)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.left) + " matches " + c.right);
    EXPECT_EQ(show(Terms::match_with(term(c.left), term(c.right))), c.expected);
  }
}

TEST(MatchTest, MatchsSharesOneSubstitution) {
  EXPECT_EQ(show(Terms::matchs({{term("X0"), term("a")}, {term("f(X0)"), term("f(b)")}})), "none");
  EXPECT_EQ(show(Terms::matchs({{term("X0"), term("a")}, {term("g(X0,Y0)"), term("g(a,b)")}})),
            "X0:=a Y0:=b");
}

TEST(MatchTest, RuleTests) {
  using TermText::rule;
  EXPECT_TRUE(Terms::rule_generalization(rule("f(X0) -> X0"), rule("f(a) -> a")));
  EXPECT_FALSE(Terms::rule_generalization(rule("f(X0) -> X0"), rule("f(a) -> b")));
  EXPECT_FALSE(Terms::rule_generalization(rule("f(a) -> a"), rule("f(X0) -> X0")));
  EXPECT_TRUE(Terms::rule_generalization(rule("f(X0,Y0) -> Y0"), rule("f(Y0,X0) -> X0")));
  EXPECT_TRUE(Terms::rule_instance(rule("f(a) -> a"), rule("f(X0) -> X0")));
  EXPECT_FALSE(Terms::rule_instance(rule("f(X0) -> X0"), rule("f(a) -> a")));
}

TEST(MatchTest, SubtermSearch) {
  const struct {
    const char* pattern;
    const char* subject;
    bool found;
  } cases[] = {
      {"g(X0)", "f(a,g(b))", true},
      {"g(X0)", "f(a,b)", false},
      {"f(X0,X0)", "h(f(a,b),f(c,c))", true},
      {"f(X0,X0)", "h(f(a,b),f(c,d))", false},
      {"X0", "a", true},
      {"f(a,b)", "f(a,b)", true},
      {"g(X0)", "X0", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " in " + c.subject);
    EXPECT_EQ(Terms::try_match_subterm(term(c.pattern), term(c.subject)), c.found);
  }
}

TEST(MatchTest, DeepTerms) {
  Terms::Term deep = tower("s", 20000, term("X0"));
  Terms::Term deep_a = tower("s", 20000, term("a"));
  EXPECT_EQ(show(Terms::match_with(deep, deep_a)), "X0:=a");
  EXPECT_TRUE(Terms::try_match_subterm(tower("s", 3, term("a")), deep_a));
  EXPECT_FALSE(Terms::try_match_subterm(term("g(X0)"), deep_a));
  EXPECT_EQ(show(Terms::unify(term("X0"), deep)), "none");
  EXPECT_EQ(Terms::unify(term("Y0"), deep)->bindings().size(), 1u);
  auto sigma = Terms::unify(deep, tower("s", 19990, term("Y0")));
  ASSERT_TRUE(sigma.has_value());
  EXPECT_EQ(Terms::lift(*sigma, term("Y0")), tower("s", 10, term("X0")));
}

}  // namespace
