// Critical pairs: renaming apart, overlap positions and the order of the result.
#include "terms/cp.hpp"

#include <gtest/gtest.h>

#include "tests/unit/term_text.hpp"

namespace {

using TermText::rules;
using TermText::show;
using TermText::term;

std::vector<std::string> shown(const std::vector<Cp::Pair>& pairs) {
  std::vector<std::string> out;
  for (const auto& [l, r] : pairs) out.push_back(show(l) + " , " + show(r));
  return out;
}

TEST(CpTest, MaxindexAndRename) {
  EXPECT_EQ(Cp::maxindex(term("f(X0,Y3)")), 3);
  EXPECT_EQ(Cp::maxindex(term("a")), 0);
  EXPECT_EQ(Cp::maxindex(term("X0")), 0);
  EXPECT_EQ(show(Cp::rename(2, term("f(X0)"))), "f(X2)");
  EXPECT_EQ(show(Cp::rename(1, term("f(X0,Y5,g(a))"))), "f(X1,Y6,g(a))");
  EXPECT_EQ(show(Cp::rename(4, term("a"))), "a");
}

TEST(CpTest, Cases) {
  const struct {
    const char* what;
    std::vector<Terms::Rule> inner;
    std::vector<Terms::Rule> outer;
    std::vector<std::string> pairs;
  } cases[] = {
      {"no inner rules", {}, rules({"f(X0) -> X0"}), {}},
      {"no outer rules", rules({"f(X0) -> X0"}), {}, {}},
      // The shifted variable X1 is bound to the inner X0, so both sides read X0.
      {"self overlap at the root", rules({"f(X0) -> X0"}), rules({"f(X0) -> X0"}), {"X0 , X0"}},
      {"inner position first",
       rules({"f(f(X0)) -> g(X0)"}),
       rules({"f(f(X0)) -> g(X0)"}),
       {"g(f(X0)) , f(g(X0))", "g(X0) , g(X0)"}},
      {"two inner rules at one position: the second one's pair first",
       rules({"f(X0,a) -> X0", "f(b,X0) -> X0"}),
       rules({"f(Y0,Z0) -> h(Y0,Z0)"}),
       {"h(b,X0) , X0", "h(X0,a) , X0"}},
      {"later outer rules first",
       rules({"a -> b"}),
       rules({"f(a) -> c", "g(a) -> d"}),
       {"d , g(b)", "c , f(b)"}},
      {"pre-order positions, inner rules in order at each",
       rules({"f(X0) -> X0", "a -> b"}),
       rules({"h(f(a),g(a)) -> c"}),
       {"c , h(f(a),g(b))", "c , h(f(b),g(a))", "c , h(a,g(a))"}},
      {"offset from the largest inner suffix",
       rules({"g(X3) -> X3"}),
       rules({"f(X0,g(Y0)) -> X0"}),
       {"X4 , f(X4,X3)"}},
      {"offset counts right sides too",
       rules({"g(X0) -> k(Y2)"}),
       rules({"g(X0) -> X0"}),
       {"X0 , k(Y2)"}},
      {"variable positions are skipped", rules({"a -> b"}), rules({"f(X0,X0) -> X0"}), {}},
      {"occurs check", rules({"f(X0,g(X0)) -> a"}), rules({"f(Y0,Y0) -> b"}), {}},
      {"an equation with a variable left side overlaps everywhere",
       rules({"X0 -> c"}),
       rules({"f(a) -> b"}),
       {"b , f(c)", "b , c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(shown(Cp::critical_pairs(c.inner, c.outer)), c.pairs);
  }
}

TEST(CpTest, DeepLeftSide) {
  // s^n(X0) -> X0 against s(s(X0)) -> X0 overlaps at every position.
  const int n = 1000;
  auto inner = rules({"s(s(X0)) -> X0"});
  std::vector<Terms::Rule> outer{{TermText::tower("s", n, term("X0")), term("X0")}};
  auto pairs = Cp::critical_pairs(inner, outer);
  ASSERT_EQ(pairs.size(), size_t(n));
  // The last pair found, at the deepest position s(X1), comes first; there X1 is bound to s(X0).
  EXPECT_EQ(pairs.front().first, term("s(X0)"));
  EXPECT_EQ(pairs.front().second, TermText::tower("s", n - 1, term("X0")));
  // The root overlap, found first, binds the inner X0 to s^(n-2)(X1).
  EXPECT_EQ(pairs.back().first, term("X1"));
  EXPECT_EQ(pairs.back().second, TermText::tower("s", n - 2, term("X1")));
}

}  // namespace
