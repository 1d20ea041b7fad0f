// Orientation of equations: each outcome of the syntactic pre-test, the cache before the prover
// (non-terminating first), the questions asked and their order, the times, the registrations,
// and the axiom table with its filter.
#include "termination/orient.hpp"

#include <gtest/gtest.h>

#include <limits>

#include "driver/failure.hpp"
#include "fake_provers.hpp"
#include "termination/learning.hpp"

namespace {

using FakeProvers::fake_prover;
using FakeProvers::read_file;
using Orient::Orientation;
using Terms::app;
using Terms::Rule;
using Terms::Term;

constexpr double kUntested = std::numeric_limits<double>::max();

Term x() {
  return Terms::var("X", 0);
}
Term y() {
  return Terms::var("Y", 0);
}
Term f(const char* symbol, std::initializer_list<Term> args) {
  return app(symbol, args);
}

class Orienting : public ::testing::Test {
 protected:
  void SetUp() override {
    Checker::use_aprove();
    use_prover("");
  }

  // The fake prover answers from table (entries "= VERDICT" then rule lines) and otherwise
  // with default_verdict; it logs what it receives.
  void use_prover(const std::string& table, const std::string& default_verdict = "MAYBE") {
    FakeProvers::write_file(dir.file("table"), table);
    Checker::aprove_command = fake_prover("--table " + dir.file("table") + " --default " +
                                          default_verdict + " --log " + dir.file("log"));
  }
  std::string log() { return read_file(dir.file("log")); }

  // orient_all, also checking that it raises orientations by 2.
  Orient::OrientationResult orient(const Term& l, const Term& r,
                                   const std::vector<Rule>& rules = {}) {
    const long before = Checker::orientations;
    Orient::OrientationResult result = Orient::orient_all({l, r}, rules);
    EXPECT_EQ(Checker::orientations, before + 2);
    return result;
  }

