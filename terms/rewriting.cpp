// Innermost normalization.
//
// The normal form of f(t1..tn) is found by normalizing the arguments left to right, rebuilding
// the term, and trying one root step with the first rule (in list order) whose left side matches;
// a reduct is normalized again from scratch.  The result depends only on the term (the rule list
// being fixed for one call), so each call keeps a memo from terms to their normal forms: shared
// subterms are normalized once, and the subterms that a reduct takes over from the matched term
// are recognised as normal at once.  Terms are hash-consed, so the memo is keyed by node (an
// open-addressing table).  The walk uses an explicit stack, so neither deep terms nor long rewrite
// sequences deepen the call stack.  Most calls normalize small terms, so the memo and the stacks
// are kept from one call to the next instead of being allocated each time; while calls come with
// the same rule list (as when many terms are normalized with one set of rules) the memo is kept
// too, since its entries are normal forms with respect to that list.  Rules are looked up by the
// root symbol of the term: each symbol has the list of the rules whose left side has that root
// symbol or is a variable, in the order of the rule list, so the first rule that applies is still
// the first one in list order.  Before matching, a rule is skipped cheaply when its left side's
// arity or size rule it out, and a ground left side is compared by identity.
#include "terms/rewriting.hpp"

#include <cstdint>
#include <span>

#include "driver/debug.hpp"
#include "driver/prefs.hpp"
#include "io/print.hpp"
#include "terms/substitution.hpp"

namespace Rewriting {

using Terms::Rule;
using Terms::Term;

namespace {

// What a root step needs to know about a rule's left side to skip it without matching.
struct RuleKey {
  const Rule* rule;
  bool any_root;  // the left side is a variable: it matches every term
  Terms::Name symbol;
  size_t arity;
  long size;
  bool ground;
};

// The rules of one list by root symbol.  buckets[bucket_of[id]] lists, in list order, the keys of
// the rules whose left side has the symbol with that name id at its root or is a variable; symbols
// without a bucket of their own use buckets[0], which holds the variable left sides alone.
struct RuleIndex {
  std::vector<RuleKey> keys;
  std::vector<uint32_t> bucket_of;  // by name id; 0 for symbols without rules of their own
  std::vector<std::vector<const RuleKey*>> buckets;

  // changes: the index, rebuilt for rules (which must outlive its use).
  void build(const std::vector<Rule>& rules) {
    keys.clear();
    for (const Rule& r : rules) {
      const Term& l = r.lhs;
      bool any = l.is_var();
      keys.push_back(
          {&r, any, any ? Terms::Name() : l.name(), any ? 0 : l.arity(), l.size(), l.ground()});
    }
    for (uint32_t& b : bucket_of) b = 0;
    for (auto& bucket : buckets) bucket.clear();
    size_t used = 1;
    for (const RuleKey& k : keys) {
      if (k.any_root) continue;
      uint32_t id = k.symbol.id();
      if (id >= bucket_of.size()) bucket_of.resize(id + 1, 0);
      if (bucket_of[id] == 0) bucket_of[id] = static_cast<uint32_t>(used++);
    }
    if (buckets.size() < used) buckets.resize(used);
    for (const RuleKey& k : keys) {
      if (k.any_root) {
        for (size_t b = 0; b < used; ++b) buckets[b].push_back(&k);
      } else {
        buckets[bucket_of[k.symbol.id()]].push_back(&k);
      }
    }
  }

  const std::vector<const RuleKey*>& candidates(Terms::Name symbol) const {
    uint32_t id = symbol.id();
    return buckets[id < bucket_of.size() ? bucket_of[id] : 0];
  }
};

class RootStepper {
 public:
  // needs: index built for the rule list in use.
  // changes: sigma is taken over as working storage.
  RootStepper(const RuleIndex& index, Terms::Substitution& sigma) : index_(index), sigma_(sigma) {}

