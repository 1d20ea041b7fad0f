// Bottom-up rebuilding of a term, shared by substitution, renaming and canonical numbering.
//
// The image of a term is built from the images of its variables: `leaf(v)` gives the image of a
// variable occurrence, and subterms for which `keep(t)` holds are taken unchanged (typically ground
// subterms, which no variable map can change).  Variables are met left to right, depth first, so
// a leaf function may number them in order of first occurrence.  An application whose arguments
// all come back unchanged is reused as it is, which saves a hash-consing lookup.  Shallow terms
// are walked recursively; deep ones with an explicit stack, so that terms nested thousands deep
// cannot exhaust the call stack.
#pragma once

#include <span>
#include <vector>

#include "terms/terms.hpp"

namespace Terms::Detail {

// Depth up to which the recursive walk is used.
inline constexpr long rebuild_recursion_limit = 256;

template <class Leaf, class Keep>
Term rebuild_recursive(const Term& t, Leaf& leaf, Keep& keep) {
  if (keep(t)) return t;
  if (t.is_var()) return leaf(t);
  auto args = t.args();
  std::vector<Term> images;
  images.reserve(args.size());
  bool same = true;
  for (const Term& a : args) {
    images.push_back(rebuild_recursive(a, leaf, keep));
    same = same && images.back() == a;
  }
  return same ? t : app(t.name(), std::move(images));
}

template <class Leaf, class Keep>
Term rebuild_iterative(const Term& t, Leaf& leaf, Keep& keep) {
  struct Frame {
    const Term* term;
    size_t next;  // next argument to visit
    size_t base;  // where the argument images start in `done`
  };
  std::vector<Frame> stack{{&t, 0, 0}};
  std::vector<Term> done;
  while (!stack.empty()) {
    Frame& top = stack.back();
    auto args = top.term->args();
    if (top.next < args.size()) {
      const Term& a = args[top.next++];
      if (keep(a)) {
        done.push_back(a);
      } else if (a.is_var()) {
        done.push_back(leaf(a));
      } else {
        stack.push_back({&a, 0, done.size()});
      }
      continue;
    }
    std::span<const Term> images(done.data() + top.base, args.size());
    bool same = true;
    for (size_t i = 0; i < args.size() && same; ++i) same = images[i] == args[i];
    Term image = same ? *top.term : app(top.term->name(), images);
    done.resize(top.base);
    stack.pop_back();
    done.push_back(std::move(image));
  }
  return done.back();
}

// needs: leaf maps a variable term to a term; keep is a predicate on terms.
// returns: t with every variable occurrence outside kept subterms replaced by its leaf image.
template <class Leaf, class Keep>
Term rebuild(const Term& t, Leaf&& leaf, Keep&& keep) {
  if (keep(t)) return t;
  if (t.is_var()) return leaf(t);
  if (t.depth() <= rebuild_recursion_limit) return rebuild_recursive(t, leaf, keep);
  return rebuild_iterative(t, leaf, keep);
}

}  // namespace Terms::Detail