  FakeProvers::Settings settings;
  FakeProvers::EmptyCache cache;
  FakeProvers::TempDir dir;
};

bool finite(double seconds) {
  return seconds >= 0.0 && seconds < kUntested;
}

TEST_F(Orienting, EqualSidesGiveNeitherWithoutAQuestion) {
  const long calls = Checker::checker_calls;
  const Orient::OrientationResult result = orient(f("f", {x()}), f("f", {x()}));
  EXPECT_EQ(result.orientation, Orientation::NEITHER);
  EXPECT_EQ(result.lr_seconds, kUntested);
  EXPECT_EQ(result.rl_seconds, kUntested);
  EXPECT_EQ(Checker::checker_calls, calls);
  EXPECT_TRUE(Learning::recall_nonterminating_trs({{f("f", {y()}), f("f", {y()})}}));
  EXPECT_EQ(Learning::nonterminating_store.size(), 1u);
}

TEST_F(Orienting, TwoVariablesGiveNeitherAndRegisterBothDirections) {
  const long calls = Checker::checker_calls;
  EXPECT_EQ(orient(x(), y()).orientation, Orientation::NEITHER);
  EXPECT_EQ(Checker::checker_calls, calls);
  EXPECT_TRUE(Learning::recall_nonterminating_trs({{y(), x()}}));
  // Each side of a permutative equation is an instance of the other.
  const Term gxy = f("g", {x(), y()}), gyx = f("g", {y(), x()});
  EXPECT_EQ(orient(gxy, gyx).orientation, Orientation::NEITHER);
  EXPECT_EQ(Checker::checker_calls, calls);
  EXPECT_TRUE(Learning::recall_nonterminating_trs({{gyx, gxy}}));
}

TEST_F(Orienting, ASideThatIsAVariableOfTheOtherLeavesOnlyTheShrinkingRule) {
  use_prover("", "YES");
  const Orient::OrientationResult lr = orient(f("f", {x()}), x());
  EXPECT_EQ(lr.orientation, Orientation::LR);
  EXPECT_TRUE(finite(lr.lr_seconds));
  EXPECT_EQ(lr.rl_seconds, kUntested);
  EXPECT_TRUE(Learning::recall_nonterminating_trs({{x(), f("f", {x()})}}));
  EXPECT_EQ(log(), "(VAR X0)\n(RULES \nf(X0) -> X0)\n.\n");

  const Orient::OrientationResult rl = orient(x(), f("g", {x()}));
  EXPECT_EQ(rl.orientation, Orientation::RL);
  EXPECT_EQ(rl.lr_seconds, kUntested);
  EXPECT_TRUE(finite(rl.rl_seconds));
  EXPECT_TRUE(Learning::recall_nonterminating_trs({{x(), f("g", {x()})}}));
}

TEST_F(Orienting, TheOneOpenDirectionFailsOnNoOrUnknown) {
  for (const char* verdict : {"NO", "MAYBE", "TIMEOUT"}) {
    use_prover("", verdict);
    const Orient::OrientationResult result = orient(f("f", {x()}), x());
    EXPECT_EQ(result.orientation, Orientation::NEITHER) << verdict;
    EXPECT_TRUE(finite(result.lr_seconds));
    EXPECT_EQ(result.rl_seconds, kUntested);
  }
}

TEST_F(Orienting, ARightSideContainingAnInstanceOfTheLeftLeavesOnlyRightToLeft) {
  use_prover("", "YES");
  // r = g(f(a)) contains f(a), an instance of l = f(X0); l does not contain an instance of r.
  const Term l = f("f", {x()}), r = f("g", {f("f", {Terms::constant("a")})});
  const Orient::OrientationResult result = orient(l, r);
  EXPECT_EQ(result.orientation, Orientation::RL);
  EXPECT_TRUE(Learning::recall_nonterminating_trs({{l, r}}));
  EXPECT_EQ(log(), "(VAR X0)\n(RULES \ng(f(a)) -> f(X0))\n.\n");
}

TEST_F(Orienting, VariableInclusionDecidesTheOpenDirection) {
  use_prover("", "YES");
  const Term fxy = f("f", {x(), y()}), gx = f("g", {x()});
  EXPECT_EQ(orient(fxy, gx).orientation, Orientation::LR);
  EXPECT_TRUE(Learning::recall_nonterminating_trs({{gx, fxy}}));
  EXPECT_EQ(orient(gx, fxy).orientation, Orientation::RL);
  const long calls = Checker::checker_calls;
  const Term hx = f("h", {x()}), ky = f("k", {y()});
  const Orient::OrientationResult neither = orient(hx, ky);
  EXPECT_EQ(neither.orientation, Orientation::NEITHER);
  EXPECT_EQ(neither.lr_seconds, kUntested);
  EXPECT_EQ(Checker::checker_calls, calls);
  EXPECT_TRUE(Learning::recall_nonterminating_trs({{hx, ky}}));
  EXPECT_TRUE(Learning::recall_nonterminating_trs({{ky, hx}}));
}

TEST_F(Orienting, BothDirectionsAreAskedLeftToRightFirstWithEveryVariableDeclared) {
  use_prover("= YES\nh(X0) -> k(X0)\na(Y0) -> b(Y0)\n\n= MAYBE\nk(X0) -> h(X0)\na(Y0) -> b(Y0)\n");
  const std::vector<Rule> rules = {{f("a", {y()}), f("b", {y()})}};
  const Orient::OrientationResult result = orient(f("h", {x()}), f("k", {x()}), rules);
  EXPECT_EQ(result.orientation, Orientation::LR);
  EXPECT_TRUE(finite(result.lr_seconds));
  EXPECT_TRUE(finite(result.rl_seconds));
  EXPECT_EQ(log(),
            "(VAR X0 Y0)\n(RULES \nh(X0) -> k(X0)\na(Y0) -> b(Y0))\n.\n"
            "(VAR X0 Y0)\n(RULES \nk(X0) -> h(X0)\na(Y0) -> b(Y0))\n.\n");
}

TEST_F(Orienting, BothOutcomesOfTwoOpenDirections) {
  const Term l = f("p", {x()}), r = f("q", {x()});
  const struct {
    const char* lr;
    const char* rl;
    Orientation outcome;
  } cases[] = {
      {"YES", "YES", Orientation::BOTH},
      {"YES", "NO", Orientation::LR},
      {"TIMEOUT", "YES", Orientation::RL},
      {"NO", "MAYBE", Orientation::NEITHER},
  };
  for (const auto& c : cases) {
    Learning::terminating_store.clear();
    Learning::nonterminating_store.clear();
    Aprove::shutdown();  // the next question starts a prover that reads the new table
    use_prover(std::string("= ") + c.lr + "\np(X0) -> q(X0)\n\n= " + c.rl + "\nq(X0) -> p(X0)\n");
    EXPECT_EQ(orient(l, r).orientation, c.outcome) << c.lr << " " << c.rl;
  }
}

TEST_F(Orienting, AListKnownToTerminateIsNotAskedAgain) {
  use_prover("", "YES");
  const Term l = f("p", {x()}), r = f("q", {x()});
  Learning::register_terminating_trs({{l, r}, {r, l}});  // both one-rule lists are subsets
  const long calls = Checker::checker_calls;
  Prefs::debug_learning = true;
  Debug::verbosity = Debug::Level::trace;
  FakeProvers::StderrCapture capture;
  EXPECT_EQ(orient(l, r).orientation, Orientation::BOTH);
  // No registration after a BOTH test.
  EXPECT_EQ(capture.text(), "Recall: terminating\nRecall: terminating\n");
  EXPECT_EQ(Checker::checker_calls, calls);
}

TEST_F(Orienting, TheOnlyOpenDirectionIsRegisteredAsTerminatingEvenFromTheCache) {
  const Term l = f("f", {x()});
  Learning::register_terminating_trs({{l, x()}});
  Prefs::debug_learning = true;
  Debug::verbosity = Debug::Level::trace;
  FakeProvers::StderrCapture capture;
  EXPECT_EQ(orient(l, x()).orientation, Orientation::LR);
  EXPECT_EQ(capture.text(),
            "[ Registering nonterminating TRS: X0 -> f(X0)\n nonterm subsumed=0, card=1 ]\n"
            "Recall: terminating\n"
            "[ Registering terminating TRS: f(X0) -> X0\n term subsumed=1, card=1 ]\n");
}

TEST_F(Orienting, TheNonTerminatingCacheIsConsultedFirst) {
  const Term l = f("f", {x()});
  Learning::register_terminating_trs({{l, x()}});
  Learning::register_nonterminating_trs({{l, x()}});
  const long calls = Checker::checker_calls;
  EXPECT_EQ(orient(l, x()).orientation, Orientation::NEITHER);
  EXPECT_EQ(Checker::checker_calls, calls);
}

TEST_F(Orienting, ARuleKnownNotToTerminateClosesEveryListContainingIt) {
  const Rule loop = {f("loop", {x()}), f("loop", {f("s", {x()})})};
  Learning::register_nonterminating_trs({loop});
  const long calls = Checker::checker_calls;
  EXPECT_EQ(orient(f("p", {x()}), f("q", {x()}), {loop}).orientation, Orientation::NEITHER);
  EXPECT_EQ(Checker::checker_calls, calls);
}

TEST_F(Orienting, APassFromTheProverRegistersTheList) {
  use_prover("", "YES");
  const std::vector<Rule> rules = {{f("a", {y()}), y()}};
  EXPECT_EQ(orient(f("f", {x()}), x(), rules).orientation, Orientation::LR);
  EXPECT_TRUE(Learning::recall_terminating_trs({{f("f", {x()}), x()}, {f("a", {y()}), y()}}));
}

TEST_F(Orienting, ProverFailuresPassThroughAndEarlierRegistrationsStay) {
  Checker::aprove_command = fake_prover("--default garbage");
  const Term l = f("f", {x()});
  try {
    orient(l, x());
    FAIL() << "no failure";
  } catch (const Korvath::Failure& e) {
    EXPECT_EQ(e.message(), "Error communicating with AProVE: responded with garbage");
  }
  EXPECT_TRUE(Learning::recall_nonterminating_trs({{x(), l}}));
}

// ---- the axiom table -------------------------------------------------------------------------

TEST(AxiomTable, AnExchangedAxiomIsRejected) {
  Orient::add_axiom({f("ax_f", {x()}), f("ax_g", {x()})});
  Orient::add_axiom({f("ax_f", {y()}), f("ax_g", {y()})});  // the same axiom again is fine
  try {
    Orient::add_axiom({f("ax_g", {y()}), f("ax_f", {y()})});
    FAIL() << "no failure";
  } catch (const Korvath::Failure& e) {
    EXPECT_EQ(e.message(), "Axiom already oriented");
  }
}

TEST(AxiomTable, TheExchangedPairIsNotCanonicalisedAgain) {
  // h(x,y) = k(y,x) is recorded as h(X1,X0) -> k(X0,X1); the exchanged axiom k(y,x) = h(x,y)
  // canonicalises to k(X1,X0) -> h(X0,X1), whose exchange is not in the table.
  Orient::add_axiom({f("ax_h", {x(), y()}), f("ax_k", {y(), x()})});
  EXPECT_NO_THROW(Orient::add_axiom({f("ax_k", {y(), x()}), f("ax_h", {x(), y()})}));
}

TEST(AxiomTable, TheFilterKeepsAnAxiomFromBeingTurnedAround) {
  Orient::add_axiom({f("fl_a", {x()}), f("fl_b", {x()})});
  const Terms::Equation as_written = {f("fl_a", {y()}), f("fl_b", {y()})};
  const Terms::Equation reversed = {as_written.rhs, as_written.lhs};
  const Terms::Equation other = {f("fl_c", {y()}), f("fl_d", {y()})};
  const struct {
    Terms::Equation e;
    Orientation candidate, result;
  } cases[] = {
      {reversed, Orientation::LR, Orientation::NEITHER},
      {as_written, Orientation::LR, Orientation::LR},
      {as_written, Orientation::RL, Orientation::NEITHER},
      {reversed, Orientation::RL, Orientation::RL},
      {as_written, Orientation::BOTH, Orientation::LR},
      {reversed, Orientation::BOTH, Orientation::RL},
      {other, Orientation::BOTH, Orientation::BOTH},
      {as_written, Orientation::NEITHER, Orientation::NEITHER},
      {other, Orientation::NEITHER, Orientation::NEITHER},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Orient::axiom_filter(c.e, c.candidate), c.result)
        << static_cast<int>(c.candidate) << " " << static_cast<int>(c.result);
}

TEST_F(Orienting, TrustedAxiomsKeepTheirDirection) {
  use_prover("", "YES");
  Orient::add_axiom({f("tr_a", {x()}), f("tr_b", {x()})});
  const Term a = f("tr_a", {y()}), b = f("tr_b", {y()});
  EXPECT_EQ(orient(a, b).orientation, Orientation::BOTH);  // trust_input off
  Prefs::trust_input = true;
  EXPECT_EQ(orient(a, b).orientation, Orientation::LR);
  const Orient::OrientationResult reversed = orient(b, a);
  EXPECT_EQ(reversed.orientation, Orientation::RL);
  EXPECT_EQ(reversed.lr_seconds, kUntested);
}

}  // namespace
