// Reading questions and writing answers for the three modes (see protocol.hpp).
#include "protocol.hpp"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "parser.hpp"
#include "prover.hpp"

namespace Termination {
namespace {

const char* persistent_word(Verdict v) {
  switch (v) {
    case Verdict::Yes:
      return "true";
    case Verdict::No:
      return "false";
    case Verdict::Maybe:
      return "maybe";
    case Verdict::TimedOut:
      return "timed out";
  }
  return "maybe";
}

const char* one_shot_word(Verdict v) {
  switch (v) {
    case Verdict::Yes:
      return "YES";
    case Verdict::No:
      return "NO";
    case Verdict::Maybe:
      return "MAYBE";
    case Verdict::TimedOut:
      return "TIMEOUT";
  }
  return "MAYBE";
}

const char* file_word(Verdict v) {
  return v == Verdict::Yes ? "YES" : v == Verdict::No ? "NO" : "MAYBE";
}

std::string one_line(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

bool is_period_line(const std::string& line) {
  std::size_t first = line.find_first_not_of(" \t\r");
  return first != std::string::npos && line[first] == '.' &&
         line.find_first_not_of(" \t\r", first + 1) == std::string::npos;
}

// Returns: the answer to the question text; throws ParseError when it is malformed.
Answer answer(Prover& prover, const std::string& text, const Options& options) {
  Deadline deadline(options.timeout_ms);
  Trs trs = parse_problem(text);
  return prover.decide(trs, deadline);
}

}  // namespace

int run_persistent(std::istream& in, std::ostream& out, std::ostream& err, const Options& options) {
  Prover prover(options.trace ? &err : nullptr);
  std::string question, line;
  while (std::getline(in, line)) {
    if (!is_period_line(line)) {
      question += line + '\n';
      continue;
    }
    auto start = std::chrono::steady_clock::now();
    Answer a;
    try {
      a = answer(prover, question, options);
    } catch (const ParseError& e) {
      err << "korvath-termination: malformed question: " << e.what() << '\n';
      return 2;
    }
    std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.3f", took.count());
    out << persistent_word(a.verdict) << '\n' << one_line(a.summary) << '\n' << ms << std::endl;
    question.clear();
  }
  return 0;
}

int run_one_shot(std::istream& in, std::ostream& out, std::ostream& err, const Options& options) {
  std::stringstream text;
  text << in.rdbuf();
  Prover prover(options.trace ? &err : nullptr);
  try {
    out << one_shot_word(answer(prover, text.str(), options).verdict) << std::endl;
  } catch (const ParseError& e) {
    err << "korvath-termination: malformed question: " << e.what() << '\n';
    return 2;
  }
  return 0;
}

int run_files(std::ostream& out, std::ostream& err, const Options& options) {
  Prover prover(options.trace ? &err : nullptr);
  int status = 0;
  for (std::size_t i = 0; i < options.files.size(); ++i) {
    const std::string& file = options.files[i];
    std::ifstream stream(file);
    if (!stream) {
      err << "korvath-termination: cannot read " << file << '\n';
      status = 2;
      continue;
    }
    std::stringstream text;
    text << stream.rdbuf();
    try {
      Answer a = answer(prover, text.str(), options);
      if (i > 0) out << '\n';
      out << file_word(a.verdict) << '\n'
          << "problem: " << file << '\n'
          << "method: " << one_line(a.summary) << '\n'
          << a.proof << std::flush;
    } catch (const ParseError& e) {
      err << "korvath-termination: " << file << ": " << e.what() << '\n';
      status = 2;
    }
  }
  return status;
}

}  // namespace Termination
