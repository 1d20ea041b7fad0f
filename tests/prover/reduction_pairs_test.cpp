// The reduction pairs that need more than one number per symbol: LPO with argument filtering
// and matrix interpretations. Found parameters pass their checkers; doctored ones fail.
#include <gtest/gtest.h>

#include "argument_filter_search.hpp"
#include "dependency_pairs.hpp"
#include "dp_proof.hpp"
#include "matrix_search.hpp"
#include "parser.hpp"
#include "poly_search.hpp"

namespace Termination {
namespace {

constexpr const char* kMinusQuot =
    "(VAR x y)\n(RULES \nminus(x,0) -> x\nminus(s(x),s(y)) -> minus(x,y)\n"
    "quot(0,s(y)) -> 0\nquot(s(x),s(y)) -> s(quot(minus(x,y),s(y))))";

TEST(FilteredLpo, ComparesFilteredTerms) {
  Trs trs = parse_problem("(VAR x y)\n(RULES \nf(g(x),y) -> h(x))");
  int n = trs.signature.size();
  SymbolId f = trs.signature.find("f"), g = trs.signature.find("g"), h = trs.signature.find("h");
  FilteredLpo order{{std::vector<int>(n, -1), std::vector<std::vector<int>>(n)}, Levels(n, 0)};
  order.filter.kept[f] = {0};
  order.filter.kept[g] = {0};
  order.filter.kept[h] = {0};
  ASSERT_TRUE(well_formed(trs.signature, order));
  const Rule& rule = trs.rules[0];
  order.levels[h] = 1;  // f(g(x)) against h(x) with h above f: g(x) >= h(x) fails
  EXPECT_FALSE(FilteredLpoComparer(trs.bank, order).weakly_greater(rule.lhs, rule.rhs));
  order.levels[f] = 2;  // f above h
  EXPECT_TRUE(FilteredLpoComparer(trs.bank, order).strictly_greater(rule.lhs, rule.rhs));
  order.levels[f] = 0;
  order.filter.kept[f].clear();
  order.filter.collapse[f] = 0;  // f(g(x),y) becomes g(x)
  order.filter.collapse[h] = 0;  // h(x) becomes x
  FilteredLpoComparer collapsed(trs.bank, order);
  EXPECT_TRUE(collapsed.strictly_greater(rule.lhs, rule.rhs));
  order.filter.collapse[g] = 0;  // g(x) becomes x too: equal, not greater
  order.filter.kept[g].clear();
  FilteredLpoComparer equal(trs.bank, order);
  EXPECT_TRUE(equal.weakly_greater(rule.lhs, rule.rhs));
  EXPECT_FALSE(equal.strictly_greater(rule.lhs, rule.rhs));
  order.filter.collapse[h] = 5;  // out of range
  EXPECT_FALSE(well_formed(trs.signature, order));
}

TEST(FilteredLpo, RightToLeftStatusComparesKeptArgumentsFromTheEnd) {
  Trs trs = parse_problem("(VAR x y z)\n(RULES \nf(x,f(y,z)) -> f(f(x,y),z))");
  int n = trs.signature.size();
  SymbolId f = trs.signature.find("f");
  FilteredLpo order{{std::vector<int>(n, -1), std::vector<std::vector<int>>(n)}, Levels(n, 0), {}};
  order.filter.kept[f] = {0, 1};
  const Rule& rule = trs.rules[0];
  EXPECT_FALSE(FilteredLpoComparer(trs.bank, order).weakly_greater(rule.lhs, rule.rhs));
  order.status.assign(n, Status::LeftToRight);
  order.status[f] = Status::RightToLeft;
  ASSERT_TRUE(well_formed(trs.signature, order));
  EXPECT_TRUE(FilteredLpoComparer(trs.bank, order).strictly_greater(rule.lhs, rule.rhs));
  auto found = find_filtered_lpo(trs, {}, {rule}, Deadline(5000));
  ASSERT_TRUE(found);
  EXPECT_TRUE(FilteredLpoComparer(trs.bank, *found).strictly_greater(rule.lhs, rule.rhs));
  order.status.push_back(Status::LeftToRight);  // one entry too many
  EXPECT_FALSE(well_formed(trs.signature, order));
}

TEST(FilteredLpo, SearchFindsAFilteringThatTheCheckerAccepts) {
  Trs trs = parse_problem(kMinusQuot);
  DpProblem problem = make_dp_problem(trs);
  std::vector<Rule> weak;
  for (int i : usable_rules(problem, {1})) weak.push_back(problem.trs.rules[i]);
  std::vector<Rule> pairs = {problem.pairs[1]};  // quot#(s(x),s(y)) -> quot#(minus(x,y),s(y))
  auto order = find_filtered_lpo(problem.trs, weak, pairs, Deadline(5000));
  ASSERT_TRUE(order);
  FilteredLpoComparer comparer(problem.trs.bank, *order);
  for (const Rule& rule : weak) EXPECT_TRUE(comparer.weakly_greater(rule.lhs, rule.rhs));
  EXPECT_TRUE(comparer.strictly_greater(pairs[0].lhs, pairs[0].rhs));
  FilteredLpo unfiltered = *order;  // keep both arguments of minus: minus(x,y) is not below s(x)
  SymbolId minus = problem.trs.signature.find("minus");
  unfiltered.filter.collapse[minus] = -1;
  unfiltered.filter.kept[minus] = {0, 1};
  FilteredLpoComparer doctored(problem.trs.bank, unfiltered);
  EXPECT_FALSE(doctored.weakly_greater(pairs[0].lhs, pairs[0].rhs));
}

TEST(Matrix, SearchFindsAnInterpretationThatTheCheckerAccepts) {
  const char* cases[] = {
      "(VAR x)\n(RULES \nf(g(x)) -> g(f(x)))",
      "(VAR x y)\n(RULES \nf(a) -> g(h(a))\nh(g(x)) -> g(h(f(x)))\nk(x,h(x),a) -> h(x)\n"
      "k(f(x),y,x) -> f(x))",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    Trs trs = parse_problem(text);
    PolyConstraints constraints{trs.rules, {}, {}};
    auto found =
        find_matrix_interpretation(trs, constraints, MatrixShape{2, 1, 2, true}, Deadline(5000));
    ASSERT_TRUE(found);
    EXPECT_TRUE(matrix_orients(trs, MatrixProof{*found}));
    MatrixProof flat{*found};
    for (Vector& c : flat.interpretation.constants) c.assign(2, 0);
    EXPECT_FALSE(matrix_orients(trs, flat));
    MatrixProof not_monotone{*found};
    not_monotone.interpretation.matrices[trs.bank.symbol_of(trs.rules[0].lhs)][0][0] = 0;
    EXPECT_FALSE(matrix_orients(trs, not_monotone));
    MatrixProof misshapen{*found};
    misshapen.interpretation.dimension = 3;
    EXPECT_FALSE(matrix_orients(trs, misshapen));
  }
}

TEST(Matrix, EvaluatesByHand) {
  Trs trs = parse_problem("(VAR x)\n(RULES \nf(f(x)) -> x)");
  SymbolId f = trs.signature.find("f");
  MatrixInterpretation m;
  m.dimension = 2;
  m.constants = {{1, 2}};
  m.matrices = {{{1, 1, 0, 1}}};
  ASSERT_EQ(f, 0);
  auto form = evaluate(trs.bank, m, trs.rules[0].lhs);  // M*(M*x + c) + c
  ASSERT_TRUE(form);
  EXPECT_EQ(form->constant, (Vector{4, 4}));  // M*c = (3,2), plus c
  EXPECT_EQ(form->matrices.begin()->second, (Matrix{1, 2, 0, 1}));
  EXPECT_TRUE(strictly_decreasing(trs.bank, m, trs.rules[0].lhs, trs.rules[0].rhs));
  EXPECT_FALSE(weakly_decreasing(trs.bank, m, trs.rules[0].rhs, trs.rules[0].lhs));
}

}  // namespace
}  // namespace Termination

