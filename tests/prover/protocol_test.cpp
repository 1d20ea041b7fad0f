// The three protocols, in process (streams) and end to end (the built binary over pipes).
#include "protocol.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "options.hpp"

namespace Termination {
namespace {

constexpr const char* kTerminating = "(VAR X0 Y0)\n(RULES \nf(X0,e) -> X0\ng(a) -> b)\n";
constexpr const char* kLooping = "(VAR X0)\n(RULES \nf(X0) -> f(f(X0)))\n";

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

TEST(Protocol, PersistentAnswersThreeLinesPerQuestion) {
  std::istringstream in(std::string(kTerminating) + ".\n" + kLooping + ".\n" +
                        "(VAR )\n(RULES \na -> b)\n.\n");
  std::ostringstream out, err;
  EXPECT_EQ(run_persistent(in, out, err, Options{}), 0);
  auto lines = lines_of(out.str());
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "true");
  EXPECT_EQ(lines[3], "false");
  EXPECT_EQ(lines[6], "true");
  for (int i : {2, 5, 8}) EXPECT_NO_THROW(std::stod(lines[i])) << lines[i];
  EXPECT_TRUE(err.str().empty());
}

TEST(Protocol, PersistentDropsAnIncompleteQuestionAtEndOfInput) {
  std::istringstream in(std::string(kTerminating) + ".\n(VAR x)\n(RULES \nf(x) ->");
  std::ostringstream out, err;
  EXPECT_EQ(run_persistent(in, out, err, Options{}), 0);
  EXPECT_EQ(lines_of(out.str()).size(), 3u);
}

TEST(Protocol, PersistentStopsOnAMalformedQuestion) {
  std::istringstream in("(VAR x)\n(RULES \nf(x) x)\n.\n");
  std::ostringstream out, err;
  EXPECT_EQ(run_persistent(in, out, err, Options{}), 2);
  EXPECT_TRUE(out.str().empty());
  EXPECT_NE(err.str().find("malformed"), std::string::npos);
}

TEST(Protocol, OneShotAnswersOneWord) {
  const std::pair<std::string, std::string> cases[] = {
      {std::string(kTerminating) + "\n", "YES\n"},
      {std::string(kLooping) + "\n", "NO\n"},
  };
  for (const auto& [input, answer] : cases) {
    std::istringstream in(input);
    std::ostringstream out, err;
    Options options;
    options.mode = Mode::OneShot;
    EXPECT_EQ(run_one_shot(in, out, err, options), 0);
    EXPECT_EQ(out.str(), answer);
  }
}

TEST(Protocol, OptionsAreParsed) {
  Options o = parse_options({"--timeout-ms", "150", "a.trs", "b.trs"});
  EXPECT_EQ(o.mode, Mode::Files);
  EXPECT_EQ(o.timeout_ms, 150);
  EXPECT_EQ(o.files.size(), 2u);
  EXPECT_EQ(parse_options({"--tpa"}).mode, Mode::OneShot);
  EXPECT_EQ(parse_options({}).mode, Mode::Persistent);
  EXPECT_EQ(parse_options({}).timeout_ms, kDefaultTimeoutMs);
  EXPECT_EQ(parse_options({"--help"}).mode, Mode::Help);
  EXPECT_THROW(parse_options({"--timeout-ms", "0"}), UsageError);
  EXPECT_THROW(parse_options({"--timeout-ms"}), UsageError);
  EXPECT_THROW(parse_options({"--bogus"}), UsageError);
  for (const char* option : {"--timeout-ms", "--tpa", "--trace", "--help"})
    EXPECT_NE(help_text().find(option), std::string::npos) << option;
}

// Runs the built binary with the arguments, feeding input on standard input.
// Returns: its standard output; status receives the exit status.
std::string run_binary(const std::string& arguments, const std::string& input, int& status) {
  std::string path = testing::TempDir() + "korvath_termination_input.txt";
  std::ofstream(path) << input;
  std::string command = std::string(KORVATH_TERMINATION_BINARY) + " " + arguments + " < " + path;
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  status = pclose(pipe);
  return out;
}

TEST(EndToEnd, PersistentProtocolOverPipes) {
  int status = -1;
  std::string out = run_binary("", std::string(kTerminating) + ".\n" + kLooping + ".\n", status);
  auto lines = lines_of(out);
  ASSERT_EQ(lines.size(), 6u) << out;
  EXPECT_EQ(lines[0], "true");
  EXPECT_EQ(lines[3], "false");
  EXPECT_EQ(status, 0);
}

TEST(EndToEnd, OneShotProtocol) {
  int status = -1;
  EXPECT_EQ(run_binary("--tpa", std::string(kLooping) + "\n", status), "NO\n");
  EXPECT_EQ(status, 0);
}

TEST(EndToEnd, FileModeWritesVerdictAndProof) {
  std::string path = testing::TempDir() + "korvath_termination_problem.trs";
  std::ofstream(path) << "(VAR x y)\n(RULES \nplus(0,y) -> y\nplus(s(x),y) -> s(plus(x,y)))";
  int status = -1;
  auto lines = lines_of(run_binary(path, "", status));
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "YES");
  EXPECT_EQ(status, 0);
  bool names_order = false;
  for (const std::string& line : lines)
    names_order = names_order || line.find("plus") != std::string::npos;
  EXPECT_TRUE(names_order);
}

TEST(EndToEnd, MalformedInputFailsWithoutVerdict) {
  int status = -1;
  std::string out = run_binary("--tpa", "(VAR x)\n(RULES \nf(x) -> \n", status);
  EXPECT_TRUE(out.empty());
  EXPECT_NE(status, 0);
}

}  // namespace
}  // namespace Termination
