// Conjecture decision and its report blocks.
#include "terms/conjectures.hpp"

#include <gtest/gtest.h>

#include "driver/debug.hpp"
#include "tests/unit/term_text.hpp"

namespace {

using Conjectures::Conjecture;
using TermText::rules;
using TermText::term;

Conjecture conj(bool positive, const char* s, const char* t) {
  return {positive, {term(s), term(t)}};
}

std::string block(const char* verdict, const char* middle) {
  return std::string(verdict) + "\n" + middle + "\n**************************\n";
}

const char* const kTrue = "**** CONJECTURE: TRUE ****";
const char* const kFalse = "**** CONJECTURE: FALSE ***";

class ConjecturesTest : public testing::Test {
 protected:
  void SetUp() override { Debug::verbosity = Debug::Level::quiet; }
  void TearDown() override { Debug::verbosity = Debug::Level::info; }

  static std::string decide(const std::vector<Terms::Rule>& rs, const Conjecture& c) {
    testing::internal::CaptureStderr();
    Conjectures::decide_conjecture(rs, c);
    return testing::internal::GetCapturedStderr();
  }

  // The output of a semi-decision; the conjectures left open go to open.
  static std::string semidecide(const std::vector<Terms::Rule>& rs,
                                const std::vector<Conjecture>& cs, std::vector<Conjecture>& open) {
    testing::internal::CaptureStderr();
    open = Conjectures::semidecide_conjectures(rs, cs);
    return testing::internal::GetCapturedStderr();
  }
};

TEST_F(ConjecturesTest, Decide) {
  const struct {
    std::vector<Terms::Rule> rules;
    Conjecture conjecture;
    std::string report;
  } cases[] = {
      {{}, conj(true, "a", "a"), block(kTrue, "a -->! a = a !<-- a")},
      {{}, conj(true, "a", "b"), block(kFalse, "a -->! a != b !<-- b")},
      {{}, conj(false, "a", "b"), block(kTrue, "a -->! a != b !<-- b")},
      {{}, conj(false, "a", "a"), block(kFalse, "a -->! a = a !<-- a")},
      {rules({"f(X0) -> b", "g(X0) -> b"}), conj(true, "f(a)", "g(c)"),
       block(kTrue, "f(a) -->! b = b !<-- g(c)")},
      {rules({"f(X0) -> X0"}), conj(false, "f(X0)", "Y0"),
       block(kTrue, "f(X0) -->! X0 != Y0 !<-- Y0")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.report);
    EXPECT_EQ(decide(c.rules, c.conjecture), c.report);
  }
}

TEST_F(ConjecturesTest, SemidecideReportsAndDropsOnlyEqualNormalForms) {
  std::vector<Conjecture> open;
  auto rs = rules({"f(X0) -> X0"});
  std::vector<Conjecture> cs{conj(true, "a", "b"), conj(true, "f(a)", "a"), conj(false, "c", "d"),
                             conj(false, "f(c)", "c"), conj(true, "X0", "Y0")};
  EXPECT_EQ(semidecide(rs, cs, open),
            block(kTrue, "f(a) -->! a = a !<-- a") + block(kFalse, "f(c) -->! c = c !<-- c"));
  ASSERT_EQ(open.size(), 3u);
  EXPECT_EQ(open[0].equation, cs[0].equation);
  EXPECT_EQ(open[1].equation, cs[2].equation);
  EXPECT_FALSE(open[1].positive);
  EXPECT_EQ(open[2].equation, cs[4].equation);
}

TEST_F(ConjecturesTest, SemidecideWithNothingLeft) {
  std::vector<Conjecture> open{conj(true, "z", "z")};
  EXPECT_EQ(semidecide({}, {conj(true, "a", "a")}, open), block(kTrue, "a -->! a = a !<-- a"));
  EXPECT_TRUE(open.empty());
  EXPECT_EQ(semidecide({}, {}, open), "");
  EXPECT_TRUE(open.empty());
}

}  // namespace
