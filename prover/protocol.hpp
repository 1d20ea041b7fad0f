// The three ways of talking to korvath-termination: the persistent three-line protocol, the
// one-shot protocol and file mode. Each reads the question text, asks the Prover with a fresh
// deadline per question, and writes the answer in its own words.
#pragma once

#include <iosfwd>

#include "options.hpp"

namespace Termination {

// Changes: reads questions from in until its end, writes three lines per question to out
// (flushed). Returns: the exit status (0, or 2 after a malformed question, reported on err).
int run_persistent(std::istream& in, std::ostream& out, std::ostream& err, const Options& options);
// Changes: reads one question from in and writes one word to out. Returns: the exit status.
int run_one_shot(std::istream& in, std::ostream& out, std::ostream& err, const Options& options);
// Changes: writes verdict and proof for each of options.files. Returns: 0, or 2 when a file
// could not be read or parsed.
int run_files(std::ostream& out, std::ostream& err, const Options& options);

}  // namespace Termination
