#include "completion/huet.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <cfloat>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "driver/debug.hpp"
#include "driver/prefs.hpp"
#include "io/print.hpp"

namespace {

using Huet::Equations;
using Huet::Rules;
using Terms::Rule;
using Terms::Term;

// Terms in the rendering syntax: an upper-case name ending in digits is a variable (X0 is X with
// suffix 0), everything else a symbol with optional arguments.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}
  Term term() {
    size_t start = pos_;
    while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])))) ++pos_;
    std::string name(text_.substr(start, pos_ - start));
    if (std::isupper(static_cast<unsigned char>(name[0]))) {
      size_t digits = name.find_first_of("0123456789");
      return Terms::var(name.substr(0, digits), std::stol(name.substr(digits)));
    }
    std::vector<Term> args;
    if (pos_ < text_.size() && text_[pos_] == '(') {
      do {
        ++pos_;
        args.push_back(term());
      } while (text_[pos_] == ',');
      ++pos_;  // ')'
    }
    return Terms::app(Terms::Name::intern(name), std::move(args));
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

Term t(std::string_view text) {
  return Reader(text).term();
}

// "l -> r" or "l = r".
Rule rule(std::string_view text) {
  size_t arrow = text.find(" -> ");
  size_t width = 4;
  if (arrow == std::string_view::npos) {
    arrow = text.find(" = ");
    width = 3;
  }
  return Rule{t(text.substr(0, arrow)), t(text.substr(arrow + width))};
}

Rules rules(std::initializer_list<const char*> texts) {
  Rules out;
  for (const char* text : texts) out.push_back(rule(text));
  return out;
}

std::vector<std::string> texts(const Rules& list) {
  std::vector<std::string> out;
  for (const Rule& r : list) out.push_back(Print::string_of_rule(r));
  return out;
}

// Equations rendered with their flag: "+ l = r" (fresh) or "- l = r" (stale).
std::vector<std::string> texts(const Equations& list) {
  std::vector<std::string> out;
  for (const auto& [e, stale] : list)
    out.push_back((stale ? "- " : "+ ") + Print::string_of_identity(e));
  return out;
}

Equations flagged(std::initializer_list<std::pair<const char*, bool>> entries) {
  Equations out;
  for (const auto& [text, stale] : entries) out.emplace_back(rule(text), stale);
  return out;
}

std::shared_ptr<Huet::RuleHeap> heap_of(const Rules& added) {
  auto h = std::make_shared<Huet::RuleHeap>(Huet::RuleHeap::create(32));
  for (const Rule& r : added) h->add(Huet::RuleEntry{r, r.lhs.size() + r.rhs.size()});
  return h;
}

Huet::Problem node(Equations equations, const Rules& unmarked, Rules marked = {},
                   Rules constraints = {}) {
  return Huet::Problem{std::move(equations), heap_of(unmarked), std::move(marked),
                       std::move(constraints)};
}

// Restores the settings and the queue a test changes.
class HuetTest : public ::testing::Test {
 protected:
  void TearDown() override {
    Debug::verbosity = Debug::Level::info;
    Prefs::detect_divergence = false;
    Prefs::max_exp_threshold = 10;
    Huet::open_problems.clear();
  }
};

TEST_F(HuetTest, StringOfId) {
  EXPECT_EQ(Huet::string_of_id({}), "[]");
  EXPECT_EQ(Huet::string_of_id({0}), "[0]");
  EXPECT_EQ(Huet::string_of_id({0, 1}), "[01]");
  EXPECT_EQ(Huet::string_of_id({0, 1, 1}), "[011]");
}

TEST_F(HuetTest, FloatsRenderLikePercentG) {
  const double zero = 0.0;
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.0, "0"},
      {0.5, "0.5"},
      {1073741823.0, "1.07374e+09"},
      {23.0, "23"},
      {1.6, "1.6"},
      {DBL_MAX, "1.79769e+308"},
      {HUGE_VAL, "inf"},
      {zero / zero, "nan"},
      {-(zero / zero), "nan"},
      {std::nan(""), "nan"},
  };
  for (const auto& c : cases) EXPECT_EQ(Huet::string_of_float(c.value), c.text) << c.text;
}

TEST_F(HuetTest, FlagConversionsReverse) {
  Equations list = flagged({{"a = b", true}, {"c = d", false}, {"e = f", true}});
  EXPECT_EQ(texts(Huet::refresh_flags(list)),
            (std::vector<std::string>{"+ e = f", "+ c = d", "+ a = b"}));
  std::vector<Terms::Equation> plain = Huet::strip_flags(list);
  EXPECT_EQ(texts(Rules(plain)), (std::vector<std::string>{"e -> f", "c -> d", "a -> b"}));
  EXPECT_EQ(texts(Huet::add_fresh_flags(plain)),
            (std::vector<std::string>{"+ a = b", "+ c = d", "+ e = f"}));
}

