// The AProVE client against the fake provers of tests/fakes: the bytes of a question, process
// reuse and restart, the verdict table, and provers that misbehave.
#include "termination/aprove.hpp"

#include <gtest/gtest.h>

#include "driver/exit.hpp"
#include "driver/failure.hpp"
#include "fake_provers.hpp"
#include "termination/checker.hpp"

namespace {

using FakeProvers::fake_prover;
using FakeProvers::misbehaving;
using FakeProvers::read_file;
using Status::CheckerStatus;

class AproveClient : public ::testing::Test {
 protected:
  // One question (x -> ... a one-rule set) through the client, returning the verdict.
  CheckerStatus ask_once(Aprove::ProverHandle& handle) {
    Aprove::tell(handle, "(VAR X0)");
    Aprove::tell(handle, "(RULES \nf(X0) -> X0)");
    return Aprove::ask(handle);
  }

  // The failure message of one question with the given command.
  std::string failure_of(const std::string& command) {
    try {
      ask_once(Aprove::get_handle(command));
    } catch (const Korvath::Failure& f) {
      return f.message();
    }
    return "(no failure)";
  }

  FakeProvers::Settings settings;
  FakeProvers::TempDir dir;
};

TEST_F(AproveClient, SendsTheQuestionAsOneBlockEndedByAPeriodLine) {
  const std::string log = dir.file("log");
  Aprove::ProverHandle& handle = Aprove::get_handle(fake_prover("--log " + log));
  Aprove::tell(handle, "(VAR X0)");
  Aprove::tell(handle, "(RULES \nf(X0,e) -> X0\ng(a) -> b)");
  EXPECT_EQ(handle.pending, "(VAR X0)\n(RULES \nf(X0,e) -> X0\ng(a) -> b)\n");
  EXPECT_EQ(Aprove::ask(handle), CheckerStatus::YES);
  EXPECT_EQ(read_file(log), "(VAR X0)\n(RULES \nf(X0,e) -> X0\ng(a) -> b)\n.\n");
}

TEST_F(AproveClient, ReusesOneProcessWhileTheCommandStaysTheSame) {
  const std::string log = dir.file("log"), starts = dir.file("starts");
  const std::string command = fake_prover("--log " + log + " --starts " + starts);
  Prefs::debug_checker = true;
  Debug::verbosity = Debug::Level::trace;
  FakeProvers::StderrCapture capture;
  Aprove::ProverHandle& first = Aprove::get_handle(command);
  EXPECT_EQ(ask_once(first), CheckerStatus::YES);
  Aprove::ProverHandle& second = Aprove::get_handle(command);
  EXPECT_EQ(&first, &second);
  EXPECT_EQ(ask_once(second), CheckerStatus::YES);
  EXPECT_EQ(capture.text(),
            "Starting AProVE (" + command +
                ") ...\n(VAR X0)\n(RULES \nf(X0) -> X0)\n(VAR X0)\n(RULES \nf(X0) -> "
                "X0)\n");
  EXPECT_EQ(FakeProvers::started_pids(starts).size(), 1u);
  EXPECT_EQ(read_file(log),
            "(VAR X0)\n(RULES \nf(X0) -> X0)\n.\n(VAR X0)\n(RULES \nf(X0) -> X0)\n.\n");
}

TEST_F(AproveClient, RestartsWhenTheCommandTextChangesEvenOnlyInSpacing) {
  const std::string starts = dir.file("starts");
  const std::string command = fake_prover("--starts " + starts);
  EXPECT_EQ(ask_once(Aprove::get_handle(command)), CheckerStatus::YES);
  const pid_t old_pid = Aprove::aprove_process->handle.pid;
  Prefs::debug_checker = true;
  Debug::verbosity = Debug::Level::trace;
  FakeProvers::StderrCapture capture;
  EXPECT_EQ(ask_once(Aprove::get_handle(command + " ")), CheckerStatus::YES);
  EXPECT_EQ(capture.text(),
            "Restarting AProVE (" + command + " ) ...\n(VAR X0)\n(RULES \nf(X0) -> X0)\n");
  EXPECT_TRUE(FakeProvers::reaped(old_pid));
  EXPECT_EQ(Aprove::aprove_process->command, command + " ");
  EXPECT_EQ(FakeProvers::started_pids(starts).size(), 2u);
}

TEST_F(AproveClient, StartsNothingAndEmitsNothingWithoutDebugChecker) {
  Debug::verbosity = Debug::Level::trace;
  Prefs::debug_checker = false;
  FakeProvers::StderrCapture capture;
  EXPECT_EQ(ask_once(Aprove::get_handle(fake_prover(""))), CheckerStatus::YES);
  EXPECT_EQ(capture.text(), "");
}

struct VerdictCase {
  const char* answer;  // as the shell passes it to the fake
  CheckerStatus status;
};

class AproveVerdicts : public AproveClient, public ::testing::WithParamInterface<VerdictCase> {};

TEST_P(AproveVerdicts, MapsTheFirstAnswerLine) {
  EXPECT_EQ(
      ask_once(Aprove::get_handle(fake_prover(std::string("--default ") + GetParam().answer))),
      GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Table, AproveVerdicts,
                         ::testing::Values(VerdictCase{"YES", CheckerStatus::YES},
                                           VerdictCase{"NO", CheckerStatus::NO},
                                           VerdictCase{"MAYBE", CheckerStatus::UNKNOWN},
                                           VerdictCase{"TIMEOUT", CheckerStatus::UNKNOWN},
                                           VerdictCase{"true", CheckerStatus::YES},
                                           VerdictCase{"false", CheckerStatus::NO},
                                           VerdictCase{"maybe", CheckerStatus::UNKNOWN},
                                           VerdictCase{"'timed out'", CheckerStatus::UNKNOWN}));

TEST_F(AproveClient, AnyOtherFirstLineFailsAndKeepsTheProverRunning) {
  const std::string table = dir.file("table");
  FakeProvers::write_file(table, "= maybe\r\nf(X0) -> X0\n");
  const struct {
    std::string command, line;
  } cases[] = {
      {fake_prover("--default True"), "True"},
      {fake_prover("--default 'true '"), "true "},
      {fake_prover("--default timeout"), "timeout"},
      {fake_prover("--table " + table), "maybe\r"},
      {misbehaving("--mode garbage"), "I am not a prover"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(failure_of(c.command), "Error communicating with AProVE: responded with " + c.line);
    ASSERT_TRUE(Aprove::aprove_process.has_value());
    const pid_t pid = Aprove::aprove_process->handle.pid;
    EXPECT_EQ(kill(pid, 0), 0) << c.command;
    Aprove::shutdown();
    EXPECT_TRUE(FakeProvers::reaped(pid));
    EXPECT_FALSE(Aprove::aprove_process.has_value());
  }
}

TEST_F(AproveClient, AProverThatExitedBeforeReadingIsABrokenPipeNamingTheCommand) {
  const std::string command = misbehaving("--mode exit-before-reading");
  Aprove::ProverHandle& handle = Aprove::get_handle(command);
  FakeProvers::wait_until_exited(handle.pid);
  EXPECT_EQ(failure_of(command),
            "The termination prover `" + command +
                "' could not be run or stopped reading (write failed: Broken pipe); give its "
                "command with --cmd");
}

TEST_F(AproveClient, AProverThatEndsItsOutputBeforeAnsweringIsAnEndOfFileFailure) {
  const std::string command = misbehaving("--mode exit-after-reading");
  EXPECT_EQ(failure_of(command), "AProVE (command `" + command +
                                     "') ended its output while korvath was reading the first "
                                     "answer line; is --cmd right?");
}

TEST_F(AproveClient, AnAnswerCutShortAfterTheFirstLineIsAnEndOfFileFailure) {
  // Reads the question, answers one line instead of three and exits.
  const std::string command = "head -n 3 >/dev/null; printf 'true\\n'";
  EXPECT_EQ(failure_of(command), "AProVE (command `" + command +
                                     "') ended its output while korvath was reading the second "
                                     "answer line; is --cmd right?");
}

TEST_F(AproveClient, ACommandThatCannotBeRunFailsWithoutHanging) {
  FakeProvers::StderrCapture capture;  // the shell's complaint
  const std::string message = failure_of("/nonexistent/aprove");
  capture.text();
  EXPECT_TRUE(message.find("/nonexistent/aprove") != std::string::npos) << message;
  EXPECT_TRUE(message.find("--cmd") != std::string::npos) << message;
}

TEST_F(AproveClient, ReadsAnswersWrittenInPiecesOrWithoutAFinalLineFeed) {
  EXPECT_EQ(ask_once(Aprove::get_handle(misbehaving("--mode pieces"))), CheckerStatus::YES);
  EXPECT_EQ(ask_once(Aprove::get_handle(misbehaving("--mode pieces --answer false"))),
            CheckerStatus::NO);
  EXPECT_EQ(ask_once(Aprove::get_handle(misbehaving("--mode no-final-lf --answer maybe"))),
            CheckerStatus::UNKNOWN);
}

TEST_F(AproveClient, AProverFloodingItsStandardErrorStillAnswers) {
  FakeProvers::StderrCapture capture;
  EXPECT_EQ(ask_once(Aprove::get_handle(misbehaving("--mode flood-stderr"))), CheckerStatus::YES);
  Aprove::shutdown();
  EXPECT_GT(capture.text().size(), 1000000u);
}

TEST_F(AproveClient, ShutdownEndsProversThatIgnoreTheEndOfTheirInput) {
  for (const char* mode : {"never-answers", "slow-exit"}) {
    const std::string starts = dir.file(std::string("starts-") + mode);
    Aprove::ProverHandle& handle =
        Aprove::get_handle(misbehaving(std::string("--mode ") + mode + " --starts " + starts));
    if (std::string(mode) == "slow-exit") {
      EXPECT_EQ(ask_once(handle), CheckerStatus::YES);
    }
    while (FakeProvers::started_pids(starts).empty()) usleep(10000);
    const pid_t shell = handle.pid, prover = FakeProvers::started_pids(starts)[0];
    Aprove::shutdown();
    EXPECT_TRUE(FakeProvers::reaped(shell)) << mode;
    EXPECT_TRUE(FakeProvers::process_gone(prover)) << mode;
  }
}

TEST_F(AproveClient, ShutdownWithoutAProverDoesNothing) {
  Aprove::shutdown();
  Aprove::shutdown();
  EXPECT_FALSE(Aprove::aprove_process.has_value());
}

// Runs body in a child process and returns the child's wait status; the prover pid the body
// reports through the pipe is stored in prover.
template <class Body>
int in_child(Body body, pid_t& prover) {
  int fds[2];
  EXPECT_EQ(pipe(fds), 0);
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    body(fds[1]);
    _exit(99);
  }
  close(fds[1]);
  prover = -1;
  EXPECT_EQ(read(fds[0], &prover, sizeof prover), static_cast<ssize_t>(sizeof prover));
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return status;
}

// In a child: start a prover that ignores the end of its input, report its pid, then leave.
template <class Leave>
void start_stubborn_prover_then(int report_fd, const std::string& starts, Leave leave) {
  Checker::initialize();
  Korvath::install_termination_signal_handlers();
  Aprove::get_handle(misbehaving("--mode never-answers --starts " + starts));
  while (FakeProvers::started_pids(starts).empty()) usleep(10000);
  const pid_t prover = FakeProvers::started_pids(starts)[0];
  if (write(report_fd, &prover, sizeof prover) != sizeof prover) _exit(98);
  leave();
}

TEST_F(AproveClient, ATerminationSignalStopsTheProverBeforeTheRunEnds) {
  const std::string starts = dir.file("starts");
  pid_t prover = -1;
  const int status = in_child(
      [&](int fd) { start_stubborn_prover_then(fd, starts, [] { raise(SIGTERM); }); }, prover);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
  EXPECT_TRUE(FakeProvers::process_gone(prover));
}

TEST_F(AproveClient, TheNormalExitStopsTheProver) {
  const std::string starts = dir.file("starts");
  pid_t prover = -1;
  const int status = in_child(
      [&](int fd) { start_stubborn_prover_then(fd, starts, [] { Korvath::exit_program(0); }); },
      prover);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(FakeProvers::process_gone(prover));
}

}  // namespace
