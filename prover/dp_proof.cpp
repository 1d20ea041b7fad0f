// Independent check and rendering of dependency-pair proofs (see dp_proof.hpp).
#include "dp_proof.hpp"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>

#include "dependency_pairs.hpp"
#include "term_ops.hpp"

namespace Termination {
namespace {

std::optional<TermId> project(const DpProblem& problem, const DpStep& step, TermId t) {
  const TermBank& bank = problem.trs.bank;
  SymbolId f = bank.symbol_of(t);
  if (f >= static_cast<SymbolId>(step.projection.size())) return std::nullopt;
  int i = step.projection[f];
  if (i < 0 || i >= static_cast<int>(bank.args(t).size())) return std::nullopt;
  return bank.args(t)[i];
}

std::optional<std::vector<int>> subterm_removes(const DpProblem& problem, const DpStep& step) {
  std::vector<int> strict;
  for (int p : step.component) {
    auto s = project(problem, step, problem.pairs[p].lhs);
    auto t = project(problem, step, problem.pairs[p].rhs);
    if (!s || !t || !is_subterm(problem.trs.bank, *t, *s)) return std::nullopt;
    if (*s != *t) strict.push_back(p);
  }
  return strict;
}

// The check shared by every reduction pair: the usable rules (with respect to the arguments the
// pair regards) decrease weakly, every pair of the component decreases weakly, and the pairs that
// decrease strictly are the ones removed.
template <class Regarded, class Weak, class Strict>
std::optional<std::vector<int>> reduction_pair_removes(const DpProblem& problem, const DpStep& step,
                                                       Regarded regarded, Weak weakly,
                                                       Strict strictly) {
  const Trs& trs = problem.trs;
  for (int i : usable_rules(problem, step.component, regarded))
    if (!weakly(trs.rules[i].lhs, trs.rules[i].rhs)) return std::nullopt;
  std::vector<int> strict;
  for (int p : step.component) {
    const Rule& pair = problem.pairs[p];
    if (!weakly(pair.lhs, pair.rhs)) return std::nullopt;
    if (strictly(pair.lhs, pair.rhs)) strict.push_back(p);
  }
  return strict;
}

// An interpretation (linear or matrix) as a reduction pair: compares the interpreted sides.
template <class Interpretation, class Regarded>
std::optional<std::vector<int>> interpretation_removes(const DpProblem& problem, const DpStep& step,
                                                       const Interpretation& interpretation,
                                                       Regarded regarded) {
  const TermBank& bank = problem.trs.bank;
  auto weakly = [&](TermId l, TermId r) { return weakly_decreasing(bank, interpretation, l, r); };
  auto strictly = [&](TermId l, TermId r) {
    return strictly_decreasing(bank, interpretation, l, r);
  };
  return reduction_pair_removes(problem, step, regarded, weakly, strictly);
}

std::optional<std::vector<int>> poly_removes(const DpProblem& problem, const DpStep& step) {
  const Trs& trs = problem.trs;
  const LinearInterpretation& interpretation = step.interpretation;
  if (!well_formed(trs.signature, interpretation)) return std::nullopt;
  auto regarded = [&](SymbolId f, int i) { return interpretation.coefficients[f][i] != 0; };
  return interpretation_removes(problem, step, interpretation, regarded);
}

std::optional<std::vector<int>> filtered_lpo_removes(const DpProblem& problem, const DpStep& step) {
  const Trs& trs = problem.trs;
  if (!well_formed(trs.signature, step.lpo)) return std::nullopt;
  FilteredLpoComparer order(trs.bank, step.lpo);
  const ArgumentFilter& filter = step.lpo.filter;
  auto regarded = [&](SymbolId f, int a) {
    if (filter.collapse[f] >= 0) return filter.collapse[f] == a;
    return std::find(filter.kept[f].begin(), filter.kept[f].end(), a) != filter.kept[f].end();
  };
  auto weakly = [&](TermId l, TermId r) { return order.weakly_greater(l, r); };
  auto strictly = [&](TermId l, TermId r) { return order.strictly_greater(l, r); };
  return reduction_pair_removes(problem, step, regarded, weakly, strictly);
}

std::optional<std::vector<int>> matrix_removes(const DpProblem& problem, const DpStep& step) {
  const Trs& trs = problem.trs;
  const MatrixInterpretation& interpretation = step.matrix;
  if (!well_formed(trs.signature, interpretation)) return std::nullopt;
  auto regarded = [&](SymbolId f, int a) {
    const Matrix& m = interpretation.matrices[f][a];
    return std::any_of(m.begin(), m.end(), [](std::int64_t v) { return v != 0; });
  };
  return interpretation_removes(problem, step, interpretation, regarded);
}

std::vector<int> minus(const std::vector<int>& a, const std::vector<int>& b) {
  std::vector<int> out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

std::vector<SymbolId> symbols_of(const DpProblem& problem, const DpStep& step) {
  std::vector<SymbolId> out;
  auto note = [&](TermId t) {
    for (const Position& p : function_positions(problem.trs.bank, t)) {
      SymbolId f = problem.trs.bank.symbol_of(subterm_at(problem.trs.bank, t, p));
      if (std::find(out.begin(), out.end(), f) == out.end()) out.push_back(f);
    }
  };
  for (int p : step.component) note(problem.pairs[p].lhs), note(problem.pairs[p].rhs);
  for (int i : usable_rules(problem, step.component))
    note(problem.trs.rules[i].lhs), note(problem.trs.rules[i].rhs);
  std::sort(out.begin(), out.end());
  return out;
}

std::string describe_step(const DpProblem& problem, const DpStep& step) {
  std::string pairs;
  for (int p : step.component) pairs += (pairs.empty() ? "" : ", ") + std::to_string(p + 1);
  std::string out = "component {" + pairs + "}: ";
  if (step.processor == DpProcessor::SubtermCriterion) {
    out += "subterm criterion with projection";
    for (SymbolId f = 0; f < static_cast<SymbolId>(step.projection.size()); ++f)
      if (step.projection[f] >= 0)
        out += " pi(" + problem.trs.signature.name(f) +
               ") = " + std::to_string(step.projection[f] + 1);
  } else if (step.processor == DpProcessor::FilteredLpo) {
    auto shown = symbols_of(problem, step);
    out += "reduction pair, LPO with argument filtering\n    " +
           describe_filter(problem.trs.signature, step.lpo.filter, shown) + "\n    precedence " +
           describe_precedence(problem.trs.signature, step.lpo.levels, shown);
    LpoProof status{step.lpo.levels, step.lpo.status};
    if (has_status(status)) out += "\n    status " + describe_status(problem.trs.signature, status);
  } else if (step.processor == DpProcessor::Matrix) {
    out += "reduction pair, matrix interpretation\n    " +
           describe_interpretation(problem.trs.signature, step.matrix, "\n    ",
                                   symbols_of(problem, step));
  } else {
    out += "reduction pair, linear interpretation\n    " +
           describe_interpretation(problem.trs.signature, step.interpretation, "\n    ",
                                   symbols_of(problem, step));
  }
  auto removed = step_removes(problem, step);
  std::string gone;
  if (removed)
    for (int p : *removed) gone += (gone.empty() ? "" : ", ") + std::to_string(p + 1);
  return out + "\n    removes pairs {" + gone + "}\n";
}

}  // namespace

std::optional<std::vector<int>> step_removes(const DpProblem& problem, const DpStep& step) {
  auto strict = step.processor == DpProcessor::SubtermCriterion ? subterm_removes(problem, step)
                : step.processor == DpProcessor::Polynomial     ? poly_removes(problem, step)
                                                            : filtered_lpo_removes(problem, step);
  if (!strict || strict->empty()) return std::nullopt;
  return strict;
}

bool check_dp_proof(const Trs& trs, const DpProof& proof) {
  for (const Rule& rule : trs.rules)
    if (trs.bank.is_variable(rule.lhs)) return false;
  DpProblem problem = make_dp_problem(trs, proof.narrowed);
  std::map<std::vector<int>, const DpStep*> steps;
  for (const DpStep& step : proof.steps) steps.emplace(step.component, &step);
  std::vector<int> all(problem.pairs.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  std::vector<std::vector<int>> work = cyclic_components(problem, all);
  std::size_t budget = proof.steps.size();
  while (!work.empty()) {
    std::vector<int> component = std::move(work.back());
    work.pop_back();
    auto it = steps.find(component);
    if (it == steps.end() || budget-- == 0) return false;
    auto removed = step_removes(problem, *it->second);
    if (!removed) return false;
    for (auto& c : cyclic_components(problem, minus(component, *removed))) work.push_back(c);
  }
  return true;
}

std::string describe_dp_proof(const Trs& trs, const DpProof& proof) {
  DpProblem problem = make_dp_problem(trs, proof.narrowed);
  std::string out = proof.narrowed ? "dependency pairs, after narrowing:\n" : "dependency pairs:\n";
  for (std::size_t i = 0; i < problem.pairs.size(); ++i)
    out += "  " + std::to_string(i + 1) + ". " + to_string(problem.trs, problem.pairs[i].lhs) +
           " -> " + to_string(problem.trs, problem.pairs[i].rhs) + "\n";
  std::vector<int> all(problem.pairs.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
  out += "estimated dependency graph: " + std::to_string(cyclic_components(problem, all).size()) +
         " cyclic component(s)\n";
  for (const DpStep& step : proof.steps) out += "  " + describe_step(problem, step);
  return out;
}

}  // namespace Termination
