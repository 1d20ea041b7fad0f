#include "completion/heap.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Integers, the greatest on top.
struct ByValue {
  int operator()(int a, int b) const { return a - b; }
};
using IntHeap = Heap::Imperative<int, ByValue>;

// (key, tag) pairs ordered by key alone, the smallest on top like the rule
// heap; the tag tells equal keys apart.
struct Entry {
  int key;
  char tag;
};
struct SmallestKey {
  int operator()(const Entry& a, const Entry& b) const { return b.key - a.key; }
};
using EntryHeap = Heap::Imperative<Entry, SmallestKey>;

std::vector<int> array_order(const IntHeap& h) {
  auto acc = h.fold(
      [](int x, std::vector<int> v) {
        v.push_back(x);
        return v;
      },
      std::vector<int>());
  return acc;
}

std::vector<int> drain(IntHeap& h) {
  std::vector<int> out;
  while (!h.is_empty()) {
    out.push_back(h.peek());
    h.remove();
  }
  return out;
}

std::string drain_tags(EntryHeap& h) {
  std::string out;
  while (!h.is_empty()) {
    out.push_back(h.peek().tag);
    h.remove();
  }
  return out;
}

IntHeap filled(const std::vector<int>& values, long capacity = 1) {
  IntHeap h = IntHeap::create(capacity);
  for (int v : values) h.add(v);
  return h;
}

struct LayoutCase {
  const char* what;
  std::vector<int> added;
  std::vector<int> array;    // the layout fold walks
  std::vector<int> removed;  // peek/remove order
};

TEST(HeapTest, SiftAndFoldOrder) {
  const LayoutCase cases[] = {
      {"three values", {3, 1, 2}, {3, 1, 2}, {3, 2, 1}},
      {"ascending", {1, 2, 3}, {3, 1, 2}, {3, 2, 1}},
      {"climb to the root", {1, 2, 3, 4, 5}, {5, 4, 2, 1, 3}, {5, 4, 3, 2, 1}},
      {"duplicates", {2, 2, 1, 2}, {2, 2, 1, 2}, {2, 2, 2, 1}},
      {"single", {7}, {7}, {7}},
  };
  for (const auto& c : cases) {
    IntHeap h = filled(c.added);
    EXPECT_EQ(array_order(h), c.array) << c.what;
    EXPECT_EQ(drain(h), c.removed) << c.what;
  }
}

TEST(HeapTest, LayoutAfterRemove) {
  // 5 4 2 1 3: removing 5 sinks the last element 3 from the root: the greater
  // child 4 moves up, then 3 stays above 1.
  IntHeap h = filled({1, 2, 3, 4, 5});
  h.remove();
  EXPECT_EQ(array_order(h), (std::vector<int>{4, 3, 2, 1}));
}

TEST(HeapTest, EqualPrioritiesKeepTheEarlierOnTop) {
  struct Case {
    const char* what;
    std::vector<Entry> added;
    std::string removed;
  };
  const Case cases[] = {
      // The climb stops at an equal parent.
      {"two equal", {{1, 'a'}, {1, 'b'}}, "ab"},
      // After removing a, the last entry c sinks from the root; its children b
      // and d tie and the
      // left one, b, moves up only because it is strictly smaller than c.
      {"equal children: left moves up", {{1, 'a'}, {2, 'b'}, {2, 'd'}, {3, 'c'}}, "abdc"},
      // The sinking entry ties with its smaller child: it stays on top.
      {"sinking entry wins ties", {{0, 'a'}, {1, 'b'}, {2, 'c'}, {1, 'd'}}, "adbc"},
      {"smallest first", {{3, 'c'}, {1, 'a'}, {2, 'b'}}, "abc"},
  };
  for (const auto& c : cases) {
    EntryHeap h = EntryHeap::create(4);
    for (const Entry& e : c.added) h.add(e);
    EXPECT_EQ(drain_tags(h), c.removed) << c.what;
  }
}

TEST(HeapTest, GrowthDoublesFromTheCreatedCapacity) {
  struct Case {
    long created;
    int adds;
    std::vector<long> capacities;  // after each add
  };
  const Case cases[] = {
      {1, 3, {1, 2, 4}},
      {1, 5, {1, 2, 4, 4, 8}},
      {3, 4, {3, 3, 3, 6}},
  };
  for (const auto& c : cases) {
    IntHeap h = IntHeap::create(c.created);
    EXPECT_EQ(h.capacity(), 0);
    EXPECT_EQ(h.fill(), -c.created);
    std::vector<long> seen;
    for (int i = 0; i < c.adds; ++i) {
      h.add(i);
      seen.push_back(h.capacity());
    }
    EXPECT_EQ(seen, c.capacities) << "created " << c.created;
  }
}

TEST(HeapTest, CreateRefusesCapacityBelowOne) {
  for (long n : {0L, -1L, -16L}) {
    try {
      IntHeap::create(n);
      ADD_FAILURE() << n;
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "create");
    }
  }
}

TEST(HeapTest, EmptyHeapErrors) {
  IntHeap h = IntHeap::create(2);
  EXPECT_TRUE(h.is_empty());
  EXPECT_THROW(h.peek(), Heap::EmptyHeap);
  EXPECT_THROW(h.remove(), Heap::EmptyHeap);
  EXPECT_EQ(Heap::EmptyHeap().description(), "Heap.EmptyHeap");
  h.add(4);
  h.remove();
  EXPECT_TRUE(h.is_empty());
  EXPECT_EQ(h.fill(), 0);
  EXPECT_EQ(h.count(), 0);
  EXPECT_THROW(h.remove(), Heap::EmptyHeap);
  EXPECT_EQ(h.fill(), 0);
  EXPECT_EQ(h.fold([](int x, int acc) { return acc + x; }, 10), 10);
}

TEST(HeapTest, ClearAndSize) {
  IntHeap h = filled({1, 2, 3});
  EXPECT_EQ(h.size(), 3);
  h.clear();
  EXPECT_TRUE(h.is_empty());
  EXPECT_EQ(h.fill(), -1);
  EXPECT_EQ(h.count(), 0);
  EXPECT_EQ(h.size(), 1);
  h.add(9);
  EXPECT_EQ(h.capacity(), 1);
  EXPECT_EQ(h.peek(), 9);
  EXPECT_EQ(IntHeap::create(5).size(), 1);
}

TEST(HeapTest, CopiesEvolveIndependently) {
  IntHeap h = filled({1, 2, 3});
  IntHeap copy = IntHeap::create(h.size());
  copy.load(h.dump());
  h.add(10);
  copy.add(0);
  copy.remove();
  EXPECT_EQ(array_order(h), (std::vector<int>{10, 3, 2, 1}));
  EXPECT_EQ(array_order(copy), (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(drain(h), (std::vector<int>{10, 3, 2, 1}));
  EXPECT_EQ(drain(copy), (std::vector<int>{2, 1, 0}));
}

TEST(HeapTest, DumpSharesTheArray) {
  IntHeap h = filled({1, 2});
  auto state = h.dump();
  EXPECT_EQ(state.fill, 2);
  EXPECT_EQ(state.count, 2);
  h.remove();
  h.add(5);  // rewrites the shared array in place
  EXPECT_EQ(*(*state.slots)[0], 5);
}

}  // namespace
