// Propositional formulas and small binary arithmetic on top of CaDiCaL.
//
// The ordering searches describe their constraints as circuits: gates over literals and
// unsigned numbers held as little-endian vectors of literals. Every gate gets a fresh variable
// and the full Tseitin clauses (both directions), because the encoders use gates under both
// polarities. Variable 1 is constant true; gates fold constants and structurally equal gates are
// shared through a table, which keeps the memoised LPO/KBO encodings small. Arithmetic never
// overflows: sums and products widen as needed, so a model's numbers are exactly what the
// circuit says. The solver polls the question's deadline through the terminate callback.
#pragma once

#include <cadical.hpp>
#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "deadline.hpp"

namespace Termination {

using Lit = int;
using Bits = std::vector<Lit>;  // unsigned number, least significant bit first

enum class SatResult { Satisfiable, Unsatisfiable, Interrupted };

class Formula {
 public:
  Formula();
  ~Formula();
  Formula(const Formula&) = delete;
  Formula& operator=(const Formula&) = delete;

  static constexpr Lit top() { return 1; }
  static constexpr Lit bottom() { return -1; }
  // Returns: a fresh unconstrained literal.
  Lit fresh();
  // Changes: adds the clause (disjunction of lits) to the problem.
  void clause(const std::vector<Lit>& lits);
  // Changes: forces a to hold.
  void require(Lit a) { clause({a}); }

  Lit conj(Lit a, Lit b);
  Lit disj(Lit a, Lit b) { return -conj(-a, -b); }
  Lit conj(const std::vector<Lit>& lits);
  Lit disj(const std::vector<Lit>& lits);
  Lit iff(Lit a, Lit b);
  Lit ite(Lit c, Lit a, Lit b) { return disj(conj(c, a), conj(-c, b)); }

  // Returns: the constant v as bits.
  Bits constant(std::uint64_t v) const;
  // Returns: width fresh bits (a free number below 2^width).
  Bits number(int width);
  Bits add(const Bits& a, const Bits& b);
  Bits multiply(const Bits& a, const Bits& b);
  // Returns: a * k for a constant k.
  Bits scale(const Bits& a, std::uint64_t k);
  Lit greater(const Bits& a, const Bits& b);
  Lit greater_equal(const Bits& a, const Bits& b) { return -greater(b, a); }
  Lit equal(const Bits& a, const Bits& b);
  // Returns: true iff every bit of a is false (a == 0).
  Lit is_zero(const Bits& a);

  // Returns: the solver's answer; Interrupted when the deadline passed during the search.
  SatResult solve(const Deadline& deadline);
  // Needs: solve returned Satisfiable. Returns: the value of a in the model.
  bool value(Lit a) const;
  std::uint64_t value(const Bits& a) const;

 private:
  Lit xor_gate(Lit a, Lit b);
  std::pair<Lit, Lit> full_adder(Lit a, Lit b, Lit c);

  std::unique_ptr<CaDiCaL::Solver> solver_;
  int variables_ = 1;
  std::map<std::tuple<char, Lit, Lit>, Lit> gates_;
};

}  // namespace Termination
