// Canonical numbering of rules and equations.
#include <gtest/gtest.h>

#include "terms/substitution.hpp"
#include "tests/unit/term_text.hpp"

namespace {

using TermText::rule;
using TermText::show;
using TermText::term;

TEST(CanonTest, Cases) {
  const struct {
    const char* rule;
    const char* canonical;
  } cases[] = {
      {"f(X0,Y0) -> Y0", "f(X1,X0) -> X0"},  // the right side is numbered first
      {"f(Y0,X0) -> X0", "f(X1,X0) -> X0"},
      {"f(Y0,X0,Y0) -> a", "f(X0,X1,X0) -> a"},
      {"f(X0) -> g(X0,Y0)", "f(X0) -> g(X0,X1)"},
      {"f(X1,X0) -> X0", "f(X1,X0) -> X0"},
      {"f(a,g(b)) -> c", "f(a,g(b)) -> c"},
      {"f(X0,X3) -> X3", "f(X1,X0) -> X0"},  // same name, two suffixes: two variables
      {"f(X0,Y0) -> g(Y0)", "f(X1,X0) -> g(X0)"},
      {"h(Z7,g(Y2),Z7,X0) -> k(Y2,W5)", "h(X2,g(X0),X2,X3) -> k(X0,X1)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(show(Terms::canon_rule(rule(c.rule))), c.canonical);
  }
}

TEST(CanonTest, RenamingsAgreeAndCanonicalFormsAreFixed) {
  Terms::Rule a = rule("f(g(X0),Y0,X0) -> h(Y0,Z0)");
  Terms::Rule b = rule("f(g(U4),V1,U4) -> h(V1,X9)");
  Terms::Rule ca = Terms::canon_rule(a);
  EXPECT_EQ(ca, Terms::canon_rule(b));
  EXPECT_EQ(Terms::canon_rule(ca), ca);
}

TEST(CanonTest, SharedNumberingState) {
  Terms::CanonTable table;
  long counter = -1;
  EXPECT_EQ(show(Terms::_canon(table, counter, term("f(Y0,a,X0)"))), "f(X0,a,X1)");
  EXPECT_EQ(counter, 1);
  EXPECT_EQ(show(Terms::_canon(table, counter, term("g(X0,Z0,Y0)"))), "g(X1,X2,X0)");
  EXPECT_EQ(counter, 2);
}

TEST(CanonTest, DeepRule) {
  Terms::Term deep = TermText::tower("s", 20000, term("Y3"));
  Terms::Rule r = Terms::canon_rule({deep, term("Y3")});
  EXPECT_EQ(r.lhs, TermText::tower("s", 20000, term("X0")));
}

}  // namespace
