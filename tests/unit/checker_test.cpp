// The checker front end: the order of a question, its statistics and cache registrations, the
// trace lines, the texts written to the prover (with the variable text collision), the client
// table and the shutdown of both clients.
#include "termination/checker.hpp"

#include <gtest/gtest.h>

#include <limits>

#include "driver/failure.hpp"
#include "fake_provers.hpp"
#include "termination/learning.hpp"

namespace {

using FakeProvers::fake_prover;
using FakeProvers::misbehaving;
using FakeProvers::read_file;
using Terms::app;
using Terms::Rule;
using Terms::var;

struct Statistics {
  long calls, yes, no, unknown;
  double time, max_time, min_time, yes_time, yes_max_time;

  static Statistics now() {
    return {Checker::checker_calls,    Checker::checker_yes,      Checker::checker_no,
            Checker::checker_unknown,  Checker::checker_time,     Checker::checker_max_time,
            Checker::checker_min_time, Checker::checker_yes_time, Checker::checker_yes_max_time};
  }
  bool operator==(const Statistics&) const = default;
};

class CheckerFront : public ::testing::Test {
 protected:
  void SetUp() override {
    Checker::checker_calls = Checker::checker_yes = Checker::checker_no = 0;
    Checker::checker_unknown = 0;
    Checker::checker_time = Checker::checker_max_time = 0.0;
    Checker::checker_yes_time = Checker::checker_yes_max_time = 0.0;
    Checker::checker_min_time = std::numeric_limits<double>::max();
    Checker::use_aprove();
  }

  FakeProvers::Settings settings;
  FakeProvers::TempDir dir;
};

// One-rule lists with symbols of their own, so that the global cache of other tests never
// interferes.
std::vector<Rule> one_rule(const std::string& symbol) {
  return {{app(symbol, {var("X", 0)}), var("X", 0)}};
}

TEST_F(CheckerFront, AnEmptyRuleListFailsAndChangesNothing) {
  Checker::aprove_command = fake_prover("");
  const Statistics before = Statistics::now();
  try {
    Checker::is_terminating({}, {});
    FAIL() << "no failure";
  } catch (const Korvath::Failure& f) {
    EXPECT_EQ(f.message(), "Testing empty TRS for termination");
  }
  EXPECT_EQ(Statistics::now(), before);
  EXPECT_FALSE(Aprove::aprove_process.has_value());
}

TEST_F(CheckerFront, AYesIsCountedTimedAndRegisteredAsTerminating) {
  Checker::aprove_command = fake_prover("--default YES");
  const std::vector<Rule> rules = one_rule("checker_yes");
  EXPECT_TRUE(Checker::is_terminating(rules, {Terms::Variable{Terms::Name::intern("X"), 0}}));
  const Statistics s = Statistics::now();
  EXPECT_EQ(s.calls, 1);
  EXPECT_EQ(s.yes, 1);
  EXPECT_EQ(s.no + s.unknown, 0);
  EXPECT_GT(s.time, 0.0);
  EXPECT_EQ(s.min_time, s.time);
  EXPECT_EQ(s.max_time, s.time);
  EXPECT_EQ(s.yes_time, s.time);
  EXPECT_EQ(s.yes_max_time, s.time);
  EXPECT_TRUE(Learning::recall_terminating_trs(rules));
  EXPECT_FALSE(Learning::recall_nonterminating_trs(rules));
}

TEST_F(CheckerFront, ANoIsCountedAndRegisteredAsNonTerminating) {
  Checker::aprove_command = fake_prover("--default NO");
  const std::vector<Rule> rules = one_rule("checker_no");
  EXPECT_FALSE(Checker::is_terminating(rules, {}));
  const Statistics s = Statistics::now();
  EXPECT_EQ(s.calls, 1);
  EXPECT_EQ(s.no, 1);
  EXPECT_EQ(s.yes + s.unknown, 0);
  EXPECT_EQ(s.yes_time, 0.0);
  EXPECT_EQ(s.min_time, s.time);
  EXPECT_TRUE(Learning::recall_nonterminating_trs(rules));
  EXPECT_FALSE(Learning::recall_terminating_trs(rules));
}

TEST_F(CheckerFront, AnUnknownIsCountedAndNotRegisteredSoItIsAskedAgain) {
  Checker::aprove_command = fake_prover("--default TIMEOUT");
  const std::vector<Rule> rules = one_rule("checker_unknown");
  EXPECT_FALSE(Checker::is_terminating(rules, {}));
  EXPECT_FALSE(Checker::is_terminating(rules, {}));
  const Statistics s = Statistics::now();
  EXPECT_EQ(s.calls, 2);
  EXPECT_EQ(s.unknown, 2);
  EXPECT_EQ(s.yes + s.no, 0);
  EXPECT_LE(s.min_time, s.max_time);
  EXPECT_FALSE(Learning::recall_nonterminating_trs(rules));
  EXPECT_FALSE(Learning::recall_terminating_trs(rules));
}

// The text with the wait at the end of every "ask: " line replaced by "W", after checking that
// it is a number.
std::string without_waits(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (line.rfind("ask: ", 0) == 0) {
      const size_t space = line.rfind(' ');
      const std::string wait = line.substr(space + 1);
      EXPECT_EQ(wait.find_first_not_of("0123456789.e+-"), std::string::npos) << line;
      line = line.substr(0, space + 1) + "W";
    }
    out += line + (end < text.size() ? "\n" : "");
    start = end + 1;
  }
  return out;
}

