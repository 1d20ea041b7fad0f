// Critical pairs.
//
// Each outer rule is first renamed apart from all inner rules by adding to its variable suffixes
// one more than the largest suffix of any inner rule.  Then the non-variable positions of its left
// side are visited in pre-order (the root first, then each argument's subtree left to right), and
// at each position every inner rule, in list order, is unified with the subterm there (the
// subterm first, which decides which variable is bound when two meet).  A unifier σ gives the pair
// (σ(outer rhs), σ(outer lhs with the inner rhs put at that position)).  Pairs are returned last
// found first.  A position is held as the path of argument indices from the root; the walk keeps
// its own stack, so deep left sides do not deepen the call stack.  An outer rule whose left side
// has no position whose symbol some inner left side starts with cannot overlap at all; it is
// skipped before it is renamed.
#include "terms/cp.hpp"

#include <algorithm>

#include "terms/rebuild.hpp"
#include "terms/substitution.hpp"

namespace Cp {

using Terms::Rule;
using Terms::Term;

long maxindex(const Term& t) {
  return t.max_suffix();
}

Term rename(long n, const Term& t) {
  if (n == 0) return t;
  return Terms::Detail::rebuild(
      t, [n](const Term& v) { return Terms::var(v.name(), v.suffix() + n); },
      [](const Term& s) { return s.ground(); });
}

namespace {

using Path = std::vector<size_t>;

// t with the subterm at path replaced by w.
Term replace_at(const Term& t, const Path& path, const Term& w) {
  std::vector<const Term*> spine{&t};
  for (size_t i = 0; i < path.size(); ++i) spine.push_back(&spine.back()->arg(path[i]));
  Term result = w;
  for (size_t i = path.size(); i-- > 0;) {
    const Term& parent = *spine[i];
    std::vector<Term> args(parent.args().begin(), parent.args().end());
    args[path[i]] = std::move(result);
    result = Terms::app(parent.name(), std::move(args));
  }
  return result;
}

// Whether u and the inner left side s can unify at all, judged by their root symbols only.
bool roots_compatible(const Term& u, const Term& s) {
  return s.is_var() || (u.name() == s.name() && u.arity() == s.arity());
}

// The pair of one overlap of the inner rule into the renamed outer rule, if u unifies with its
// left side.
void overlap(const Rule& outer, const Path& path, const Term& u, const Rule& inner,
             std::vector<Pair>& found) {
  if (!roots_compatible(u, inner.lhs)) return;
  std::optional<Terms::Substitution> sigma = Terms::unify(u, inner.lhs);
  if (!sigma) return;
  found.emplace_back(Terms::lift(*sigma, outer.rhs),
                     Terms::lift(*sigma, replace_at(outer.lhs, path, inner.rhs)));
}

// Appends the pairs of all inner rules overlapping into the renamed outer rule, in the order they
// are found.
void outer_pairs(const std::vector<Rule>& inner, const Rule& outer, std::vector<Pair>& found) {
  struct Frame {
    const Term* term;
    size_t next;  // next argument to descend into
  };
  std::vector<Frame> stack;
  Path path;
  auto visit = [&](const Term& u) {
    if (u.is_var()) return false;
    for (const Rule& r : inner) overlap(outer, path, u, r, found);
    stack.push_back({&u, 0});
    return true;
  };
  visit(outer.lhs);
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next == top.term->arity()) {
      stack.pop_back();
      if (!path.empty()) path.pop_back();
      continue;
    }
    size_t i = top.next++;
    const Term& child = top.term->arg(i);
    path.push_back(i);
    if (!visit(child)) path.pop_back();
  }
}

// Whether some non-variable position of l has a root that some inner left side could unify with,
// judged by root symbols only.
bool may_overlap(const std::vector<Rule>& inner, const Term& l) {
  for (const Rule& r : inner)
    if (r.lhs.is_var()) return true;
  std::vector<const Term*> work{&l};
  while (!work.empty()) {
    const Term* u = work.back();
    work.pop_back();
    if (u->is_var()) continue;
    for (const Rule& r : inner)
      if (roots_compatible(*u, r.lhs)) return true;
    for (const Term& a : u->args()) work.push_back(&a);
  }
  return false;
}

}  // namespace

std::vector<Pair> critical_pairs(const std::vector<Rule>& inner, const std::vector<Rule>& outer) {
  std::vector<Pair> found;
  if (inner.empty()) return found;
  long m = 0;
  for (const Rule& r : inner) m = std::max({m, maxindex(r.lhs), maxindex(r.rhs)});
  m += 1;
  for (const Rule& r : outer)
    if (may_overlap(inner, r.lhs))
      outer_pairs(inner, Rule{rename(m, r.lhs), rename(m, r.rhs)}, found);
  std::reverse(found.begin(), found.end());
  return found;
}

}  // namespace Cp