TEST_F(HuetTest, RulesOfProbListsTheHeapInReverseArrayOrderThenMarked) {
  // Added with sizes 3, 4, 3, 3: the array becomes [f(a), t(X0), k(a), g(X0)] (the last entry
  // climbs past g(X0), whose size 4 is larger, and stops below the equal f(a)).
  Huet::Problem p = node({}, rules({"f(a) -> c", "g(X0) -> h(a)", "k(a) -> d", "t(X0) -> a"}),
                         rules({"m -> n", "p -> q"}));
  EXPECT_EQ(texts(Huet::rules_of_prob(p)),
            (std::vector<std::string>{"g(X0) -> h(a)", "k(a) -> d", "t(X0) -> a", "f(a) -> c",
                                      "m -> n", "p -> q"}));
  EXPECT_EQ(Huet::problem_size(
                node(flagged({{"f(a) = b", true}}), rules({"g(X0) -> X0"}), rules({"a -> b"}))),
            3 + 3 + 2);
}

TEST_F(HuetTest, MaxExpMeasure) {
  const struct {
    const char* term;
    long measure;
  } cases[] = {
      {"X0", 0},          {"a", 1},           {"f(X0)", 1},      {"f(f(f(X0)))", 3},
      {"g(f(f(X0)))", 2}, {"f(X0,f(Y0))", 2}, {"f(g(f(a)))", 1}, {"f(a,f(b,f(c,X0)))", 3},
  };
  for (const auto& c : cases) EXPECT_EQ(Huet::max_exp_term(t(c.term)), c.measure) << c.term;
  EXPECT_EQ(Huet::max_exp_eqs({}), 0);
  EXPECT_EQ(Huet::max_exp_eqs(rules({"X0 -> Y0"})), 0);
  EXPECT_EQ(Huet::max_exp_eqs(rules({"a -> f(f(X0))", "g(g(g(X0))) -> b"})), 3);
}

TEST_F(HuetTest, CostOfStaleNode) {
  Huet::Problem p = node(flagged({{"f(X0) = g(X0)", false}, {"a = b", true}}),
                         rules({"f(f(X0)) -> g(X0)"}), {}, rules({"c -> d"}));
  EXPECT_EQ(Huet::problem_cost(p, Huet::BranchInfo{}), 1073741823.0);
}

TEST_F(HuetTest, CostCountsNontrivialPairsEquationsAndConstraints) {
  // No rules: the equations and the constraints alone.
  EXPECT_EQ(Huet::problem_cost(
                node(flagged({{"f(X0) = g(X0)", false}}), {}, rules({"a -> b"}), rules({"c -> d"})),
                Huet::BranchInfo{}),
            4.0 + 2.0);
  // f(f(X0)) -> g(X0) overlaps itself at the root (trivial) and below it, giving
  // g(f(X0)) = f(g(X0)) (size 6); each of the three overlap computations finds it once.
  Huet::Problem p = node({}, rules({"f(f(X0)) -> g(X0)"}), {}, rules({"f(f(X0)) -> g(X0)"}));
  EXPECT_EQ(Huet::find_all_nontrivial_critical_pairs(p).size(), 3u);
  EXPECT_EQ(Huet::problem_cost(p, Huet::BranchInfo{}), 3 * 6.0 + 5.0);
  // A constraint that joins the pair makes it trivial.
  Huet::Problem joined =
      node({}, rules({"f(f(X0)) -> g(X0)"}), {}, rules({"g(f(X0)) -> f(g(X0))"}));
  EXPECT_EQ(Huet::problem_cost(joined, Huet::BranchInfo{}), 6.0);
}

TEST_F(HuetTest, DivergenceFactor) {
  // The marked rule nests f three deep; without penalty the cost is the equation's size, 2
  // (marked rules count only through critical pairs, and there are no unmarked ones).
  Huet::Problem p = node(flagged({{"a = b", false}}), {}, rules({"f(f(f(X0))) -> a"}));
  Prefs::detect_divergence = true;
  const struct {
    long threshold;
    double cost;
  } cases[] = {{4, 2.0}, {3, 2.0 * 1.2}, {1, 2.0 * 1.6}, {0, 2.0 * 1.8}};
  for (const auto& c : cases) {
    Prefs::max_exp_threshold = c.threshold;
    EXPECT_DOUBLE_EQ(Huet::problem_cost(p, Huet::BranchInfo{}), c.cost) << c.threshold;
  }
  Prefs::max_exp_threshold = 1;
  Debug::verbosity = Debug::Level::trace;
  testing::internal::CaptureStderr();
  Huet::problem_cost(p, Huet::BranchInfo{{0, 1}, 1, 0.0, 0.0});
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "[01]: multiplying cost by 1.6\n");
}

