#include "terms/terms.hpp"

#include <gtest/gtest.h>

namespace {

using Terms::app;
using Terms::constant;
using Terms::Rule;
using Terms::Term;
using Terms::var;

Term x() { return var("x", 0); }
Term a() { return constant("a"); }
Term b() { return constant("b"); }

TEST(TermsTest, HashConsingMakesEqualTermsIdentical) {
  Term t1 = app("f", {x(), app("g", {a()})});
  Term t2 = app("f", {var("x", 0), app("g", {constant("a")})});
  EXPECT_EQ(t1.node(), t2.node());
  EXPECT_NE(app("f", {a()}), app("f", {a(), a()}));
  EXPECT_NE(var("x", 0), var("x", 1));
  EXPECT_NE(var("x", 0), constant("x"));
}

TEST(TermsTest, CachedMeasures) {
  Term t = app("f", {x(), app("g", {var("y", 3)})});
  EXPECT_EQ(t.size(), 4);
  EXPECT_EQ(t.depth(), 3);
  EXPECT_FALSE(t.ground());
  EXPECT_EQ(t.max_suffix(), 3);
  EXPECT_TRUE(app("f", {a()}).ground());
  EXPECT_EQ(a().max_suffix(), 0);
}

TEST(TermsTest, NodesAreReclaimed) {
  size_t before = Terms::live_nodes();
  {
    Term deep = constant("zz_unique");
    for (int i = 0; i < 200000; ++i) deep = app("s_unique", {deep});
    EXPECT_GT(Terms::live_nodes(), before + 200000 - 1);
  }
  EXPECT_EQ(Terms::live_nodes(), before);
}

struct OrderCase {
  const char* what;
  Term smaller;
  Term larger;
};

TEST(TermsTest, StructuralOrder) {
  const OrderCase cases[] = {
      {"variable before constant", var("Z", 0), constant("a")},
      {"suffix 9 before 10", var("x", 9), var("x", 10)},
      {"prefix argument list first", app("f", {a()}), app("f", {a(), b()})},
      {"f(a,b) before f(b)", app("f", {a(), b()}), app("f", {b()})},
      {"Z before a", constant("Z"), constant("a")},
      {"ab before b", constant("ab"), constant("b")},
      {"a before ab", constant("a"), constant("ab")},
  };
  for (const auto& c : cases) {
    EXPECT_LT(Terms::compare(c.smaller, c.larger), 0) << c.what;
    EXPECT_GT(Terms::compare(c.larger, c.smaller), 0) << c.what;
    EXPECT_EQ(Terms::compare(c.smaller, c.smaller), 0) << c.what;
  }
}

TEST(TermsTest, RulesAndRuleSets) {
  Rule r1{app("f", {x()}), a()};
  Rule r2{app("f", {x()}), b()};
  EXPECT_LT(Terms::compare(r1, r2), 0);
  Terms::Trs once = Terms::trs_of_rules({r1, r1});
  EXPECT_EQ(once.size(), 1u);
  Terms::Trs empty;
  EXPECT_LT(Terms::compare(empty, once), 0);
  Terms::TrsSet sets{once, empty};
  EXPECT_TRUE(sets.begin()->empty());
}

TEST(TermsTest, SizesAndVariables) {
  EXPECT_EQ(Terms::maxs({}), 0);
  EXPECT_EQ(Terms::maxs({-3, -1}), 0);
  EXPECT_EQ(Terms::sizes({}), 0);
  EXPECT_FALSE(Terms::subset_vars(x(), app("f", {var("y", 0)})));
  EXPECT_TRUE(Terms::subset_vars(a(), app("f", {var("y", 0)})));
  auto vars = Terms::find_vars_all({app("f", {x(), var("y", 0), x()}), var("z", 0)});
  ASSERT_EQ(vars.size(), 3u);
  EXPECT_EQ(vars[0], (Terms::Variable{Terms::Name::intern("x"), 0}));
  EXPECT_TRUE(Terms::occurs(vars[2], var("z", 0)));
}

}  // namespace
