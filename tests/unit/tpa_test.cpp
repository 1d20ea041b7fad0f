// The TPA client against the fake provers: one process per question, the bytes of a question,
// the verdict table, and the process left behind only by a failed question.
#include "termination/tpa.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "driver/failure.hpp"
#include "fake_provers.hpp"

namespace {

using FakeProvers::fake_prover;
using FakeProvers::misbehaving;
using FakeProvers::read_file;
using Status::CheckerStatus;

class TpaClient : public ::testing::Test {
 protected:
  CheckerStatus ask_once(const std::string& command) {
    Aprove::ProverHandle& handle = Tpa::get_handle(command);
    Tpa::tell(handle, "(VAR X0)");
    Tpa::tell(handle, "(RULES \nf(X0) -> X0)");
    return Tpa::ask(handle);
  }

  std::string failure_of(const std::string& command) {
    try {
      ask_once(command);
    } catch (const Korvath::Failure& f) {
      return f.message();
    }
    return "(no failure)";
  }

  FakeProvers::Settings settings;
  FakeProvers::TempDir dir;
};

TEST_F(TpaClient, SendsTheQuestionThenAnEmptyLineAndTheEndOfInput) {
  const std::string log = dir.file("log");
  EXPECT_EQ(ask_once(fake_prover("--tpa --log " + log)), CheckerStatus::YES);
  EXPECT_EQ(read_file(log), "(VAR X0)\n(RULES \nf(X0) -> X0)\n\n");
}

TEST_F(TpaClient, EveryQuestionStartsAndEndsItsOwnProcess) {
  const std::string starts = dir.file("starts");
  const std::string command = fake_prover("--tpa --starts " + starts);
  Prefs::debug_checker = true;
  Debug::verbosity = Debug::Level::trace;
  FakeProvers::StderrCapture capture;
  std::vector<pid_t> shells;
  for (int i = 0; i < 2; ++i) {
    Aprove::ProverHandle& handle = Tpa::get_handle(command);
    shells.push_back(handle.pid);
    Tpa::tell(handle, "(VAR X0)");
    Tpa::tell(handle, "(RULES \nf(X0) -> X0)");
    EXPECT_EQ(Tpa::ask(handle), CheckerStatus::YES);
    EXPECT_FALSE(Tpa::tpa_process.has_value());
    EXPECT_TRUE(FakeProvers::reaped(shells.back()));
  }
  const std::string question = "(VAR X0)\n(RULES \nf(X0) -> X0)\n";
  EXPECT_EQ(capture.text(), "Starting TPA (" + command + ") ...\n" + question + "Starting TPA (" +
                                command + ") ...\n" + question);
  EXPECT_NE(shells[0], shells[1]);
  const std::vector<pid_t> provers = FakeProvers::started_pids(starts);
  ASSERT_EQ(provers.size(), 2u);
  for (pid_t pid : provers) EXPECT_TRUE(FakeProvers::process_gone(pid));
}

struct VerdictCase {
  const char* answer;
  CheckerStatus status;
};

class TpaVerdicts : public TpaClient, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(TpaVerdicts, MapsTheAnswerLine) {
  EXPECT_EQ(ask_once(fake_prover(std::string("--tpa --default ") + GetParam().answer)),
            GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Table, TpaVerdicts,
                         ::testing::Values(VerdictCase{"YES", CheckerStatus::YES},
                                           VerdictCase{"NO", CheckerStatus::NO},
                                           VerdictCase{"MAYBE", CheckerStatus::UNKNOWN},
                                           VerdictCase{"TIMEOUT", CheckerStatus::UNKNOWN}));

TEST_F(TpaClient, AnyOtherLineFailsAndLeavesTheProcessRecordedUntilShutdown) {
  for (const char* answer : {"yes", "'YES '", "true", "'timed out'"}) {
    const std::string line =
        answer[0] == '\'' ? std::string(answer + 1, std::strlen(answer) - 2) : std::string(answer);
    EXPECT_EQ(failure_of(fake_prover(std::string("--tpa --default ") + answer)),
              "Error communicating with TPA: responded with " + line);
    ASSERT_TRUE(Tpa::tpa_process.has_value());
    const pid_t pid = Tpa::tpa_process->pid;
    Tpa::shutdown();
    EXPECT_FALSE(Tpa::tpa_process.has_value());
    EXPECT_TRUE(FakeProvers::reaped(pid));
  }
}

TEST_F(TpaClient, ANewQuestionAfterAFailedOneStopsTheOldProcess) {
  EXPECT_EQ(failure_of(misbehaving("--tpa --mode garbage")),
            "Error communicating with TPA: responded with I am not a prover");
  const pid_t old_pid = Tpa::tpa_process->pid;
  EXPECT_EQ(ask_once(fake_prover("--tpa")), CheckerStatus::YES);
  EXPECT_TRUE(FakeProvers::reaped(old_pid));
}

TEST_F(TpaClient, AProverThatEndsItsOutputBeforeAnsweringIsAnEndOfFileFailure) {
  const std::string command = misbehaving("--tpa --mode exit-after-reading");
  EXPECT_EQ(failure_of(command), "TPA (command `" + command +
                                     "') ended its output while korvath was reading the answer "
                                     "line; is --cmd right?");
}

TEST_F(TpaClient, AProverThatExitedBeforeReadingIsABrokenPipe) {
  const std::string command = misbehaving("--tpa --mode exit-before-reading");
  Aprove::ProverHandle& handle = Tpa::get_handle(command);
  FakeProvers::wait_until_exited(handle.pid);
  Tpa::tell(handle, "(VAR X0)");
  try {
    Tpa::ask(handle);
    FAIL() << "no failure";
  } catch (const Korvath::Failure& f) {
    EXPECT_EQ(f.message(), "The termination prover `" + command +
                               "' could not be run or stopped reading (write failed: Broken "
                               "pipe); give its command with --cmd");
  }
}

TEST_F(TpaClient, ReadsAnAnswerWrittenInPiecesOrWithoutALineFeed) {
  EXPECT_EQ(ask_once(misbehaving("--tpa --mode pieces --answer MAYBE")), CheckerStatus::UNKNOWN);
  EXPECT_EQ(ask_once(misbehaving("--tpa --mode no-final-lf --answer NO")), CheckerStatus::NO);
}

TEST_F(TpaClient, AProverThatDoesNotExitAfterAnsweringIsStoppedAnyway) {
  const std::string starts = dir.file("starts");
  EXPECT_EQ(ask_once(misbehaving("--tpa --mode slow-exit --starts " + starts)), CheckerStatus::YES);
  EXPECT_FALSE(Tpa::tpa_process.has_value());
  EXPECT_TRUE(FakeProvers::process_gone(FakeProvers::started_pids(starts).at(0)));
}

}  // namespace
