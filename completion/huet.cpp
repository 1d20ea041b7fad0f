// Completion nodes: their measures, the cost estimate that orders the queue of open nodes, the
// constraint set of a branch, and the two ways a node's work ends (checkpoint into the queue,
// backtrack out of the branch).
//
// The cost of a node is the total size of its non-trivial critical pairs (those whose sides
// still differ after normalizing with the constraint rules), of its pending equations and of its
// constraints; a node with a stale equation sorts after every other node.  With divergence
// detection on, nodes whose rules nest one symbol deeply get a penalty factor.  The cost is
// recomputed whenever it is asked for.
//
// Only the total size of the non-trivial pairs counts, so it is summed rule pair by rule pair:
// the pairs of ([r], rules) are those of ([r], [s]) for each s, and the pairs of (rules, [r]) are,
// up to the names of r's renamed-apart variables, those of ([s], [r]) for each s (the offset that
// renames the outer rule apart only has to exceed the inner rules' suffixes, and unification and
// normalization treat renamed variables alike).  The critical pairs of a rule pair are kept in a
// cache keyed by the two hash-consed rules, and the size their normal forms contribute under a
// constraint list in a table per constraint list, since a node's cost is asked for several times
// with unchanged constraints and most rule pairs carry over from one node to the next.  When the
// normalization trace is shown the pairs are normalized afresh, so the trace stays complete.
#include "completion/huet.hpp"

#include <sys/time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <list>
#include <unordered_map>

#include "driver/prefs.hpp"
#include "termination/checker.hpp"
#include "terms/cp.hpp"
#include "terms/rewriting.hpp"
#include "terms/substitution.hpp"

namespace Huet {

OpenProblems open_problems = OpenProblems::create(16);
long num_splits = 0;
double t0 = 0.0;

namespace {

constexpr double kStaleCost = 1073741823.0;

// An ordered pair of rules (inner, outer), as the four nodes of their sides.  Each stored key goes
// with the rules themselves in the stored value, whose handles keep the nodes alive, so the
// pointers stay unique while the key is stored; lookups copy no handle.
struct PairKey {
  const Terms::Node* sides[4];
  bool operator==(const PairKey& other) const { return std::equal(sides, sides + 4, other.sides); }
};

struct PairKeyHash {
  size_t operator()(const PairKey& k) const {
    size_t h = 0;
    for (const Terms::Node* n : k.sides) h = h * 1000003 ^ std::hash<const void*>()(n);
    return h;
  }
};

PairKey key_of(const Terms::Rule& inner, const Terms::Rule& outer) {
  return PairKey{{inner.lhs.node(), inner.rhs.node(), outer.lhs.node(), outer.rhs.node()}};
}

// Sizes of the two sides of every pair whose normal forms under constraints differ.
long nontrivial_size(const std::vector<Cp::Pair>& pairs, const Rules& constraints) {
  long total = 0;
  for (const Cp::Pair& pair : pairs) {
    Terms::Term t = Rewriting::normalize(constraints, pair.second);
    Terms::Term s = Rewriting::normalize(constraints, pair.first);
    if (!(s == t)) total += s.size() + t.size();
  }
  return total;
}

// The critical pairs of ([inner], [outer]) by rule pair.  Bounded: emptied when it grows past
// kLimit pairs of rules.
class PairCache {
 public:
  const std::vector<Cp::Pair>& pairs(const Terms::Rule& inner, const Terms::Rule& outer) {
    PairKey key = key_of(inner, outer);
    auto found = pairs_.find(key);
    if (found != pairs_.end()) return found->second.pairs;
    if (pairs_.size() >= kLimit) pairs_.clear();
    Entry entry{inner, outer, Cp::critical_pairs({inner}, {outer})};
    return pairs_.emplace(key, std::move(entry)).first->second.pairs;
  }

 private:
  struct Entry {
    Terms::Rule inner, outer;  // hold the key's nodes
    std::vector<Cp::Pair> pairs;
  };
  static constexpr size_t kLimit = size_t(1) << 16;
  std::unordered_map<PairKey, Entry, PairKeyHash> pairs_;
};

// For the few most recently used constraint lists: the non-trivial size of each rule pair's
// critical pairs under that list.
class SizeCache {
 public:
  struct Entry {
    Terms::Rule inner, outer;  // hold the key's nodes
    long size;
  };
  struct Table {
    Rules constraints;
    std::unordered_map<PairKey, Entry, PairKeyHash> sizes;
  };

