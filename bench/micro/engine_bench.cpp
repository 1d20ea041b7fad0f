// Micro-benchmarks of the engine's hot paths: term construction and comparison, normalization
// with the completed group-theory system, critical pairs, the node cost, the priority heap and the
// termination knowledge cache.
//
// Inputs are generated from fixed seeds, so every run measures the same work.  Generated terms
// are random trees over the group signature (f binary, i unary, e constant) and a few variables;
// they are kept alive by the fixture so that hash-consing finds them in the table, as it does in
// a real search where the same subterms come back again and again.
#include <benchmark/benchmark.h>

#include <random>
#include <string_view>
#include <vector>

#include "completion/heap.hpp"
#include "completion/huet.hpp"
#include "termination/learning.hpp"
#include "terms/cp.hpp"
#include "terms/rewriting.hpp"
#include "terms/terms.hpp"
#include "tests/unit/term_text.hpp"

namespace {

using Terms::Rule;
using Terms::Term;

Rule rule(std::string_view lhs, std::string_view rhs) {
  return Rule{TermText::term(lhs), TermText::term(rhs)};
}

// The convergent system for groups that korvath finds for examples/group.tptp, in its order.
std::vector<Rule> group_system() {
  return {
      rule("i(f(X0,Y0))", "f(i(Y0),i(X0))"),
      rule("f(X2,i(X2))", "e"),
      rule("i(i(X2))", "X2"),
      rule("f(X0,e)", "X0"),
      rule("f(f(X0,Y0),Z0)", "f(X0,f(Y0,Z0))"),
      rule("f(i(X0),X0)", "e"),
      rule("f(e,X0)", "X0"),
      rule("f(i(X0),f(X0,Z1))", "Z1"),
      rule("i(e)", "e"),
      rule("f(X2,f(i(X2),Z1))", "Z1"),
  };
}

// The three group axioms.
std::vector<Rule> group_axioms() {
  return {rule("f(e,X0)", "X0"), rule("f(i(X0),X0)", "e"),
          rule("f(f(X0,Y0),Z0)", "f(X0,f(Y0,Z0))")};
}

// A random term of about `size` nodes over f/2, i/1, e and the variables X0..X3.
Term random_term(std::mt19937& rng, long size) {
  static const Terms::Name f = Terms::Name::intern("f");
  static const Terms::Name i = Terms::Name::intern("i");
  if (size <= 1) {
    if (rng() % 3 == 0) return Terms::constant("e");
    return Terms::var("X", static_cast<long>(rng() % 4));
  }
  if (rng() % 4 == 0) return Terms::app(i, std::vector<Term>{random_term(rng, size - 1)});
  long left = 1 + static_cast<long>(rng() % static_cast<unsigned>(size - 1));
  long right = size - 1 - left;
  if (right < 1) right = 1;
  return Terms::app(f, std::vector<Term>{random_term(rng, left), random_term(rng, right)});
}

std::vector<Term> random_terms(unsigned seed, long size, size_t count) {
  std::mt19937 rng(seed);
  std::vector<Term> out;
  out.reserve(count);
  for (size_t k = 0; k < count; ++k) out.push_back(random_term(rng, size));
  return out;
}

// ---- Terms ----

// Rebuilding an existing term bottom-up: every node is found in the hash-consing table.
Term rebuild_copy(const Term& t) {
  if (t.is_var()) return Terms::var(t.name(), t.suffix());
  std::vector<Term> args;
  args.reserve(t.arity());
  for (const Term& a : t.args()) args.push_back(rebuild_copy(a));
  return Terms::app(t.name(), std::move(args));
}

void BM_TermsAppExisting(benchmark::State& state) {
  const std::vector<Term> terms = random_terms(1, state.range(0), 64);
  for (auto _ : state)
    for (const Term& t : terms) benchmark::DoNotOptimize(rebuild_copy(t));
  state.SetItemsProcessed(state.iterations() * 64 * state.range(0));
}
BENCHMARK(BM_TermsAppExisting)->Arg(16)->Arg(128);

// Building fresh nodes (first construction) and releasing them again.
void BM_TermsAppFresh(benchmark::State& state) {
  std::mt19937 rng(2);
  for (auto _ : state) {
    Term t = random_term(rng, state.range(0));
    benchmark::DoNotOptimize(t);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TermsAppFresh)->Arg(16)->Arg(128);

// The structural order on distinct terms of one size (the comparison of two equal terms is a
// pointer test and not measured here).
void BM_TermsCompare(benchmark::State& state) {
  const std::vector<Term> terms = random_terms(3, state.range(0), 256);
  for (auto _ : state) {
    int sum = 0;
    for (size_t k = 0; k + 1 < terms.size(); ++k) sum += Terms::compare(terms[k], terms[k + 1]);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 255);
}
BENCHMARK(BM_TermsCompare)->Arg(16)->Arg(128);

// Rule order on a rule set: building the trs the knowledge cache keys on.
void BM_TrsOfRules(benchmark::State& state) {
  const std::vector<Rule> rules = group_system();
  for (auto _ : state) benchmark::DoNotOptimize(Terms::trs_of_rules(rules));
}
BENCHMARK(BM_TrsOfRules);

// ---- Normalization ----

// Normal forms of random group terms with the completed group system.  Normalization keeps its
// memo from one call to the next while the rule list stays the same, so the list alternates
// between two equal-acting lists (the second has one more rule that never applies) to measure
// the work of a fresh normalization.
void BM_Normalize(benchmark::State& state) {
  const std::vector<Rule> rules = group_system();
  std::vector<Rule> other = rules;
  other.push_back(rule("never(X0)", "X0"));
  const std::vector<Term> terms = random_terms(4, state.range(0), 64);
  for (auto _ : state)
    for (size_t k = 0; k < terms.size(); ++k)
      benchmark::DoNotOptimize(Rewriting::normalize(k % 2 ? other : rules, terms[k]));
  state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_Normalize)->Arg(8)->Arg(32)->Arg(128);

// The same terms again and again with one rule list: the memo kept between calls answers.
void BM_NormalizeSameRules(benchmark::State& state) {
  const std::vector<Rule> rules = group_system();
  const std::vector<Term> terms = random_terms(4, state.range(0), 64);
  for (auto _ : state)
    for (const Term& t : terms) benchmark::DoNotOptimize(Rewriting::normalize(rules, t));
  state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_NormalizeSameRules)->Arg(8)->Arg(32)->Arg(128);

// Only the three axioms (fewer rules apply; longer stuck terms), a fresh normalization each call.
void BM_NormalizeAxioms(benchmark::State& state) {
  const std::vector<Rule> rules = group_axioms();
  std::vector<Rule> other = rules;
  other.push_back(rule("never(X0)", "X0"));
  const std::vector<Term> terms = random_terms(5, state.range(0), 64);
  for (auto _ : state)
    for (size_t k = 0; k < terms.size(); ++k)
      benchmark::DoNotOptimize(Rewriting::normalize(k % 2 ? other : rules, terms[k]));
  state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_NormalizeAxioms)->Arg(8)->Arg(32);

// A long rule list with few matching rules: the rule lookup dominates.
void BM_NormalizeManyRules(benchmark::State& state) {
  std::vector<Rule> rules;
  for (long k = 0; k < state.range(0); ++k) {
    std::string g = "g";
    g += std::to_string(k);
    rules.push_back(rule(g + "(X0,e)", "X0"));
  }
  for (const Rule& r : group_system()) rules.push_back(r);
  std::vector<Rule> other = rules;
  other.push_back(rule("never(X0)", "X0"));
  const std::vector<Term> terms = random_terms(6, 32, 64);
  for (auto _ : state)
    for (size_t k = 0; k < terms.size(); ++k)
      benchmark::DoNotOptimize(Rewriting::normalize(k % 2 ? other : rules, terms[k]));
  state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_NormalizeManyRules)->Arg(10)->Arg(100);

// ---- Critical pairs ----

void BM_CriticalPairsGroupSystem(benchmark::State& state) {
  const std::vector<Rule> rules = group_system();
  size_t pairs = 0;
  for (auto _ : state) {
    std::vector<Cp::Pair> found = Cp::critical_pairs(rules, rules);
    pairs = found.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["pairs"] = static_cast<double>(pairs);
}
BENCHMARK(BM_CriticalPairsGroupSystem);

// One new rule against the system, both ways round, as a completion step does.
void BM_CriticalPairsOneRule(benchmark::State& state) {
  const std::vector<Rule> rules = group_system();
  const std::vector<Rule> one{rule("f(f(X0,Y0),Z0)", "f(X0,f(Y0,Z0))")};
  for (auto _ : state) {
    benchmark::DoNotOptimize(Cp::critical_pairs(one, one));
    benchmark::DoNotOptimize(Cp::critical_pairs(one, rules));
    benchmark::DoNotOptimize(Cp::critical_pairs(rules, one));
  }
}
BENCHMARK(BM_CriticalPairsOneRule);

// ---- Node cost ----

// A node halfway through the group completion: rules unmarked and marked, constraints and a few
// pending equations.  range(0) is the number of unmarked rules.
Huet::Problem group_node(long unmarked) {
  const std::vector<Rule> system = group_system();
  Huet::Problem p;
  p.unmarked = std::make_shared<Huet::RuleHeap>(Huet::RuleHeap::create(32));
  for (long k = 0; k < static_cast<long>(system.size()); ++k) {
    const Rule& r = system[k];
    if (k < unmarked)
      p.unmarked->add(Huet::RuleEntry{r, r.lhs.size() + r.rhs.size()});
    else
      p.marked.push_back(r);
    p.constraints = Huet::add_constraint(r, p.constraints);
  }
  p.equations.emplace_back(rule("f(X0,f(i(X0),Y0))", "Y0"), false);
  p.equations.emplace_back(rule("i(f(X0,i(Y0)))", "f(Y0,i(X0))"), false);
  return p;
}

void BM_ProblemCost(benchmark::State& state) {
  const Huet::Problem p = group_node(state.range(0));
  const Huet::BranchInfo info;
  for (auto _ : state) benchmark::DoNotOptimize(Huet::problem_cost(p, info));
}
BENCHMARK(BM_ProblemCost)->Arg(3)->Arg(6)->Arg(10);

void BM_RulesOfProb(benchmark::State& state) {
  const Huet::Problem p = group_node(5);
  for (auto _ : state) benchmark::DoNotOptimize(Huet::rules_of_prob(p));
}
BENCHMARK(BM_RulesOfProb);

// ---- Heap ----

struct IntOrder {
  int operator()(int a, int b) const { return (a > b) - (a < b); }
};
using IntHeap = Heap::Imperative<int, IntOrder>;

// Fills a heap with range(0) pseudo-random keys and empties it again.
void BM_HeapAddRemove(benchmark::State& state) {
  std::mt19937 rng(7);
  std::vector<int> keys(static_cast<size_t>(state.range(0)));
  for (int& k : keys) k = static_cast<int>(rng() % 1000);
  for (auto _ : state) {
    IntHeap h = IntHeap::create(16);
    for (int k : keys) h.add(k);
    while (!h.is_empty()) {
      benchmark::DoNotOptimize(h.peek());
      h.remove();
    }
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HeapAddRemove)->Arg(16)->Arg(1024);

// The rule heap as the engine uses it: add rule entries, copy the heap, drain the copy.
void BM_RuleHeapCloneDrain(benchmark::State& state) {
  const std::vector<Rule> system = group_system();
  Huet::RuleHeap h = Huet::RuleHeap::create(32);
  for (long k = 0; k < state.range(0); ++k) {
    const Rule& r = system[static_cast<size_t>(k) % system.size()];
    h.add(Huet::RuleEntry{r, r.lhs.size() + r.rhs.size()});
  }
  for (auto _ : state) {
    std::shared_ptr<Huet::RuleHeap> copy = Huet::clone_heap(h);
    while (!copy->is_empty()) {
      benchmark::DoNotOptimize(copy->peek());
      copy->remove();
    }
  }
}
BENCHMARK(BM_RuleHeapCloneDrain)->Arg(10)->Arg(100);

// ---- Knowledge cache ----

// range(0) stored terminating sets: growing prefixes of the group system with one random rule.
void fill_store(long keys) {
  Learning::terminating_store.clear();
  const std::vector<Rule> system = group_system();
  const std::vector<Term> extra = random_terms(8, 8, static_cast<size_t>(keys));
  for (long k = 0; k < keys; ++k) {
    std::vector<Rule> rules(system.begin(), system.begin() + 1 + k % system.size());
    rules.push_back(Rule{extra[static_cast<size_t>(k)], Terms::constant("e")});
    Learning::register_terminating_trs(rules);
  }
}

void BM_LearningRecallHit(benchmark::State& state) {
  fill_store(state.range(0));
  const std::vector<Rule> system = group_system();
  const std::vector<Rule> query(system.begin(), system.begin() + 2);
  for (auto _ : state) benchmark::DoNotOptimize(Learning::recall_terminating_trs(query));
  Learning::terminating_store.clear();
}
BENCHMARK(BM_LearningRecallHit)->Arg(10)->Arg(200);

void BM_LearningRecallMiss(benchmark::State& state) {
  fill_store(state.range(0));
  std::vector<Rule> query = group_system();
  query.push_back(rule("g(X0)", "X0"));
  for (auto _ : state) benchmark::DoNotOptimize(Learning::recall_terminating_trs(query));
  Learning::terminating_store.clear();
}
BENCHMARK(BM_LearningRecallMiss)->Arg(10)->Arg(200);

// One registration into a store of range(0) keys (the store is refilled outside the timing).
void BM_LearningRegister(benchmark::State& state) {
  const std::vector<Rule> system = group_system();
  std::vector<Rule> rules = system;
  rules.push_back(rule("g(X0)", "X0"));
  for (auto _ : state) {
    state.PauseTiming();
    fill_store(state.range(0));
    state.ResumeTiming();
    Learning::register_terminating_trs(rules);
  }
  Learning::terminating_store.clear();
}
BENCHMARK(BM_LearningRegister)->Arg(10)->Arg(200);

}  // namespace

BENCHMARK_MAIN();