  // needs: u is an application.
  // returns: the reduct of the first rule that applies at the root of u, if any.
  std::optional<Term> step(const Term& u) {
    Terms::Name symbol = u.name();
    size_t arity = u.arity();
    long size = u.size();
    for (const RuleKey* k : index_.candidates(symbol)) {
      if (!k->any_root) {
        if (k->arity != arity || k->size > size) continue;
        if (k->ground) {
          if (k->rule->lhs == u) return k->rule->rhs;
          continue;
        }
      }
      sigma_.mutable_bindings().clear();
      if (Terms::match_into(k->rule->lhs, u, sigma_)) return Terms::lift(sigma_, k->rule->rhs);
    }
    return std::nullopt;
  }

 private:
  const RuleIndex& index_;
  Terms::Substitution& sigma_;
};

// A map from terms to terms, keyed by node: open addressing with linear probing over a
// power-of-two table.  Clearing touches only the slots in use, so one table can serve many short
// normalizations in a row.
class Memo {
 public:
  const Term* find(const Term& key) const {
    if (slots_.empty()) return nullptr;
    for (size_t i = home(key);; i = (i + 1) & mask()) {
      const Slot& s = slots_[i];
      if (s.key.is_null()) return nullptr;
      if (s.key == key) return &s.value;
    }
  }

  void put(const Term& key, const Term& value) {
    if (2 * (used_.size() + 1) > slots_.size()) grow();
    size_t i = home(key);
    while (!slots_[i].key.is_null() && !(slots_[i].key == key)) i = (i + 1) & mask();
    if (slots_[i].key.is_null()) {
      slots_[i].key = key;
      used_.push_back(i);
    }
    slots_[i].value = value;
  }

  size_t size() const { return used_.size(); }

  // Empties the table; a table grown large is given back.
  void clear() {
    if (slots_.size() > kKeptSlots) {
      slots_ = std::vector<Slot>();
    } else {
      for (size_t i : used_) slots_[i] = Slot();
    }
    used_.clear();
  }

 private:
  struct Slot {
    Term key;  // null when free
    Term value;
  };
  static constexpr size_t kKeptSlots = size_t(1) << 14;

  size_t mask() const { return slots_.size() - 1; }
  size_t home(const Term& key) const {
    auto bits = reinterpret_cast<uintptr_t>(key.node());
    return static_cast<size_t>((bits >> 4) * 0x9e3779b97f4a7c15ULL) & mask();
  }

  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_ = std::vector<Slot>(old.empty() ? 64 : 2 * old.size());
    used_.clear();
    for (Slot& s : old)
      if (!s.key.is_null()) put(s.key, s.value);
  }

  std::vector<Slot> slots_;
  std::vector<size_t> used_;
};

// The memo is dropped when it grows past this many entries, which bounds the memory of one very
// long normalization (the memo is only a cache: dropping it loses no result).
constexpr size_t memo_limit = size_t(1) << 20;

// One application being normalized.  Its argument normal forms collect in done from args_base
// on; every term whose normal form is this frame's result (the original term, rebuilt terms and
// reducts) collects in same_nf from same_nf_base on.
struct Frame {
  Term term;
  size_t next;
  size_t args_base;
  size_t same_nf_base;
};

// A memo kept for the next call with the same rules is dropped beyond this many entries.
constexpr size_t kept_memo_limit = size_t(1) << 12;

// Working storage of normalization, kept between calls to save allocations.  Between calls it
// holds the last rule list with its index and memo (the normal forms found with that list); the
// stacks are empty.
struct Workspace {
  bool busy = false;
  std::vector<Rule> rules;  // the list that index and memo belong to
  RuleIndex index;
  Memo memo;
  std::vector<Frame> stack;
  std::vector<Term> done;
  std::vector<Term> same_nf;
  Terms::Substitution sigma;

  // changes: rules, index and memo, unless rules already equals the given list.
  void use(const std::vector<Rule>& given) {
    if (given == rules) return;
    memo.clear();
    rules = given;
    index.build(rules);
  }
};

class Normalizer {
 public:
  Normalizer(const std::vector<Rule>& rules, Workspace& w) : w_(w), stepper_(w.index, w.sigma) {
    w_.use(rules);
  }

  ~Normalizer() {
    if (w_.memo.size() > kept_memo_limit) w_.memo.clear();
    w_.stack.clear();
    w_.done.clear();
    w_.same_nf.clear();
    w_.sigma.mutable_bindings().clear();
  }

