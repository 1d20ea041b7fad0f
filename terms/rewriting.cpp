// Innermost normalization.
//
// The normal form of f(t1..tn) is found by normalizing the arguments left to right, rebuilding
// the term, and trying one root step with the first rule (in list order) whose left side matches;
// a reduct is normalized again from scratch.  The result depends only on the term (the rule list
// being fixed for one call), so each call keeps a memo from terms to their normal forms: shared
// subterms are normalized once, and the subterms that a reduct takes over from the matched term
// are recognised as normal at once.  Terms are hash-consed, so the memo is keyed by node.  The
// walk uses an explicit stack, so neither deep terms nor long rewrite sequences deepen the call
// stack.  Before matching, a rule is skipped cheaply when its left side's root symbol, arity or
// size rule it out, and a ground left side is compared by identity.
#include "terms/rewriting.hpp"

#include <unordered_map>

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

class RootStepper {
 public:
  explicit RootStepper(const std::vector<Rule>& rules) {
    keys_.reserve(rules.size());
    for (const Rule& r : rules) {
      const Term& l = r.lhs;
      bool any = l.is_var();
      keys_.push_back(
          {&r, any, any ? Terms::Name() : l.name(), any ? 0 : l.arity(), l.size(), l.ground()});
    }
  }

  // needs: u is an application.
  // returns: the reduct of the first rule that applies at the root of u, if any.
  std::optional<Term> step(const Term& u) {
    Terms::Name symbol = u.name();
    size_t arity = u.arity();
    long size = u.size();
    for (const RuleKey& k : keys_) {
      if (!k.any_root) {
        if (!(k.symbol == symbol) || k.arity != arity || k.size > size) continue;
        if (k.ground) {
          if (k.rule->lhs == u) return k.rule->rhs;
          continue;
        }
      }
      sigma_.mutable_bindings().clear();
      if (Terms::match_into(k.rule->lhs, u, sigma_)) return Terms::lift(sigma_, k.rule->rhs);
    }
    return std::nullopt;
  }

 private:
  std::vector<RuleKey> keys_;
  Terms::Substitution sigma_;
};

// The memo is dropped when it grows past this many entries, which bounds the memory of one very
// long normalization (the memo is only a cache: dropping it loses no result).
constexpr size_t memo_limit = 1 << 20;

class Normalizer {
 public:
  explicit Normalizer(const std::vector<Rule>& rules) : stepper_(rules) {}

  Term run(const Term& t) {
    if (t.is_var()) return t;
    if (const Term* known = lookup(t)) return *known;
    open(t);
    while (!stack_.empty()) advance();
    Term result = std::move(done_.back());
    done_.pop_back();
    return result;
  }

 private:
  // One application being normalized.  Its argument normal forms collect in done_ from
  // args_base on; every term whose normal form is this frame's result (the original term,
  // rebuilt terms and reducts) collects in same_nf_ from same_nf_base on.
  struct Frame {
    Term term;
    size_t next;
    size_t args_base;
    size_t same_nf_base;
  };

  const Term* lookup(const Term& t) const {
    auto found = memo_.find(t);
    return found == memo_.end() ? nullptr : &found->second;
  }

  void open(const Term& t) {
    stack_.push_back({t, 0, done_.size(), same_nf_.size()});
    same_nf_.push_back(t);
  }

  // One move of the walk: visit the next argument of the top frame, or rewrite at its root.
  void advance() {
    Frame& top = stack_.back();
    auto args = top.term.args();
    if (top.next < args.size()) {
      const Term& a = args[top.next++];
      const Term* known = a.is_var() ? &a : lookup(a);
      if (known) {
        done_.push_back(*known);
      } else {
        Term child = a;  // top is invalidated by the push below
        open(child);
      }
      return;
    }
    Term u = rebuilt(top);
    if (!(u == top.term)) {
      if (const Term* known = lookup(u)) return finish(*known);
      same_nf_.push_back(u);
    }
    std::optional<Term> v = stepper_.step(u);
    if (!v) return finish(u);
    if (v->is_var()) return finish(*v);
    if (const Term* known = lookup(*v)) return finish(*known);
    top.term = std::move(*v);
    top.next = 0;
    same_nf_.push_back(top.term);
  }

  // The top frame's term with its arguments replaced by their normal forms.
  Term rebuilt(const Frame& top) {
    auto args = top.term.args();
    std::span<const Term> nfs(done_.data() + top.args_base, args.size());
    bool same = true;
    for (size_t i = 0; i < args.size() && same; ++i) same = nfs[i] == args[i];
    Term u = same ? top.term : Terms::app(top.term.name(), nfs);
    done_.resize(top.args_base);
    return u;
  }

  // Records n as the normal form of every term of the top frame and hands it to the parent.
  void finish(const Term& n) {
    Term result = n;  // n may live in the memo, which may be dropped below
    if (memo_.size() > memo_limit) memo_.clear();
    size_t base = stack_.back().same_nf_base;
    for (size_t i = base; i < same_nf_.size(); ++i) memo_.insert_or_assign(same_nf_[i], result);
    memo_.insert_or_assign(result, result);
    same_nf_.resize(base);
    stack_.pop_back();
    done_.push_back(std::move(result));
  }

  RootStepper stepper_;
  std::unordered_map<Term, Term, Terms::TermHash> memo_;
  std::vector<Frame> stack_;
  std::vector<Term> done_;
  std::vector<Term> same_nf_;
};

}  // namespace

std::optional<Term> rewrite(const std::vector<Rule>& rules, const Term& t) {
  if (t.is_var()) {
    for (const Rule& r : rules)
      if (auto sigma = Terms::match_with(r.lhs, t)) return Terms::lift(*sigma, r.rhs);
    return std::nullopt;
  }
  return RootStepper(rules).step(t);
}

Term norm(const std::vector<Rule>& rules, const Term& t) {
  if (t.is_var() || rules.empty()) return t;
  return Normalizer(rules).run(t);
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
