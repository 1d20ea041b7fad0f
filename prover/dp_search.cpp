// Processors of the dependency-pair search (see dp_search.hpp).
#include "dp_search.hpp"

#include <algorithm>
#include <iterator>
#include <ostream>

#include "argument_filter_search.hpp"
#include "formula.hpp"
#include "matrix_search.hpp"
#include "poly_search.hpp"
#include "term_ops.hpp"

namespace Termination {
namespace {

std::optional<DpStep> find_reduction_pair(const DpProblem& problem,
                                          const std::vector<int>& component, const PolyShape& shape,
                                          const Deadline& deadline) {
  PolyConstraints constraints;
  for (int i : usable_rules(problem, component)) constraints.weak.push_back(problem.trs.rules[i]);
  for (int p : component) constraints.strict_some.push_back(problem.pairs[p]);
  constraints.filter_usable = true;
  auto interpretation = find_linear_interpretation(problem.trs, constraints, shape, deadline);
  if (!interpretation) return std::nullopt;
  DpStep step{component, DpProcessor::Polynomial, {}, *interpretation, {}, {}};
  if (!step_removes(problem, step)) return std::nullopt;
  return step;
}

std::optional<DpStep> find_filtered_lpo_pair(const DpProblem& problem,
                                             const std::vector<int>& component,
                                             const Deadline& deadline) {
  std::vector<Rule> weak, pairs;
  for (int i : usable_rules(problem, component)) weak.push_back(problem.trs.rules[i]);
  for (int p : component) pairs.push_back(problem.pairs[p]);
  auto order = find_filtered_lpo(problem.trs, weak, pairs, deadline);
  if (!order) return std::nullopt;
  DpStep step{component, DpProcessor::FilteredLpo, {}, {}, *order, {}};
  if (!step_removes(problem, step)) return std::nullopt;
  return step;
}

std::optional<DpStep> find_matrix_pair(const DpProblem& problem, const std::vector<int>& component,
                                       const MatrixShape& shape, const Deadline& deadline) {
  PolyConstraints constraints;
  for (int i : usable_rules(problem, component)) constraints.weak.push_back(problem.trs.rules[i]);
  for (int p : component) constraints.strict_some.push_back(problem.pairs[p]);
  constraints.filter_usable = true;
  auto matrix = find_matrix_interpretation(problem.trs, constraints, shape, deadline);
  if (!matrix) return std::nullopt;
  DpStep step{component, DpProcessor::Matrix, {}, {}, {}, *matrix};
  if (!step_removes(problem, step)) return std::nullopt;
  return step;
}

std::vector<int> minus(const std::vector<int>& a, const std::vector<int>& b) {
  std::vector<int> out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

}  // namespace

std::optional<DpStep> find_subterm_criterion(const DpProblem& problem,
                                             const std::vector<int>& component,
                                             const Deadline& deadline) {
  const TermBank& bank = problem.trs.bank;
  Formula formula;
  std::vector<std::vector<Lit>> choice(problem.trs.signature.size());
  auto choose = [&](SymbolId f) -> std::vector<Lit>& {
    if (choice[f].empty()) {
      for (int i = 0; i < problem.trs.signature.arity(f); ++i) choice[f].push_back(formula.fresh());
      formula.clause(choice[f]);
      for (std::size_t i = 0; i < choice[f].size(); ++i)
        for (std::size_t j = i + 1; j < choice[f].size(); ++j)
          formula.clause({-choice[f][i], -choice[f][j]});
    }
    return choice[f];
  };
  std::vector<Lit> strict;
  for (int p : component) {
    TermId s = problem.pairs[p].lhs, t = problem.pairs[p].rhs;
    if (bank.args(s).empty() || bank.args(t).empty()) return std::nullopt;
    std::vector<Lit>& cs = choose(bank.symbol_of(s));
    std::vector<Lit>& ct = choose(bank.symbol_of(t));
    for (std::size_t i = 0; i < cs.size(); ++i)
      for (std::size_t j = 0; j < ct.size(); ++j) {
        TermId si = bank.args(s)[i], tj = bank.args(t)[j];
        if (!is_subterm(bank, tj, si))
          formula.clause({-cs[i], -ct[j]});
        else if (si != tj)
          strict.push_back(formula.conj(cs[i], ct[j]));
      }
  }
  formula.require(formula.disj(strict));
  SatResult result = formula.solve(deadline);
  if (result == SatResult::Interrupted) throw TimeUp{};
  if (result == SatResult::Unsatisfiable) return std::nullopt;
  DpStep step{component,
              DpProcessor::SubtermCriterion,
              std::vector<int>(problem.trs.signature.size(), -1),
              {}};
  for (SymbolId f = 0; f < problem.trs.signature.size(); ++f)
    for (std::size_t i = 0; i < choice[f].size(); ++i)
      if (formula.value(choice[f][i])) step.projection[f] = static_cast<int>(i);
  return step;
}

namespace {

std::optional<DpProof> prove_problem(const Trs& trs, bool narrow, const Deadline& deadline,
                                     std::ostream* trace) {
  DpProblem problem = make_dp_problem(trs, narrow);
  std::vector<int> all(problem.pairs.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  std::vector<std::vector<int>> work = cyclic_components(problem, all);
  DpProof proof{narrow, {}};
  while (!work.empty()) {
    deadline.check();
    std::vector<int> component = std::move(work.back());
    work.pop_back();
    auto step = find_subterm_criterion(problem, component, deadline);
    if (!step) step = find_reduction_pair(problem, component, PolyShape{1, 1, false}, deadline);
    if (!step) step = find_reduction_pair(problem, component, PolyShape{1, 2, false}, deadline);
    if (!step) step = find_filtered_lpo_pair(problem, component, deadline);
    if (!step) step = find_matrix_pair(problem, component, MatrixShape{2, 1, 2, false}, deadline);
    if (!step) step = find_reduction_pair(problem, component, PolyShape{2, 3, false}, deadline);
    if (!step) step = find_matrix_pair(problem, component, MatrixShape{2, 2, 2, false}, deadline);
    if (!step) {
      if (trace)
        for (int p : component)
          *trace << "    unsolved pair " << to_string(problem.trs, problem.pairs[p].lhs) << " -> "
                 << to_string(problem.trs, problem.pairs[p].rhs) << "\n";
      return std::nullopt;
    }
    auto removed = step_removes(problem, *step);
    if (!removed) return std::nullopt;
    proof.steps.push_back(*step);
    for (auto& c : cyclic_components(problem, minus(component, *removed))) work.push_back(c);
  }
  return proof;
}

}  // namespace

std::optional<DpProof> find_dp_proof(const Trs& trs, const Deadline& deadline,
                                     std::ostream* trace) {
  if (auto proof = prove_problem(trs, false, deadline, trace)) return proof;
  return prove_problem(trs, true, deadline, trace);
}

}  // namespace Termination