TEST_F(CheckerFront, TracesTheQuestionInOrder) {
  const std::string command = fake_prover("--default MAYBE");
  Checker::aprove_command = command;
  Prefs::debug_checker = true;
  Debug::verbosity = Debug::Level::trace;
  FakeProvers::StderrCapture capture;
  Checker::is_terminating(one_rule("f"), {Terms::Variable{Terms::Name::intern("X"), 0}});
  Checker::is_terminating(one_rule("f"), {Terms::Variable{Terms::Name::intern("X"), 0}});
  const std::string question = "(VAR X0)\n(RULES \nf(X0) -> X0)\n";
  EXPECT_EQ(without_waits(capture.text()), "Starting AProVE (" + command + ") ...\ntell: 1\n" +
                                               question + "ask: 1 UNKNOWN W\ntell: 2\n" + question +
                                               "ask: 2 UNKNOWN W\n");
}

TEST_F(CheckerFront, TracesNothingWithoutDebugChecker) {
  Checker::aprove_command = fake_prover("--default MAYBE");
  Debug::verbosity = Debug::Level::trace;
  FakeProvers::StderrCapture capture;
  Checker::is_terminating(one_rule("f"), {});
  EXPECT_EQ(capture.text(), "");
}

TEST(CheckerWait, WritesTwelveSignificantDigitsAndAPeriodAfterAWholeNumber) {
  const struct {
    double seconds;
    const char* text;
  } cases[] = {
      {1.0, "1."},
      {0.0, "0."},
      {-2.0, "-2."},
      {0.5, "0.5"},
      {1e-05, "1e-05"},
      {0.123456789012345, "0.123456789012"},
      {123.25, "123.25"},
      {123456789012345.0, "1.23456789012e+14"},
      {100000000.0, "100000000."},
  };
  for (const auto& c : cases) EXPECT_EQ(Checker::string_of_wait(c.seconds), c.text);
}

TEST_F(CheckerFront, WritesTheDeclarationAndTheRulesAsRendered) {
  const std::string log = dir.file("log");
  Checker::aprove_command = fake_prover("--log " + log);
  const Terms::Term x = var("X", 0), y = var("Y", 3);
  const std::vector<Rule> rules = {{app("f", {x, Terms::constant("e")}), x},
                                   {app("g", {Terms::constant("a"), y}), y}};
  EXPECT_TRUE(Checker::is_terminating(rules, {x.var(), y.var()}));
  EXPECT_EQ(read_file(log), "(VAR X0 Y3)\n(RULES \nf(X0,e) -> X0\ng(a,Y3) -> Y3)\n.\n");
}

TEST_F(CheckerFront, RenamesEveryRuleWhenTwoVariablesOfOneRuleReadAlike) {
  const std::string log = dir.file("log");
  Checker::aprove_command = fake_prover("--log " + log);
  const Terms::Term x1_2 = var("X1", 2), x_12 = var("X", 12), y = var("Y", 0);
  const std::vector<Rule> rules = {{app("f", {x1_2, x_12}), x1_2}, {app("h", {y, y}), y}};
  Checker::is_terminating(rules, {x1_2.var(), x_12.var(), y.var()});
  EXPECT_EQ(read_file(log), "(VAR X0 X1)\n(RULES \nf(X0,X1) -> X0\nh(X0,X0) -> X0)\n.\n");
}