TEST_F(HuetTest, QueueOrder) {
  auto entry = [](double cost) { return Huet::OpenProblem{cost, {}, node({}, {})}; };
  const double zero = 0.0;
  EXPECT_EQ(Huet::compare(entry(1), entry(2)), 1);
  EXPECT_EQ(Huet::compare(entry(2), entry(1)), -1);
  EXPECT_EQ(Huet::compare(entry(2), entry(2)), 0);
  EXPECT_EQ(Huet::compare(entry(zero / zero), entry(1)), 0);
}

TEST_F(HuetTest, CheckpointAndBacktrackLines) {
  Debug::verbosity = Debug::Level::debug;
  Huet::open_problems.clear();
  Huet::BranchInfo info{{1}, 3, 0.5, 0.25};
  testing::internal::CaptureStderr();
  Huet::checkpoint(info, node(flagged({{"a = b", false}}), {}, {}, rules({"c -> d"})));
  Huet::checkpoint(info, node(flagged({{"a = b", true}}), {}));
  std::string lines = testing::internal::GetCapturedStderr();
  std::string num = std::to_string(Huet::num_splits);
  EXPECT_EQ(lines, "[1]: Checkpoint (size=2, time=0.5, max=0.25, num=" + num +
                       ", cost=4, pending=1, min=0)\n"
                       "[1]: Checkpoint (size=2, time=0.5, max=0.25, num=" +
                       num + ", cost=1.07374e+09, pending=1, min=4)\n");
  EXPECT_EQ(Huet::open_problems.count(), 2);
  EXPECT_EQ(Huet::open_problems.peek().cost, 4.0);
  testing::internal::CaptureStderr();
  EXPECT_THROW(Huet::backtrack({0, 0}), Huet::FAIL);
  EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("[00]: Backtrack (orientations=", 0), 0u);
}

