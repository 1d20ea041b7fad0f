// Loading a problem file: the file is read through to its end by the clause reader, the clauses
// are classified by status (each class in the reverse of file order, the order the engine
// expects), axioms and hypotheses become equations and conjectures become conjecture values,
// and the input is listed at level debug.  The listings are built only when they are shown.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "driver/debug.hpp"
#include "driver/failure.hpp"
#include "driver/main.hpp"
#include "io/lexer.hpp"
#include "io/parser.hpp"
#include "io/print.hpp"

namespace Main {
namespace {

// The platform's failure for a file: its path and the system's reason.
Korvath::SystemError file_error(const std::string& path, int error) {
  return Korvath::SystemError("Sys_error(\"" + path + ": " + std::strerror(error) + "\")");
}

// A file descriptor open for reading, closed on every way out.
class InputFile {
 public:
  // Opens path; throws the file's failure if it cannot be opened or is a directory.
  explicit InputFile(const std::string& path) : path_(path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) throw file_error(path, errno);
    struct stat info;
    if (::fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
      ::close(fd_);
      throw file_error(path, EISDIR);
    }
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() { ::close(fd_); }

  // Reads at most size bytes into dest; 0 at the end of the file.  Throws on a read error.
  size_t read(char* dest, size_t size) {
    for (;;) {
      ssize_t got = ::read(fd_, dest, size);
      if (got >= 0) return static_cast<size_t>(got);
      if (errno != EINTR) throw file_error(path_, errno);
    }
  }

 private:
  std::string path_;
  int fd_;
};

std::vector<Tptp::Clause> read_clauses(const std::string& path) {
  InputFile file(path);
  Lexer::Buffer buffer([&file](char* dest, size_t size) { return file.read(dest, size); }, path);
  return Parser::start(buffer);
}

std::string string_of_conjecture(const Conjectures::Conjecture& c) {
  return c.positive ? Print::string_of_equation(c.equation)
                    : Print::string_of_disequation(c.equation);
}

// One line per element, in list order.
template <class Element, class Render>
std::string lines(const std::vector<Element>& list, Render render) {
  return Print::string_of_relation(render, Print::f_empty, Print::f_empty, list);
}

void list_input(const std::vector<Tptp::Clause>& clauses,
                const std::vector<Terms::Equation>& axioms,
                const std::vector<Terms::Equation>& hypotheses,
                const std::vector<Conjectures::Conjecture>& conjectures) {
  using Debug::Level;
  Debug::debug_l(Level::debug,
                 [&] { return "Input clauses: \n" + lines(clauses, Print::string_of_clause); });
  if (!axioms.empty())
    Debug::debug_l(Level::debug,
                   [&] { return "Axioms: \n" + lines(axioms, Print::string_of_equation); });
  if (!hypotheses.empty())
    Debug::debug_l(Level::debug,
                   [&] { return "Hypotheses: \n" + lines(hypotheses, Print::string_of_equation); });
  if (!conjectures.empty())
    Debug::debug_l(Level::debug,
                   [&] { return "Conjectures: \n" + lines(conjectures, string_of_conjecture); });
}

}  // namespace

std::tuple<std::vector<Tptp::Clause>, std::vector<Tptp::Clause>, std::vector<Tptp::Clause>>
separate(const std::vector<Tptp::Clause>& clauses) {
  std::vector<Tptp::Clause> axioms, hypotheses, conjectures;
  for (const Tptp::Clause& c : clauses) {
    switch (c.status) {
      case Tptp::ClauseStatus::Axiom:
        axioms.push_back(c);
        break;
      case Tptp::ClauseStatus::Hypothesis:
        hypotheses.push_back(c);
        break;
      case Tptp::ClauseStatus::Conjecture:
        conjectures.push_back(c);
        break;
    }
  }
  // Putting each clause in front of its list leaves every list in reverse file order.
  std::reverse(axioms.begin(), axioms.end());
  std::reverse(hypotheses.begin(), hypotheses.end());
  std::reverse(conjectures.begin(), conjectures.end());
  return {std::move(axioms), std::move(hypotheses), std::move(conjectures)};
}

std::pair<bool, Terms::Equation> equation_of_clause(bool negative_allowed,
                                                    const Tptp::Clause& clause) {
  if (clause.formulas.size() != 1) throw Korvath::Failure("Positive unit clauses only");
  const Tptp::Formula& f = clause.formulas.front();
  if (!f.positive && !negative_allowed) throw Korvath::Failure("Positive unit clauses only");
  return {f.positive, Terms::Equation{f.left, f.right}};
}

Problem load(const std::string& path) {
  const std::vector<Tptp::Clause> clauses = read_clauses(path);
  const auto [axiom_clauses, hypothesis_clauses, conjecture_clauses] = separate(clauses);
  Problem problem;
  for (const Tptp::Clause& c : axiom_clauses)
    problem.axioms.push_back(equation_of_clause(false, c).second);
  std::vector<Terms::Equation> hypotheses;
  for (const Tptp::Clause& c : hypothesis_clauses)
    hypotheses.push_back(equation_of_clause(false, c).second);
  for (const Tptp::Clause& c : conjecture_clauses) {
    auto [positive, equation] = equation_of_clause(true, c);
    problem.conjectures.push_back(Conjectures::Conjecture{positive, std::move(equation)});
  }
  problem.equations = problem.axioms;
  problem.equations.insert(problem.equations.end(), hypotheses.begin(), hypotheses.end());
  list_input(clauses, problem.axioms, hypotheses, problem.conjectures);
  return problem;
}

}  // namespace Main
