// The caches behind the node cost and normalization: results must equal those computed afresh.
//
// The node cost is summed rule pair by rule pair from cached critical pairs and sizes; it must
// equal the total size of find_all_nontrivial_critical_pairs (computed without any cache) plus the
// equations and constraints, also when the constraints change between calls, when the rules'
// variables carry large suffixes (the renaming offsets then differ between the rule-by-rule and
// the whole-list computation), and when the trace of normalization is shown.  Normalization keeps
// its memo between calls with the same rule list only; a list with the same rules in another order
// must not see normal forms found with the first.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "completion/huet.hpp"
#include "driver/debug.hpp"
#include "driver/prefs.hpp"
#include "terms/cp.hpp"
#include "terms/rewriting.hpp"
#include "tests/unit/term_text.hpp"

namespace {

using Terms::Rule;
using TermText::rule;
using TermText::rules;
using TermText::show;
using TermText::term;

// The cost computed without the caches: the non-trivial pairs, the equations, the constraints.
double reference_cost(const Huet::Problem& p) {
  long n = Huet::size_of_trs(Huet::find_all_nontrivial_critical_pairs(p)) +
           Huet::size_of_trs(Huet::strip_flags(p.equations)) + Huet::size_of_trs(p.constraints);
  return static_cast<double>(n);
}

Huet::Problem node(const std::vector<Rule>& unmarked, const std::vector<Rule>& marked,
                   const std::vector<Rule>& constraints) {
  Huet::Problem p;
  p.unmarked = std::make_shared<Huet::RuleHeap>(Huet::RuleHeap::create(4));
  for (const Rule& r : unmarked) p.unmarked->add(Huet::RuleEntry{r, r.lhs.size() + r.rhs.size()});
  p.marked = marked;
  p.constraints = constraints;
  p.equations.emplace_back(rule("f(X0,f(i(X0),Y0)) -> Y0"), false);
  return p;
}

struct CostCase {
  const char* name;
  std::vector<Rule> unmarked;
  std::vector<Rule> marked;
  std::vector<Rule> constraints;
};

std::vector<CostCase> cost_cases() {
  const std::vector<Rule> axioms =
      rules({"f(e,X0) -> X0", "f(i(X0),X0) -> e", "f(f(X0,Y0),Z0) -> f(X0,f(Y0,Z0))"});
  return {
      {"axioms unmarked, no constraints", axioms, {}, {}},
      {"axioms unmarked, axioms as constraints", axioms, {}, axioms},
      {"one unmarked, two marked", {axioms[2]}, {axioms[0], axioms[1]}, axioms},
      {"large suffixes", rules({"f(X9,f(Y3,Z12)) -> f(f(X9,Y3),Z12)", "g(X0) -> f(X0,X0)"}),
       rules({"f(i(Y7),Y7) -> e", "f(e,X30) -> X30"}),
       rules({"f(e,X0) -> X0", "f(i(X0),X0) -> e"})},
      {"constraints order decides normal forms", rules({"h(X0) -> a", "g(X0) -> h(X0)"}),
       rules({"k(X0) -> g(X0)"}), rules({"a -> b", "h(X0) -> c", "a -> c"})},
  };
}

TEST(CostCache, CostEqualsTheUncachedComputation) {
  for (const CostCase& c : cost_cases()) {
    Huet::Problem p = node(c.unmarked, c.marked, c.constraints);
    EXPECT_EQ(Huet::problem_cost(p, Huet::BranchInfo{}), reference_cost(p)) << c.name;
    // Asked again (answered from the caches now).
    EXPECT_EQ(Huet::problem_cost(p, Huet::BranchInfo{}), reference_cost(p)) << c.name;
  }
}

TEST(CostCache, ChangedConstraintsAreNotAnsweredFromAnotherList) {
  const std::vector<Rule> unmarked = rules({"h(X0) -> a", "g(X0) -> h(X0)"});
  const std::vector<std::vector<Rule>> lists = {rules({"a -> b", "h(X0) -> c"}),
                                                rules({"h(X0) -> c", "a -> b"}),
                                                rules({"a -> c", "h(X0) -> b"}),
                                                {},
                                                rules({"a -> b", "h(X0) -> c"})};
  for (int round = 0; round < 2; ++round)
    for (const std::vector<Rule>& constraints : lists) {
      Huet::Problem p = node(unmarked, {}, constraints);
      EXPECT_EQ(Huet::problem_cost(p, Huet::BranchInfo{}), reference_cost(p))
          << "round " << round << ", " << constraints.size() << " constraints";
    }
}

TEST(CostCache, TracedNormalizationStillShowsEveryPair) {
  Huet::Problem p = node(rules({"f(f(X0,Y0),Z0) -> f(X0,f(Y0,Z0))"}), {}, {});
  double untraced = Huet::problem_cost(p, Huet::BranchInfo{});
  Debug::Level saved = Debug::verbosity;
  Debug::verbosity = Debug::Level::trace;
  Prefs::debug_rewriting = true;
  testing::internal::CaptureStderr();
  double traced = Huet::problem_cost(p, Huet::BranchInfo{});
  std::string err = testing::internal::GetCapturedStderr();
  Prefs::debug_rewriting = false;
  Debug::verbosity = saved;
  EXPECT_EQ(traced, untraced);
  // Both sides of each pair, each traced with its three lines; the rule overlaps itself twice.
  size_t shown = 0;
  for (size_t at = err.find(" -->! "); at != std::string::npos; at = err.find(" -->! ", at + 1))
    ++shown;
  const std::vector<Rule> assoc = rules({"f(f(X0,Y0),Z0) -> f(X0,f(Y0,Z0))"});
  EXPECT_EQ(shown, 3 * 2 * Cp::critical_pairs(assoc, assoc).size());
}

TEST(NormalizationMemo, KeptOnlyForTheSameRuleList) {
  const std::vector<Rule> b_first = rules({"a -> b", "a -> c", "g(X0) -> X0"});
  const std::vector<Rule> c_first = rules({"a -> c", "a -> b", "g(X0) -> X0"});
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(show(Rewriting::norm(b_first, term("f(g(a),a)"))), "f(b,b)") << round;
    EXPECT_EQ(show(Rewriting::norm(b_first, term("g(g(a))"))), "b") << round;
    EXPECT_EQ(show(Rewriting::norm(c_first, term("f(g(a),a)"))), "f(c,c)") << round;
    EXPECT_EQ(show(Rewriting::norm(c_first, term("a"))), "c") << round;
  }
}

// Rules are looked up by root symbol, but the first rule in list order still wins, also when
// rules of other symbols come between.
TEST(NormalizationMemo, RootSymbolLookupKeepsListOrder) {
  struct Case {
    std::vector<Rule> rules;
    const char* input;
    const char* normal_form;
  } cases[] = {
      {rules({"f(X0,Y0) -> c", "g(X0) -> X0", "f(a,Y0) -> b"}), "f(a,g(a))", "c"},
      {rules({"f(a,Y0) -> b", "g(X0) -> X0", "f(X0,Y0) -> c"}), "f(a,g(a))", "b"},
      {rules({"h(X0) -> X0", "f(X0,X0) -> d", "f(X0,Y0) -> c"}), "f(h(a),a)", "d"},
      {rules({"k -> a", "f(a,a) -> k"}), "f(k,a)", "a"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(show(Rewriting::norm(c.rules, term(c.input))), c.normal_form) << c.input;
}

}  // namespace