TEST_F(HuetTest, AddConstraint) {
  const struct {
    const char* what;
    Rules constraints;
    const char* added;
    std::vector<std::string> result;
  } cases[] = {
      {"canonical form, right side numbered first", {}, "f(Y0,Z0) -> Z0", {"f(X1,X0) -> X0"}},
      {"kept constraints reversed, new one last",
       rules({"g(X0) -> X0", "h(X0) -> X0"}),
       "k(a) -> a",
       {"h(X0) -> X0", "g(X0) -> X0", "k(a) -> a"}},
      {"a more general rule drops its instances",
       rules({"f(a) -> a", "g(X0) -> X0", "f(b) -> b"}),
       "f(Y3) -> Y3",
       {"g(X0) -> X0", "f(X0) -> X0"}},
      {"an instance of a constraint changes nothing",
       rules({"g(X0) -> X0", "f(X0) -> X0"}),
       "f(a) -> a",
       {"g(X0) -> X0", "f(X0) -> X0"}},
      {"equal up to renaming changes nothing",
       rules({"g(X0) -> X0", "f(X1,X0) -> X0"}),
       "f(U0,V0) -> V0",
       {"g(X0) -> X0", "f(X1,X0) -> X0"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(texts(Huet::add_constraint(rule(c.added), c.constraints)), c.result) << c.what;
  }
}

TEST_F(HuetTest, CloneHeapIsIndependent) {
  auto h = heap_of(rules({"a -> b", "f(a) -> b"}));
  auto copy = Huet::clone_heap(*h);
  h->add(Huet::RuleEntry{rule("c -> d"), 2});
  copy->remove();
  EXPECT_EQ(h->count(), 3);
  EXPECT_EQ(copy->count(), 1);
  EXPECT_EQ(Print::string_of_rule(copy->peek().rule), "f(a) -> b");
  EXPECT_EQ(Huet::clone_heap(*heap_of({}))->count(), 0);
}

TEST_F(HuetTest, SimplifyResultOrders) {
  // Unmarked, added in this order with sizes 3, 4, 3, 3; removed f(a), t(X0), k(a), g(X0).
  // The new rule a -> b collapses f(a) and k(a) and composes t(X0) and g(X0).
  auto unmarked = heap_of(rules({"f(a) -> c", "g(X0) -> h(a)", "k(a) -> d", "t(X0) -> a"}));
  Rules marked = rules({"p(a) -> e", "m(X0) -> n(a)", "s(a,a) -> e", "r(X0) -> a"});
  Equations pending = flagged({{"u = v", true}, {"w = z", false}});
  auto [equations, new_marked] = Huet::simplify(t("a"), t("b"), pending, *unmarked, marked);
  EXPECT_EQ(texts(equations), (std::vector<std::string>{"+ s(b,b) = e", "+ p(b) = e", "+ k(b) = d",
                                                        "+ f(b) = c", "+ w = z", "+ u = v"}));
  EXPECT_EQ(texts(new_marked), (std::vector<std::string>{"r(X0) -> b", "m(X0) -> n(b)"}));
  // Re-added from the last removed: g(X0) -> h(b) (size 4), then t(X0) -> b (size 3) climbs.
  EXPECT_EQ(Print::string_of_rule(unmarked->peek().rule), "t(X0) -> b");
  Huet::Problem after{equations, unmarked, new_marked, {}};
  EXPECT_EQ(
      texts(Huet::rules_of_prob(after)),
      (std::vector<std::string>{"g(X0) -> h(b)", "t(X0) -> b", "r(X0) -> b", "m(X0) -> n(b)"}));
  EXPECT_EQ(unmarked->fold([](const Huet::RuleEntry& e, long acc) { return acc + e.size; }, 0L), 7);
}

TEST_F(HuetTest, SimplifyComposesWithTheOldRules) {
  // The right side of g(X0) -> c(X0) is normalized with a -> b followed by the old rules, so
  // c(X0) -> d(X0) (old, unmarked) applies.
  auto unmarked = heap_of(rules({"c(X0) -> d(X0)"}));
  auto [equations, marked] =
      Huet::simplify(t("a"), t("b"), {}, *unmarked, rules({"g(X0) -> c(a)"}));
  EXPECT_TRUE(equations.empty());
  EXPECT_EQ(texts(marked), (std::vector<std::string>{"g(X0) -> d(b)"}));
  auto [none, nothing] =
      Huet::simplify(t("a"), t("b"), flagged({{"x = y", true}}), *heap_of({}), {});
  EXPECT_EQ(texts(none), (std::vector<std::string>{"+ x = y"}));
  EXPECT_TRUE(nothing.empty());
}

TEST_F(HuetTest, ChooseRuleTakesTheSmallest) {
  auto unmarked = heap_of(rules({"f(a) -> b", "a -> b", "c -> d"}));
  EXPECT_EQ(Print::string_of_rule(Huet::choose_rule(*unmarked)), "a -> b");
  EXPECT_EQ(Print::string_of_rule(Huet::choose_rule(*unmarked)), "c -> d");
  EXPECT_EQ(unmarked->count(), 1);
}

TEST_F(HuetTest, ChooseSmallestTies) {
  // Sizes 4, 3, 3, 2, 2: the first of the equal smallest wins; the passed-over entries come
  // back last passed first.
  auto [best, others] = Huet::choose_smallest(flagged({{"f(a) = f(b)", false},
                                                       {"f(a) = b", false},
                                                       {"g(a) = c", false},
                                                       {"b = c", false},
                                                       {"d = e", false}}));
  EXPECT_EQ(Print::string_of_identity(best.first), "b = c");
  EXPECT_EQ(texts(others),
            (std::vector<std::string>{"+ d = e", "+ f(a) = b", "+ g(a) = c", "+ f(a) = f(b)"}));
  EXPECT_THROW(Huet::choose_smallest({}), Huet::FAIL);
}

TEST_F(HuetTest, ChooseSmallestFreshPutsStaleEntriesLast) {
  auto [best, others] = Huet::choose_smallest_fresh(flagged({{"s = t", true},
                                                             {"f(a) = b", false},
                                                             {"u = v", true},
                                                             {"c = d", false},
                                                             {"g(c) = d", false}}));
  EXPECT_EQ(Print::string_of_identity(best.first), "c = d");
  EXPECT_FALSE(best.second);
  EXPECT_EQ(texts(others),
            (std::vector<std::string>{"+ g(c) = d", "+ f(a) = b", "- s = t", "- u = v"}));
  EXPECT_THROW(Huet::choose_smallest_fresh(flagged({{"a = b", true}})), Huet::FAIL);
}

TEST_F(HuetTest, ShowStatusListing) {
  Debug::verbosity = Debug::Level::debug;
  Huet::Problem p =
      node(flagged({{"a = b", true}, {"c = d", false}}),
           rules({"f(a) -> c", "g(X0) -> h(a)", "k(a) -> d"}), rules({"m -> n", "p -> q"}));
  testing::internal::CaptureStderr();
  Huet::show_status(p, Huet::BranchInfo{{0}, 1, 0, 0}, Debug::Level::debug);
  Huet::show_status(p, Huet::BranchInfo{}, Debug::Level::trace);
  Huet::show_status(node({}, {}), Huet::BranchInfo{}, Debug::Level::debug);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "[0]: State (size=18, cost=1.07374e+09)\n"
            "+ c = d\n"
            "- a = b\n"
            "  k(a) -> d\n"
            "  g(X0) -> h(a)\n"
            "  f(a) -> c\n"
            ". m -> n\n"
            ". p -> q\n"
            "[]: State (size=0, cost=0)\n");
}

}  // namespace
