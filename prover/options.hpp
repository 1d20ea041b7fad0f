// Command-line options of korvath-termination.
//
//   korvath-termination [--timeout-ms N]            persistent protocol on stdin/stdout
//   korvath-termination --tpa [--timeout-ms N]      one question, one-word answer
//   korvath-termination [--timeout-ms N] FILE...    readable proofs for problem files
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace Termination {

constexpr long kDefaultTimeoutMs = 2000;

enum class Mode { Persistent, OneShot, Files, Help };

struct Options {
  Mode mode = Mode::Persistent;
  long timeout_ms = kDefaultTimeoutMs;
  bool trace = false;
  std::vector<std::string> files;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Returns: the options of the command line (argv[0] is skipped). Throws: UsageError.
Options parse_options(const std::vector<std::string>& args);
// Returns: the text of --help.
std::string help_text();

}  // namespace Termination