TEST_F(CheckerFront, KeepsTheRenderingWhenAlikeVariablesBelongToDifferentRules) {
  const std::string log = dir.file("log");
  Checker::aprove_command = fake_prover("--log " + log);
  const Terms::Term x1_2 = var("X1", 2), x_12 = var("X", 12);
  const std::vector<Rule> rules = {{app("f", {x1_2}), x1_2}, {app("g", {x_12}), x_12}};
  Checker::is_terminating(rules, {x1_2.var(), x_12.var()});
  EXPECT_EQ(read_file(log), "(VAR X12 X12)\n(RULES \nf(X12) -> X12\ng(X12) -> X12)\n.\n");
}

TEST_F(CheckerFront, AsksTpaWhenItIsSelected) {
  const std::string log = dir.file("log");
  Checker::use_tpa();
  EXPECT_EQ(Checker::aprove_command, "tpa");
  EXPECT_EQ(Checker::checker_name(), "TPA");
  Checker::aprove_command = fake_prover("--tpa --default NO --log " + log);
  EXPECT_FALSE(Checker::is_terminating(one_rule("checker_tpa"), {var("X", 0).var()}));
  EXPECT_EQ(read_file(log), "(VAR X0)\n(RULES \nchecker_tpa(X0) -> X0)\n\n");
  EXPECT_EQ(Checker::checker_no, 1);
  EXPECT_FALSE(Tpa::tpa_process.has_value());
}

TEST_F(CheckerFront, TheClientTableAndTheOptions) {
  EXPECT_STREQ(Checker::client(Checker::Kind::AProVE).name, "AProVE");
  EXPECT_STREQ(Checker::client(Checker::Kind::AProVE).default_command, "aprove");
  EXPECT_STREQ(Checker::client(Checker::Kind::TPA).name, "TPA");
  EXPECT_STREQ(Checker::client(Checker::Kind::TPA).default_command, "tpa");
  Checker::aprove_command = "X";
  Checker::use_tpa();
  EXPECT_EQ(Checker::aprove_command, "tpa");
  Checker::aprove_command = "X";
  Checker::use_aprove();
  EXPECT_EQ(Checker::aprove_command, "aprove");
  EXPECT_EQ(Checker::current_checker, Checker::Kind::AProVE);
  EXPECT_EQ(Checker::checker_name(), "AProVE");
}

TEST_F(CheckerFront, AFailureWhileTellingCountsTheQuestionOnlyAndRegistersNothing) {
  const std::string command = misbehaving("--mode exit-before-reading");
  Checker::aprove_command = command;
  FakeProvers::wait_until_exited(Checker::get_handle(command).pid);
  const std::vector<Rule> rules = one_rule("checker_broken");
  Statistics expected = Statistics::now();
  expected.calls += 1;
  EXPECT_THROW(Checker::is_terminating(rules, {}), Korvath::Failure);
  EXPECT_EQ(Statistics::now(), expected);
  EXPECT_FALSE(Learning::recall_nonterminating_trs(rules));
  EXPECT_FALSE(Learning::recall_terminating_trs(rules));
}

TEST_F(CheckerFront, ShutdownStopsTheProversOfBothClients) {
  Checker::aprove_command = fake_prover("");
  Checker::is_terminating(one_rule("f"), {});
  const pid_t aprove = Aprove::aprove_process->handle.pid;
  Checker::use_tpa();
  Checker::aprove_command = misbehaving("--tpa --mode garbage");
  EXPECT_THROW(Checker::is_terminating(one_rule("f"), {}), Korvath::Failure);
  const pid_t tpa = Tpa::tpa_process->pid;
  Checker::shutdown();
  EXPECT_TRUE(FakeProvers::reaped(aprove));
  EXPECT_TRUE(FakeProvers::reaped(tpa));
  EXPECT_FALSE(Aprove::aprove_process.has_value());
  EXPECT_FALSE(Tpa::tpa_process.has_value());
}

}  // namespace
