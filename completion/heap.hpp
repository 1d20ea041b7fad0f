// A mutable binary heap laid out in a growable array (module Heap).
//
// The element at position i has its children at 2i+1 and 2i+2.  The comparison returns a
// positive number when its first argument has the higher priority; the element that compares
// greatest sits on top.  The sift rules are fixed because the completion engine's search order
// depends on them: an element climbs only past parents of strictly lower priority (so it stays
// below an equal one), and sifting down takes the right child only when it compares strictly
// greater than the left one and moves a child up only when it compares strictly greater than the
// sinking element.  fold walks the array, not the priority order.
//
// Storage is allocated lazily: a heap created with capacity n (or cleared, capacity 1) holds a
// negative fill of -n until the first add, and grows by doubling when full.  Positions at or
// beyond fill are empty (they release their elements at once).
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "driver/failure.hpp"

namespace Heap {

// peek or remove on an empty heap.
struct EmptyHeap : Korvath::Error {
  std::string description() const override { return "Heap.EmptyHeap"; }
};

template <class Element, class Compare>
class Imperative {
 public:
  using Slots = std::vector<std::optional<Element>>;
  // A saved state as dump returns it: the array is shared with the heap, not copied.
  struct State {
    long fill;
    long count;
    std::shared_ptr<Slots> slots;
  };

  // An empty heap that allocates capacity n at its first add.  Needs n >= 1; otherwise throws
  // std::invalid_argument("create").
  static Imperative create(long n, Compare compare = Compare()) {
    if (n < 1) throw std::invalid_argument("create");
    return Imperative(n, std::move(compare));
  }

  // A heap is copied only through create, dump and load, never implicitly (a plain copy would
  // share the array).
  Imperative(const Imperative&) = delete;
  Imperative& operator=(const Imperative&) = delete;
  Imperative(Imperative&&) = default;
  Imperative& operator=(Imperative&&) = default;

  // Takes fill and count from state and a fresh copy of its array.
  void load(const State& state) {
    fill_ = state.fill;
    count_ = state.count;
    slots_ = std::make_shared<Slots>(state.slots ? *state.slots : Slots());
  }
  State dump() const { return State{fill_, count_, slots_}; }

  void clear() {
    fill_ = -1;
    count_ = 0;
    slots_ = std::make_shared<Slots>();
  }
  bool is_empty() const { return fill_ <= 0; }

  void add(const Element& x) {
    if (fill_ < 0) {
      slots_ = std::make_shared<Slots>(static_cast<size_t>(-fill_));
      fill_ = 0;
    }
    if (fill_ == static_cast<long>(slots_->size())) resize();
    move_up(fill_, x);
    ++fill_;
    ++count_;
  }

  // The top element.  Throws EmptyHeap when empty.
  const Element& peek() const {
    if (fill_ <= 0) throw EmptyHeap();
    return *(*slots_)[0];
  }

  // Deletes the top element.  Throws EmptyHeap when empty.
  void remove() {
    if (fill_ <= 0) throw EmptyHeap();
    --fill_;
    --count_;
    Slots& s = *slots_;
    Element last = std::move(*s[fill_]);
    s[fill_].reset();
    if (fill_ > 0) move_down(std::move(last));
  }

  // Threads acc through f(element, acc) for every element in array order.
  template <class F, class A>
  A fold(F&& f, A acc) const {
    for (long i = 0; i < fill_; ++i) acc = f(*(*slots_)[i], std::move(acc));
    return acc;
  }

  // The number of elements, but at least 1 (always a capacity create accepts).
  long size() const { return count_ > 1 ? count_ : 1; }

  long fill() const { return fill_; }
  long count() const { return count_; }
  // The length of the array (0 until the first add).
  long capacity() const { return static_cast<long>(slots_->size()); }

 private:
  Imperative(long n, Compare compare)
      : compare_(std::move(compare)), fill_(-n), slots_(std::make_shared<Slots>()) {}

  // Doubles the array; only called on a full, allocated array.
  void resize() {
    if (fill_ <= 0) throw std::logic_error("Heap.resize");
    auto bigger = std::make_shared<Slots>(static_cast<size_t>(2 * fill_));
    for (long i = 0; i < fill_; ++i) (*bigger)[i] = std::move((*slots_)[i]);
    slots_ = std::move(bigger);
  }

  void move_up(long i, const Element& x) {
    Slots& s = *slots_;
    while (i > 0) {
      long parent = (i - 1) / 2;
      if (compare_(*s[parent], x) >= 0) break;
      s[i] = std::move(s[parent]);
      i = parent;
    }
    s[i] = x;
  }

  // Sinks x from the root into the first fill_ positions.
  void move_down(Element x) {
    Slots& s = *slots_;
    long i = 0;
    for (;;) {
      long j = 2 * i + 1;
      if (j >= fill_) break;
      if (j + 1 < fill_ && compare_(*s[j + 1], *s[j]) > 0) ++j;
      if (compare_(*s[j], x) <= 0) break;
      s[i] = std::move(s[j]);
      i = j;
    }
    s[i] = std::move(x);
  }

  Compare compare_;
  long fill_;
  std::shared_ptr<Slots> slots_;
  long count_ = 0;
};

}  // namespace Heap