  // The table of the list, moved to the front; a new one (the least recently used dropped) when
  // the list is not among the recent ones.  The reference stays valid until the next call.
  Table& table_for(const Rules& constraints) {
    if (!tables_.empty() && tables_.front().constraints == constraints) return tables_.front();
    for (auto it = tables_.begin(); it != tables_.end(); ++it)
      if (it->constraints == constraints) {
        tables_.splice(tables_.begin(), tables_, it);
        return tables_.front();
      }
    if (tables_.size() >= kTables) tables_.pop_back();
    tables_.push_front(Table{constraints, {}});
    return tables_.front();
  }

  // needs: table is the table of constraints.
  // returns: the size contributed by the critical pairs of ([inner], [outer]).
  static long size(PairCache& pairs, Table& table, const Terms::Rule& inner,
                   const Terms::Rule& outer) {
    PairKey key = key_of(inner, outer);
    auto found = table.sizes.find(key);
    if (found != table.sizes.end()) return found->second.size;
    long n = nontrivial_size(pairs.pairs(inner, outer), table.constraints);
    if (table.sizes.size() >= kEntryLimit) table.sizes.clear();
    table.sizes.emplace(key, Entry{inner, outer, n});
    return n;
  }

 private:
  static constexpr size_t kTables = 32;
  static constexpr size_t kEntryLimit = size_t(1) << 16;
  std::list<Table> tables_;
};

bool rewriting_traced() {
  return Prefs::debug_rewriting && Debug::should_display(Debug::Level::trace);
}

// Lengths of the non-trivial critical pairs' sides, summed.
long nontrivial_cp_size(const Problem& p) {
  long total = 0;
  if (rewriting_traced()) {
    for (const Terms::Equation& e : find_all_nontrivial_critical_pairs(p))
      total += e.lhs.size() + e.rhs.size();
    return total;
  }
  static PairCache* pairs = new PairCache();  // never destroyed: holds terms until the very end
  static SizeCache* sizes = new SizeCache();
  const Rules rules = rules_of_prob(p);
  SizeCache::Table& table = sizes->table_for(p.constraints);
  p.unmarked->fold(
      [&](const RuleEntry& e, int acc) {
        const Terms::Rule& r = e.rule;
        total += SizeCache::size(*pairs, table, r, r);
        for (const Terms::Rule& s : rules) total += SizeCache::size(*pairs, table, r, s);
        for (const Terms::Rule& s : rules) total += SizeCache::size(*pairs, table, s, r);
        return acc;
      },
      0);
  return total;
}

// One symbol's contribution of an argument to the chain measure of its parent f.
long chain_contribution(const Terms::Name& f, const Terms::Term& arg) {
  if (arg.is_var()) return 1;
  long inner = max_exp_term(arg);
  return arg.name() == f ? inner + 1 : inner;
}

}  // namespace

std::string string_of_id(const std::vector<int>& id) {
  std::string out = "[";
  for (int step : id) out += std::to_string(step);
  return out + "]";
}

std::string string_of_float(double value) {
  if (std::isnan(value)) return "nan";
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

double now() {
  struct timeval tv;
  gettimeofday(&tv, nullptr);
  return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) / 1e6;
}

long size_of_trs(const Rules& rules) {
  long total = 0;
  for (const Terms::Rule& r : rules) total += r.lhs.size() + r.rhs.size();
  return total;
}

Rules rules_of_prob(const Problem& p) {
  return rules_of(*p.unmarked, p.marked);
}

Rules rules_of(const RuleHeap& unmarked, const Rules& marked) {
  Rules heap_rules = unmarked.fold(
      [](const RuleEntry& e, Rules acc) {
        acc.push_back(e.rule);
        return acc;
      },
      Rules());
  Rules out(heap_rules.rbegin(), heap_rules.rend());
  out.insert(out.end(), marked.begin(), marked.end());
  return out;
}

long problem_size(const Problem& p) {
  long total = size_of_trs(strip_flags(p.equations)) + size_of_trs(p.marked);
  return p.unmarked->fold([](const RuleEntry& e, long acc) { return acc + e.size; }, total);
}

std::vector<Terms::Equation> find_all_nontrivial_critical_pairs(const Problem& p) {
  const Rules rules = rules_of_prob(p);
  std::vector<Terms::Equation> found;  // in order found; the result is its reverse
  auto keep_nontrivial = [&](const std::vector<Cp::Pair>& pairs) {
    for (const Cp::Pair& pair : pairs) {
      Terms::Term t = Rewriting::normalize(p.constraints, pair.second);
      Terms::Term s = Rewriting::normalize(p.constraints, pair.first);
      if (!(s == t)) found.push_back(Terms::Equation{s, t});
    }
  };
  p.unmarked->fold(
      [&](const RuleEntry& e, int acc) {
        const Rules r{e.rule};
        keep_nontrivial(Cp::critical_pairs(r, r));
        keep_nontrivial(Cp::critical_pairs(r, rules));
        keep_nontrivial(Cp::critical_pairs(rules, r));
        return acc;
      },
      0);
  return std::vector<Terms::Equation>(found.rbegin(), found.rend());
}

long max_exp_term(const Terms::Term& t) {
  if (t.is_var()) return 0;
  long best = 1;
  for (const Terms::Term& arg : t.args()) best = std::max(best, chain_contribution(t.name(), arg));
  return best;
}

long max_exp_eqs(const Rules& equations) {
  std::vector<long> right, left;
  for (const Terms::Rule& e : equations) {
    right.push_back(max_exp_term(e.rhs));
    left.push_back(max_exp_term(e.lhs));
  }
  return std::max(Terms::maxs(right), Terms::maxs(left));
}

long max_exp_prob(const Problem& p) {
  return max_exp_eqs(rules_of_prob(p));
}

double problem_cost(const Problem& p, const BranchInfo& info) {
  for (const FlaggedEquation& e : p.equations)
    if (e.second) return kStaleCost;
  long n =
      nontrivial_cp_size(p) + size_of_trs(strip_flags(p.equations)) + size_of_trs(p.constraints);
  double cost = static_cast<double>(n);
  if (!Prefs::detect_divergence) return cost;
  long m = max_exp_prob(p);
  if (m < Prefs::max_exp_threshold) return cost;
  long k = m - Prefs::max_exp_threshold + 1;
  double factor = 1.0 + static_cast<double>(k) / 5.0;
  Debug::trace(
      [&] { return string_of_id(info.id) + ": multiplying cost by " + string_of_float(factor); });
  return cost * factor;
}

int compare(const OpenProblem& a, const OpenProblem& b) {
  double d = b.cost - a.cost;
  if (d > 0) return 1;
  if (d < 0) return -1;
  return 0;
}

void checkpoint(const BranchInfo& info, const Problem& p) {
  long size = problem_size(p);
  double cost = problem_cost(p, info);
  double min = open_problems.is_empty() ? 0.0 : open_problems.peek().cost;
  long pending = open_problems.size();
  Debug::debug([&] {
    return string_of_id(info.id) + ": Checkpoint (size=" + std::to_string(size) +
           ", time=" + string_of_float(info.time) + ", max=" + string_of_float(info.max_time) +
           ", num=" + std::to_string(num_splits) + ", cost=" + string_of_float(cost) +
           ", pending=" + std::to_string(pending) + ", min=" + string_of_float(min) + ")";
  });
  open_problems.add(OpenProblem{cost, info, p});
}

void backtrack(const std::vector<int>& id) {
  Debug::debug([&] {
    return string_of_id(id) + ": Backtrack (orientations=" + std::to_string(Checker::orientations) +
           ", checked=" + std::to_string(Checker::checker_calls) +
           ", T,NT,?=" + std::to_string(Checker::checker_yes) + "," +
           std::to_string(Checker::checker_no) + "," + std::to_string(Checker::checker_unknown) +
           ")";
  });
  throw FAIL();
}

Rules add_constraint(const Terms::Rule& rule, const Rules& constraints) {
  const Terms::Rule c = Terms::canon_rule(rule);
  for (const Terms::Rule& s : constraints)
    if (Terms::rule_generalization(s, c)) return constraints;
  Rules out;
  for (auto it = constraints.rbegin(); it != constraints.rend(); ++it)
    if (!Terms::rule_instance(*it, c)) out.push_back(*it);
  out.push_back(c);
  return out;
}

std::shared_ptr<RuleHeap> clone_heap(const RuleHeap& h) {
  auto copy = std::make_shared<RuleHeap>(RuleHeap::create(h.size()));
  copy->load(h.dump());
  return copy;
}

std::vector<Terms::Equation> strip_flags(const Equations& equations) {
  std::vector<Terms::Equation> out;
  out.reserve(equations.size());
  for (auto it = equations.rbegin(); it != equations.rend(); ++it) out.push_back(it->first);
  return out;
}

Equations add_fresh_flags(const std::vector<Terms::Equation>& equations) {
  Equations out;
  out.reserve(equations.size());
  for (auto it = equations.rbegin(); it != equations.rend(); ++it) out.emplace_back(*it, false);
  return out;
}

Equations refresh_flags(const Equations& equations) {
  Equations out;
  out.reserve(equations.size());
  for (auto it = equations.rbegin(); it != equations.rend(); ++it)
    out.emplace_back(it->first, false);
  return out;
}

}  // namespace Huet