  Term run(const Term& t) {
    if (t.is_var()) return t;
    open(t);
    while (!w_.stack.empty()) advance();
    Term result = std::move(w_.done.back());
    w_.done.pop_back();
    return result;
  }

 private:
  void open(const Term& t) {
    w_.stack.push_back({t, 0, w_.done.size(), w_.same_nf.size()});
    w_.same_nf.push_back(t);
  }

  // One move of the walk: visit the next argument of the top frame, or rewrite at its root.
  void advance() {
    Frame& top = w_.stack.back();
    auto args = top.term.args();
    if (top.next < args.size()) {
      const Term& a = args[top.next++];
      const Term* known = a.is_var() ? &a : w_.memo.find(a);
      if (known) {
        w_.done.push_back(*known);
      } else {
        Term child = a;  // top is invalidated by the push below
        open(child);
      }
      return;
    }
    Term u = rebuilt(top);
    if (!(u == top.term)) {
      if (const Term* known = w_.memo.find(u)) return finish(*known);
      w_.same_nf.push_back(u);
    }
    std::optional<Term> v = stepper_.step(u);
    if (!v) return finish(u);
    if (v->is_var()) return finish(*v);
    if (const Term* known = w_.memo.find(*v)) return finish(*known);
    top.term = std::move(*v);
    top.next = 0;
    w_.same_nf.push_back(top.term);
  }

  // The top frame's term with its arguments replaced by their normal forms.
  Term rebuilt(const Frame& top) {
    auto args = top.term.args();
    std::span<const Term> nfs(w_.done.data() + top.args_base, args.size());
    bool same = true;
    for (size_t i = 0; i < args.size() && same; ++i) same = nfs[i] == args[i];
    Term u = same ? top.term : Terms::app(top.term.name(), nfs);
    w_.done.resize(top.args_base);
    return u;
  }

  // Records n as the normal form of every term of the top frame and hands it to the parent.
  void finish(const Term& n) {
    Term result = n;  // n may live in the memo, which may be dropped below
    if (w_.memo.size() > memo_limit) w_.memo.clear();
    size_t base = w_.stack.back().same_nf_base;
    for (size_t i = base; i < w_.same_nf.size(); ++i) w_.memo.put(w_.same_nf[i], result);
    w_.memo.put(result, result);
    w_.same_nf.resize(base);
    w_.stack.pop_back();
    w_.done.push_back(std::move(result));
  }

  Workspace& w_;
  RootStepper stepper_;
};

// The shared workspace, or a fresh one should a normalization ever start inside another.
Term run_normalizer(const std::vector<Rule>& rules, const Term& t) {
  static Workspace* shared = new Workspace();  // never destroyed: used until the very end
  if (shared->busy) {
    Workspace own;
    return Normalizer(rules, own).run(t);
  }
  shared->busy = true;
  struct Release {
    bool& busy;
    ~Release() { busy = false; }
  } release{shared->busy};
  return Normalizer(rules, *shared).run(t);
}

}  // namespace

std::optional<Term> rewrite(const std::vector<Rule>& rules, const Term& t) {
  if (t.is_var()) {
    for (const Rule& r : rules)
      if (auto sigma = Terms::match_with(r.lhs, t)) return Terms::lift(*sigma, r.rhs);
    return std::nullopt;
  }
  RuleIndex index;
  index.build(rules);
  Terms::Substitution sigma;
  return RootStepper(index, sigma).step(t);
}

Term norm(const std::vector<Rule>& rules, const Term& t) {
  if (t.is_var() || rules.empty()) return t;
  return run_normalizer(rules, t);
}

Term normalize(const std::vector<Rule>& rules, const Term& t) {
  using Debug::Level;
  if (Prefs::debug_rewriting) {
    Debug::debug_l(Level::trace, [] { return "Normalizing with rules: "; });
    Debug::debug_l(Level::trace, [&] {
      return Print::string_of_relation(Print::string_of_rule, Print::f_empty, Print::f_empty,
                                       rules);
    });
  }
  Term n = norm(rules, t);
  if (Prefs::debug_rewriting)
    Debug::debug_l(Level::trace, [&] { return Print::string_of_rewrite(t, n); });
  return n;
}

}  // namespace Rewriting
