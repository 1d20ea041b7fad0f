// The ordering searches (LPO, KBO, linear interpretations) and their direct checkers.
#include <gtest/gtest.h>

#include "kbo_search.hpp"
#include "lpo_search.hpp"
#include "parser.hpp"
#include "poly_search.hpp"

namespace Termination {
namespace {

constexpr const char* kGroup =
    "(VAR x y z)\n(RULES \nf(e,x) -> x\nf(i(x),x) -> e\nf(f(x,y),z) -> f(x,f(y,z)))";
constexpr const char* kGroupInverse =
    "(VAR x y z)\n(RULES \nf(e,x) -> x\nf(i(x),x) -> e\nf(f(x,y),z) -> f(x,f(y,z))\n"
    "i(e) -> e\ni(i(x)) -> x\ni(f(x,y)) -> f(i(y),i(x)))";
constexpr const char* kAckermann =
    "(VAR x y)\n(RULES \nack(0,y) -> s(y)\nack(s(x),0) -> ack(x,s(0))\n"
    "ack(s(x),s(y)) -> ack(x,ack(s(x),y)))";
constexpr const char* kPlusTimes =
    "(VAR x y)\n(RULES \nplus(0,y) -> y\nplus(s(x),y) -> s(plus(x,y))\ntimes(0,y) -> 0\n"
    "times(s(x),y) -> plus(y,times(x,y)))";
constexpr const char* kDistribute =
    "(VAR x y z)\n(RULES \ntimes(x,plus(y,z)) -> plus(times(x,y),times(x,z)))";
constexpr const char* kDuplicate = "(VAR x)\n(RULES \nf(x) -> g(x,x))";
constexpr const char* kShrink = "(VAR x)\n(RULES \nf(g(x)) -> g(f(x)))";
constexpr const char* kNested = "(VAR x)\n(RULES \nf(f(x)) -> f(g(f(x))))";
constexpr const char* kSwap = "(VAR x y)\n(RULES \nf(x,y) -> f(y,x))";
constexpr const char* kStrings = "(VAR x)\n(RULES \na(b(x)) -> b(b(a(x))))";
constexpr const char* kConstantsLoop = "(VAR )\n(RULES \na -> b\nb -> a)";

struct OrderCase {
  const char* text;
  bool lpo, kbo, poly;  // whether each ordering orients all rules
};

TEST(Orderings, FindExactlyTheExpectedOrientations) {
  const OrderCase cases[] = {
      {kGroup, true, true, true},
      {kGroupInverse, true, true, false},
      {kAckermann, true, false, false},
      {kPlusTimes, true, false, false},
      {kDistribute, true, false, false},
      {kDuplicate, true, false, true},
      {kShrink, true, true, true},
      {kNested, false, false, false},
      {kSwap, false, false, false},
      {kStrings, true, false, true},
      {kConstantsLoop, false, false, false},
  };
  Deadline deadline(10000);
  for (const OrderCase& c : cases) {
    SCOPED_TRACE(c.text);
    Trs trs = parse_problem(c.text);
    auto lpo = find_lpo(trs, deadline);
    EXPECT_EQ(lpo.has_value(), c.lpo);
    if (lpo) EXPECT_TRUE(lpo_orients(trs, *lpo));
    auto kbo = find_kbo(trs, deadline);
    EXPECT_EQ(kbo.has_value(), c.kbo);
    if (kbo) EXPECT_TRUE(kbo_orients(trs, *kbo));
    PolyConstraints constraints{trs.rules, {}, {}};
    auto poly = find_linear_interpretation(trs, constraints, PolyShape{2, 3, true}, deadline);
    EXPECT_EQ(poly.has_value(), c.poly);
    if (poly) EXPECT_TRUE(poly_orients(trs, PolyProof{*poly}));
  }
}

TEST(Orderings, LpoComparesByHand) {
  Trs trs = parse_problem("(VAR x y)\n(RULES \nf(g(x),y) -> h(x,y))");
  SymbolId f = trs.signature.find("f"), g = trs.signature.find("g"), h = trs.signature.find("h");
  Levels levels(trs.signature.size(), 0);
  const Rule& rule = trs.rules[0];
  levels[f] = 2, levels[h] = 1, levels[g] = 0;
  EXPECT_TRUE(lpo_greater(trs.bank, levels, rule.lhs, rule.rhs));
  levels[h] = 3;  // h above f: only a subterm of f(g(x),y) could dominate h(x,y), none does
  EXPECT_FALSE(lpo_greater(trs.bank, levels, rule.lhs, rule.rhs));
  levels[h] = 2;  // f and h equivalent: lexicographic, g(x) > x
  EXPECT_TRUE(lpo_greater(trs.bank, levels, rule.lhs, rule.rhs));
}

TEST(Orderings, CheckersRejectWrongProofObjects) {
  Trs group = parse_problem(kGroupInverse);
  Deadline deadline(10000);
  auto kbo = find_kbo(group, deadline);
  ASSERT_TRUE(kbo);
  KboProof inadmissible = *kbo;
  SymbolId i = group.signature.find("i");
  SymbolId f = group.signature.find("f");
  inadmissible.weights[i] = 0;
  inadmissible.levels[i] = inadmissible.levels[f] - 1;  // weight-0 unary symbol not maximal
  EXPECT_FALSE(kbo_orients(group, inadmissible));
  KboProof short_proof = *kbo;
  short_proof.weights.pop_back();
  EXPECT_FALSE(kbo_orients(group, short_proof));

  auto lpo = find_lpo(group, deadline);
  ASSERT_TRUE(lpo);
  LpoProof reversed = *lpo;
  for (int& level : reversed.levels) level = -level;
  EXPECT_FALSE(lpo_orients(group, reversed));

  Trs plain = parse_problem(kGroup);
  PolyConstraints constraints{plain.rules, {}, {}};
  auto poly = find_linear_interpretation(plain, constraints, PolyShape{1, 2, true}, deadline);
  ASSERT_TRUE(poly);
  PolyProof flat{*poly};
  for (auto& c : flat.interpretation.constants) c = 0;
  EXPECT_FALSE(poly_orients(plain, flat));
  PolyProof not_monotone{*poly};
  not_monotone.interpretation.coefficients[plain.signature.find("f")][0] = 0;
  EXPECT_FALSE(poly_orients(plain, not_monotone));
}

}  // namespace
}  // namespace Termination
