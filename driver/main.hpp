// The command line and the solving of one problem file (module Main).
#pragma once

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "io/tptp.hpp"
#include "terms/conjectures.hpp"
#include "terms/terms.hpp"

namespace Main {

std::string korvath_version();  // "1.1.0"

// Processes the command line from left to right and ends the process (status 0, or 2 after a
// command-line error).
[[noreturn]] void main(int argc, char** argv);

// A loaded problem file.
struct Problem {
  std::vector<Terms::Equation> equations;  // axioms then hypotheses, each reversed
  std::vector<Terms::Equation> axioms;     // axioms alone, reversed
  std::vector<Conjectures::Conjecture> conjectures;  // reversed
};

// Solves one problem file: load, then run.
void go(const std::string& path);

// Reads, classifies, converts and lists (at level debug) one problem file.
Problem load(const std::string& path);
// Trusted axioms, the engine run, the remaining conjectures and the closing line.
void run(const Problem& problem);

// Classification by status; each list in the reverse of file order.
std::tuple<std::vector<Tptp::Clause>, std::vector<Tptp::Clause>, std::vector<Tptp::Clause>>
separate(const std::vector<Tptp::Clause>& clauses);
// (positive, equation) of a single-formula clause; fails with "Positive unit clauses only".
std::pair<bool, Terms::Equation> equation_of_clause(bool negative_allowed,
                                                    const Tptp::Clause& clause);

}  // namespace Main
