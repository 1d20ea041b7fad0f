// Substitutions, syntactic unification, one-way matching and canonical numbering.
//
// Unification is the classic work-list procedure: pairs are taken from the front, the argument
// pairs of two applications with the same symbol go in front in order, and a variable meeting a
// term is eliminated: after the occurs check its binding is applied to the rest of the work list
// and to every binding made so far, so the result is idempotent and no variable is bound twice.
// When two variables meet, the one on the left is bound.  Matching walks pattern and subject
// together and binds pattern variables only; subject variables are rigid.  A symbol used with two
// different arities counts as a clash.  The work list is a vector used as a stack whose top is the
// front of the list; a substitution is a short vector of bindings scanned linearly.
#include "terms/substitution.hpp"

#include "terms/rebuild.hpp"

namespace Terms {

const Term* Substitution::find(const Variable& v) const {
  for (const auto& [bound, image] : bindings_)
    if (bound == v) return &image;
  return nullptr;
}

void Substitution::bind(const Variable& v, Term t) {
  bindings_.emplace_back(v, std::move(t));
}

const Term& app(const Substitution& s, const Variable& v) {
  return *s.find(v);
}

namespace {

bool keep_ground(const Term& t) {
  return t.ground();
}

// t with the single binding x -> u applied.
Term replace_var(const Term& x, const Term& u, const Term& t) {
  long suffix = x.suffix();
  return Detail::rebuild(
      t, [&](const Term& v) { return v == x ? u : v; },
      [&](const Term& s) { return s.ground() || (!s.is_var() && s.max_suffix() < suffix); });
}

using WorkList = std::vector<std::pair<Term, Term>>;  // the front of the list is at the back

// Binds the variable x to u: occurs check, then x -> u applied to the rest of the work and to
// every binding.  Returns false when x occurs in u.
bool eliminate(const Term& x, const Term& u, WorkList& rest, Substitution& sigma) {
  if (occurs(x.var(), u)) return false;
  for (auto& [s, t] : rest) {
    s = replace_var(x, u, s);
    t = replace_var(x, u, t);
  }
  sigma.bind(x.var(), u);
  for (auto& binding : sigma.mutable_bindings()) binding.second = replace_var(x, u, binding.second);
  return true;
}

bool same_symbol(const Term& s, const Term& t) {
  return s.name() == t.name() && s.arity() == t.arity();
}

bool match_recursive(const Term& p, const Term& t, Substitution& sigma) {
  if (p.is_var()) {
    if (const Term* bound = sigma.find(p.var())) return *bound == t;
    sigma.bind(p.var(), t);
    return true;
  }
  if (t.is_var() || !same_symbol(p, t)) return false;
  if (p.ground()) return p == t;
  if (p.size() > t.size()) return false;  // an instance is never smaller than its pattern
  auto ps = p.args();
  auto ts = t.args();
  for (size_t i = 0; i < ps.size(); ++i)
    if (!match_recursive(ps[i], ts[i], sigma)) return false;
  return true;
}

bool match_iterative(const Term& pattern, const Term& subject, Substitution& sigma) {
  std::vector<std::pair<const Term*, const Term*>> work{{&pattern, &subject}};
  while (!work.empty()) {
    auto [p, t] = work.back();
    work.pop_back();
    if (p->is_var()) {
      if (const Term* bound = sigma.find(p->var())) {
        if (!(*bound == *t)) return false;
      } else {
        sigma.bind(p->var(), *t);
      }
      continue;
    }
    if (t->is_var() || !same_symbol(*p, *t)) return false;
    if (p->ground()) {
      if (!(*p == *t)) return false;
      continue;
    }
    auto ps = p->args();
    auto ts = t->args();
    for (size_t i = ps.size(); i-- > 0;) work.emplace_back(&ps[i], &ts[i]);
  }
  return true;
}

}  // namespace

Term lift(const Substitution& s, const Term& t) {
  if (s.empty()) return t;
  return Detail::rebuild(
      t,
      [&](const Term& v) {
        const Term* bound = s.find(v.var());
        return bound ? *bound : v;
      },
      keep_ground);
}

std::optional<Substitution> solve(const TermPairs& pairs) {
  Substitution sigma;
  WorkList work(pairs.rbegin(), pairs.rend());
  while (!work.empty()) {
    auto [s, t] = std::move(work.back());
    work.pop_back();
    if (s == t) continue;  // also covers (x, x)
    // Hash-consed ground terms are equal only when identical: no need to walk them.
    if (s.ground() && t.ground()) return std::nullopt;
    if (s.is_var() || t.is_var()) {
      bool bound = s.is_var() ? eliminate(s, t, work, sigma) : eliminate(t, s, work, sigma);
      if (!bound) return std::nullopt;
      continue;
    }
    if (!same_symbol(s, t)) return std::nullopt;
    auto ss = s.args();
    auto ts = t.args();
    for (size_t i = ss.size(); i-- > 0;) work.emplace_back(ss[i], ts[i]);
  }
  return sigma;
}

std::optional<Substitution> unify(const Term& s, const Term& t) {
  return solve({{s, t}});
}

bool match_into(const Term& pattern, const Term& subject, Substitution& sigma) {
  if (pattern.depth() <= Detail::rebuild_recursion_limit)
    return match_recursive(pattern, subject, sigma);
  return match_iterative(pattern, subject, sigma);
}

std::optional<Substitution> matchs(const TermPairs& pairs) {
  Substitution sigma;
  for (const auto& [pattern, subject] : pairs)
    if (!match_into(pattern, subject, sigma)) return std::nullopt;
  return sigma;
}

std::optional<Substitution> match_with(const Term& pattern, const Term& subject) {
  Substitution sigma;
  if (!match_into(pattern, subject, sigma)) return std::nullopt;
  return sigma;
}

bool rule_generalization(const Rule& a, const Rule& b) {
  return matchs({{a.lhs, b.lhs}, {a.rhs, b.rhs}}).has_value();
}

bool rule_instance(const Rule& a, const Rule& b) {
  return matchs({{b.lhs, a.lhs}, {b.rhs, a.rhs}}).has_value();
}

bool try_match_subterm(const Term& p, const Term& t) {
  Substitution sigma;
  std::vector<const Term*> work{&t};
  while (!work.empty()) {
    const Term* u = work.back();
    work.pop_back();
    if (u->size() < p.size()) continue;  // neither u nor its subterms can be instances of p
    sigma.mutable_bindings().clear();
    if (match_into(p, *u, sigma)) return true;
    auto args = u->args();
    for (size_t i = args.size(); i-- > 0;) work.push_back(&args[i]);
  }
  return false;
}

Term _canon(CanonTable& table, long& counter, const Term& t) {
  static const Name canonical = Name::intern("X");
  return Detail::rebuild(
      t,
      [&](const Term& v) {
        auto [entry, fresh] = table.try_emplace(v.var(), counter + 1);
        if (fresh) ++counter;
        return var(canonical, entry->second);
      },
      keep_ground);
}

Rule canon_rule(const Rule& r) {
  CanonTable table;
  long counter = -1;
  Term rhs = _canon(table, counter, r.rhs);
  Term lhs = _canon(table, counter, r.lhs);
  return Rule{std::move(lhs), std::move(rhs)};
}

}  // namespace Terms
