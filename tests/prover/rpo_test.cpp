// The recursive path order: LPO with a status per symbol (right-to-left or multiset).
#include <gtest/gtest.h>

#include "lpo_search.hpp"
#include "parser.hpp"
#include "proof.hpp"

namespace Termination {
namespace {

// Associativity towards the left: LPO fails, right-to-left status orients it.
constexpr const char* kLeftAssoc = "(VAR x y z)\n(RULES \nf(x,f(y,z)) -> f(f(x,y),z))";
// Arguments that swap places while one shrinks: only multiset status for f works.
constexpr const char* kSwappedPlus =
    "(VAR x y z)\n(RULES \nf(s(x),y) -> f(y,x)\ng(x,f(y,z)) -> g(f(x,y),z))";
// Commutativity: no simplification order orients it.
constexpr const char* kCommute = "(VAR x y)\n(RULES \nf(x,y) -> f(y,x))";
// Multiset status with different arities under one level.
constexpr const char* kMerge = "(VAR x y)\n(RULES \nf(g(x),y) -> h(x,y,y))";

TEST(Rpo, StatusIsFoundOnlyWhereNeeded) {
  struct Case {
    const char* problem;
    bool lpo, rpo;
  };
  for (const Case& c : {Case{kLeftAssoc, false, true}, Case{kSwappedPlus, false, true},
                        Case{kCommute, false, false}}) {
    SCOPED_TRACE(c.problem);
    Trs trs = parse_problem(c.problem);
    EXPECT_EQ(find_lpo(trs, Deadline(5000)).has_value(), c.lpo);
    auto proof = find_lpo(trs, Deadline(5000), true);
    ASSERT_EQ(proof.has_value(), c.rpo);
    if (proof) {
      EXPECT_TRUE(check_proof(trs, *proof));
    }
  }
}

TEST(Rpo, ComparesByHand) {
  Trs trs = parse_problem(kLeftAssoc);
  SymbolId f = trs.signature.find("f");
  LpoProof proof{Levels(trs.signature.size(), 0), std::vector<Status>(trs.signature.size())};
  const Rule& rule = trs.rules[0];
  EXPECT_FALSE(rpo_greater(trs.bank, proof, rule.lhs, rule.rhs));
  proof.status[f] = Status::RightToLeft;
  EXPECT_TRUE(rpo_greater(trs.bank, proof, rule.lhs, rule.rhs));
  proof.status[f] = Status::Multiset;  // {x, f(y,z)} against {f(x,y), z}: f(x,y) is not covered
  EXPECT_FALSE(rpo_greater(trs.bank, proof, rule.lhs, rule.rhs));

  Trs merge = parse_problem(kMerge);
  SymbolId mf = merge.signature.find("f"), mg = merge.signature.find("g"),
           mh = merge.signature.find("h");
  LpoProof mul{Levels(merge.signature.size(), 0),
               std::vector<Status>(merge.signature.size(), Status::Multiset)};
  mul.levels[mg] = -1;
  const Rule& r = merge.rules[0];
  // {g(x), y} against {x, y, y}: y cancels once, g(x) > x, but the second y is not covered.
  EXPECT_FALSE(rpo_greater(merge.bank, mul, r.lhs, r.rhs));
  mul.levels[mf] = 1;  // f above h: precedence decides
  EXPECT_TRUE(rpo_greater(merge.bank, mul, r.lhs, r.rhs));
  (void)mh;
}

TEST(Rpo, CheckerRejectsWrongStatus) {
  Trs trs = parse_problem(kSwappedPlus);
  auto found = find_lpo(trs, Deadline(5000), true);
  ASSERT_TRUE(found);
  SymbolId plus = trs.signature.find("f"), times = trs.signature.find("g");
  EXPECT_EQ(found->status[plus], Status::Multiset);
  EXPECT_TRUE(check_proof(trs, TerminationProof{*found}));
  for (Status wrong : {Status::LeftToRight, Status::RightToLeft}) {
    LpoProof doctored = *found;
    doctored.status[plus] = wrong;
    EXPECT_FALSE(check_proof(trs, TerminationProof{doctored}));
  }
  LpoProof mixed = *found;  // f and g equivalent but with different status
  mixed.levels[times] = mixed.levels[plus];
  EXPECT_FALSE(check_proof(trs, TerminationProof{mixed}));
  LpoProof short_status = *found;
  short_status.status.pop_back();
  EXPECT_FALSE(check_proof(trs, TerminationProof{short_status}));
  EXPECT_EQ(summarize_proof(trs, *found).rfind("RPO with precedence", 0), 0u);
}

}  // namespace
}  // namespace Termination