namespace Termination {
namespace {

// f#(s(x),y) -> f#(x,g(y)) decreases in the first argument; g's rule cannot decrease weakly when
// g's result counts, but it does not count when f# ignores its second argument.
TEST(FilteredUsableRules, ZeroCoefficientsDropTheRulesBehindThem) {
  Trs trs = parse_problem("(VAR x y)\n(RULES \nf(s(x),y) -> f(x,g(y))\ng(a) -> s(s(a)))");
  DpProblem problem = make_dp_problem(trs);
  const Signature& sig = problem.trs.signature;
  int n = sig.size();
  std::vector<int> component;
  for (std::size_t p = 0; p < problem.pairs.size(); ++p)
    if (problem.trs.bank.symbol_of(problem.pairs[p].rhs) == sig.find("f#"))
      component.push_back(static_cast<int>(p));
  ASSERT_EQ(component.size(), 1u);
  EXPECT_EQ(usable_rules(problem, component).size(), 1u);
  LinearInterpretation ignore_second;
  for (SymbolId f = 0; f < n; ++f) {
    ignore_second.constants.push_back(0);
    ignore_second.coefficients.emplace_back(sig.arity(f), 0);
  }
  ignore_second.constants[sig.find("s")] = 1;
  ignore_second.coefficients[sig.find("s")] = {1};
  ignore_second.coefficients[sig.find("f#")] = {1, 0};
  auto regarded = [&](SymbolId f, int i) { return ignore_second.coefficients[f][i] != 0; };
  EXPECT_TRUE(usable_rules(problem, component, regarded).empty());
  DpStep step{component, DpProcessor::Polynomial, {}, ignore_second, {}, {}};
  auto removed = step_removes(problem, step);
  ASSERT_TRUE(removed);
  EXPECT_EQ(*removed, component);
  step.interpretation.coefficients[sig.find("f#")] = {1, 1};  // g(y) counts: g(a) >= s(s(a)) fails
  EXPECT_FALSE(step_removes(problem, step));

  PolyConstraints constraints;  // the search finds the filtering on its own
  for (int i : usable_rules(problem, component)) constraints.weak.push_back(problem.trs.rules[i]);
  constraints.strict_some.push_back(problem.pairs[component[0]]);
  constraints.filter_usable = true;
  auto found =
      find_linear_interpretation(problem.trs, constraints, PolyShape{1, 1, false}, Deadline(5000));
  ASSERT_TRUE(found);
  step.interpretation = *found;
  EXPECT_TRUE(step_removes(problem, step));

  // The same with an LPO that filters the second argument of f# away.
  FilteredLpo lpo{{std::vector<int>(n, -1), std::vector<std::vector<int>>(n)}, Levels(n, 0)};
  for (SymbolId f = 0; f < n; ++f)
    for (int i = 0; i < sig.arity(f); ++i) lpo.filter.kept[f].push_back(i);
  lpo.filter.kept[sig.find("f#")] = {0};
  lpo.levels[sig.find("f#")] = 2;
  lpo.levels[sig.find("s")] = 1;
  DpStep filtered{component, DpProcessor::FilteredLpo, {}, {}, lpo, {}};
  EXPECT_TRUE(step_removes(problem, filtered));
  filtered.lpo.filter.kept[sig.find("f#")] = {0, 1};  // g(a) >= s(s(a)) needed, and it fails
  EXPECT_FALSE(step_removes(problem, filtered));
  auto searched =
      find_filtered_lpo(problem.trs, constraints.weak, constraints.strict_some, Deadline(5000));
  ASSERT_TRUE(searched);
  filtered.lpo = *searched;
  EXPECT_TRUE(step_removes(problem, filtered));
}

}  // namespace
}  // namespace Termination
