// The completion engine (module Huet): a best-first, branching Knuth-Bendix completion in the
// style of Huet's procedure.
//
// The search works on a tree of nodes.  A node (Problem) holds the equations still to orient, a
// heap of oriented rules whose critical pairs are still to be computed (unmarked, smallest first),
// the rules whose critical pairs are done (marked) and the constraint rules the branch has
// committed to.  Open nodes wait in one global queue ordered by a cost estimate; the cheapest one
// is resumed.  Orienting an equation asks Orient which directions keep the constraints
// terminating: one direction extends the node, two split it into two queued children, none puts
// it back with the equation marked stale.  A node with neither equations nor unmarked rules is
// complete.
//
// Lists in this module are plain vectors read from front to back; "prepending" in the comments
// means that the element ends up in front.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "completion/heap.hpp"
#include "driver/debug.hpp"
#include "driver/failure.hpp"
#include "terms/conjectures.hpp"
#include "terms/terms.hpp"

namespace Huet {

// The current branch is abandoned; caught only by the main loop.
struct FAIL : Korvath::Error {
  std::string description() const override { return "Huet.FAIL"; }
};

// Every conjecture has been decided (and complete is off); caught by the driver.
struct CONJECTURES_SOLVED : Korvath::Error {
  std::string description() const override { return "Huet.CONJECTURES_SOLVED"; }
};

using Rules = std::vector<Terms::Rule>;
using ConjectureList = std::vector<Conjectures::Conjecture>;
// An equation with its stale flag (true: neither direction could be oriented on this branch).
using FlaggedEquation = std::pair<Terms::Equation, bool>;
using Equations = std::vector<FlaggedEquation>;

// An unmarked rule with its size (size of lhs plus size of rhs).
struct RuleEntry {
  Terms::Rule rule;
  long size;
};
// b.size - a.size: the smallest entry on top.
struct RuleEntryOrder {
  int operator()(const RuleEntry& a, const RuleEntry& b) const {
    return (b.size > a.size) - (b.size < a.size);
  }
};
using RuleHeap = Heap::Imperative<RuleEntry, RuleEntryOrder>;

// One search node.  Copies of a Problem share its rule heap; clone_heap makes an independent one.
struct Problem {
  Equations equations;
  std::shared_ptr<RuleHeap> unmarked;
  Rules marked;
  Rules constraints;  // canonical rules, reduced under subsumption
};

// Where a node sits in the tree.
struct BranchInfo {
  std::vector<int> id;  // the path from the root, oldest split first: 0 = l -> r, 1 = r -> l
  long step = 1;
  double time = 0.0;      // orientation seconds spent on the branch
  double max_time = 0.0;  // the largest single orientation time on the branch
};

struct OpenProblem {
  double cost;  // computed once, when queued
  BranchInfo info;
  Problem problem;
};

// The queue order: 1 when a is cheaper than b, -1 when dearer, 0 otherwise (also for NaN).
int compare(const OpenProblem& a, const OpenProblem& b);
struct OpenProblemOrder {
  int operator()(const OpenProblem& a, const OpenProblem& b) const { return compare(a, b); }
};
using OpenProblems = Heap::Imperative<OpenProblem, OpenProblemOrder>;

// Module state, alive for the whole run.
extern OpenProblems open_problems;  // created with capacity 16; emptied by every grind
extern long num_splits;
extern double t0;  // wall-clock start of the current grind

using Result = std::pair<Rules, ConjectureList>;

// ---- Nodes, measures and cost ----

// "[" + the path digits, oldest first + "]".
std::string string_of_id(const std::vector<int>& id);
// "%g", except that every NaN renders as "nan".
std::string string_of_float(double value);
// Wall-clock seconds with microseconds.
double now();

// Sum of size(lhs) + size(rhs) over the list.
long size_of_trs(const Rules& rules);
// The heap's rules in reverse array order, followed by marked: the order rules are tried in.
Rules rules_of_prob(const Problem& p);
Rules rules_of(const RuleHeap& unmarked, const Rules& marked);
// Sizes of the equations, of the marked rules and of the heap entries.
long problem_size(const Problem& p);
// For every heap entry r (array order): the pairs of ([r],[r]), ([r],rules), (rules,[r]),
// normalized under the constraints (right side first); only those with different sides, last
// found first.
std::vector<Terms::Equation> find_all_nontrivial_critical_pairs(const Problem& p);

// The longest chain of directly nested applications of one symbol (0 for a variable).
long max_exp_term(const Terms::Term& t);
// The largest measure of any side in the list (0 for the empty list).
long max_exp_eqs(const Rules& equations);
long max_exp_prob(const Problem& p);

// 1073741823.0 when any equation is stale; otherwise the sizes of the non-trivial critical
// pairs, the equations and the constraints, times the divergence factor when that applies
// (traced with the branch id).
double problem_cost(const Problem& p, const BranchInfo& info);

// Queues the node with its current cost (debug line "ID: Checkpoint (...)").
void checkpoint(const BranchInfo& info, const Problem& p);
// Reports the checker counters (debug line "ID: Backtrack (...)") and throws FAIL.
[[noreturn]] void backtrack(const std::vector<int>& id);

// Adds the canonical form c of rule unless some constraint generalizes it; then drops the
// constraints that are instances of c.  Returns the kept ones in reverse order, c last.
Rules add_constraint(const Terms::Rule& rule, const Rules& constraints);
// An independent copy of h.
std::shared_ptr<RuleHeap> clone_heap(const RuleHeap& h);

// The three flag conversions; each returns its elements in reverse order.
std::vector<Terms::Equation> strip_flags(const Equations& equations);
Equations add_fresh_flags(const std::vector<Terms::Equation>& equations);
Equations refresh_flags(const Equations& equations);

// ---- Inter-reduction ----

// Reduces the node's rules against the new rule l -> r (which is in neither collection yet).
// Changes: unmarked, rebuilt in place from the composed rules.  Returns (equations', marked'):
// collapsed marked rules (reverse list order), collapsed unmarked rules (reverse removal order),
// then refresh_flags(equations); marked' holds the composed marked rules in reverse order.
std::pair<Equations, Rules> simplify(const Terms::Term& l, const Terms::Term& r,
                                     const Equations& equations, RuleHeap& unmarked,
                                     const Rules& marked);
// Removes and returns the smallest unmarked rule.  Needs a non-empty heap.
Terms::Rule choose_rule(RuleHeap& unmarked);

// ---- Reports ----

// The state line, the theory, the unmarked ("  ") and marked (". ") rules, at the given level.
void show_status(const Problem& p, const BranchInfo& info, Debug::Level level);
// The completion banner with the completed system (level quiet) and the statistics (level info).
void report_completion(const Problem& p, const BranchInfo& info);

// ---- Search ----

// Splits off the smallest fresh entry (ties: the earliest); the others follow it in the order
// of choose_smallest, then the stale entries in list order.  Throws FAIL when none is fresh.
std::pair<FlaggedEquation, Equations> choose_smallest_fresh(const Equations& equations);
// (smallest, others): others holds, last-passed first, the entries the scan passed over.
// Throws FAIL on an empty list.
std::pair<FlaggedEquation, Equations> choose_smallest(const Equations& equations);

// Orients all pending equations of the node; throws FAIL when the node's work ends otherwise.
// Returns the latest info and the node with no equations left.
std::pair<BranchInfo, Problem> orient(BranchInfo info, Problem p);
// Completion steps until the node is complete; throws FAIL when its work ends otherwise.
std::pair<BranchInfo, Problem> complete(BranchInfo info, Problem p);
// The main loop over the queue: the completed system and the conjectures still open for it.
// Throws CONJECTURES_SOLVED, or Heap::EmptyHeap when the queue runs out.
Result _do_completion(ConjectureList conjectures);
// The find-all loop, searches numbered from n.
Result keep_going(long n, ConjectureList conjectures);

// Runs the search (or the find-all loop) from a fresh root node, with the time-out armed.
Result grind(const std::vector<Terms::Equation>& equations,
             const std::vector<Conjectures::Conjecture>& conjectures, bool find_all);

}  // namespace Huet
