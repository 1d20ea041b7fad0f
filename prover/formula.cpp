// Gates with constant folding and sharing; ripple-carry adders, shift-and-add multipliers and
// most-significant-bit-first comparators (see formula.hpp).
#include "formula.hpp"

#include <algorithm>

namespace Termination {
namespace {

class DeadlineTerminator : public CaDiCaL::Terminator {
 public:
  explicit DeadlineTerminator(const Deadline& deadline) : deadline_(deadline) {}
  bool terminate() override { return deadline_.expired(); }

 private:
  const Deadline& deadline_;
};

Lit bit(const Bits& a, std::size_t i) {
  return i < a.size() ? a[i] : Formula::bottom();
}

void trim(Bits& a) {
  while (!a.empty() && a.back() == Formula::bottom()) a.pop_back();
}

}  // namespace

Formula::Formula() : solver_(std::make_unique<CaDiCaL::Solver>()) {
  solver_->set("quiet", 1);  // the solver must never write to our standard output
  solver_->add(1);
  solver_->add(0);
}

Formula::~Formula() = default;

Lit Formula::fresh() {
  return ++variables_;
}

void Formula::clause(const std::vector<Lit>& lits) {
  for (Lit a : lits)
    if (a == top()) return;
  for (Lit a : lits)
    if (a != bottom()) solver_->add(a);
  solver_->add(0);
}

Lit Formula::conj(Lit a, Lit b) {
  if (a == bottom() || b == bottom() || a == -b) return bottom();
  if (a == top() || a == b) return b;
  if (b == top()) return a;
  if (a > b) std::swap(a, b);
  auto [it, inserted] = gates_.try_emplace({'&', a, b}, 0);
  if (!inserted) return it->second;
  Lit g = fresh();
  it->second = g;
  clause({-g, a});
  clause({-g, b});
  clause({g, -a, -b});
  return g;
}

Lit Formula::conj(const std::vector<Lit>& lits) {
  Lit g = top();
  for (Lit a : lits) g = conj(g, a);
  return g;
}

Lit Formula::disj(const std::vector<Lit>& lits) {
  Lit g = bottom();
  for (Lit a : lits) g = disj(g, a);
  return g;
}

Lit Formula::xor_gate(Lit a, Lit b) {
  if (a == bottom()) return b;
  if (b == bottom()) return a;
  if (a == top()) return -b;
  if (b == top()) return -a;
  if (a == b) return bottom();
  if (a == -b) return top();
  bool negate = false;
  if (a < 0) a = -a, negate = !negate;
  if (b < 0) b = -b, negate = !negate;
  if (a > b) std::swap(a, b);
  auto [it, inserted] = gates_.try_emplace({'^', a, b}, 0);
  if (inserted) {
    Lit g = fresh();
    it->second = g;
    clause({-g, a, b});
    clause({-g, -a, -b});
    clause({g, -a, b});
    clause({g, a, -b});
  }
  return negate ? -it->second : it->second;
}

Lit Formula::iff(Lit a, Lit b) {
  return -xor_gate(a, b);
}

std::pair<Lit, Lit> Formula::full_adder(Lit a, Lit b, Lit c) {
  Lit sum = xor_gate(xor_gate(a, b), c);
  Lit carry = disj(conj(a, b), conj(c, xor_gate(a, b)));
  return {sum, carry};
}

Bits Formula::constant(std::uint64_t v) const {
  Bits out;
  for (; v != 0; v >>= 1) out.push_back((v & 1) ? top() : bottom());
  return out;
}

Bits Formula::number(int width) {
  Bits out;
  for (int i = 0; i < width; ++i) out.push_back(fresh());
  return out;
}

Bits Formula::add(const Bits& a, const Bits& b) {
  Bits out;
  Lit carry = bottom();
  std::size_t width = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < width; ++i) {
    auto [sum, next] = full_adder(bit(a, i), bit(b, i), carry);
    out.push_back(sum);
    carry = next;
  }
  out.push_back(carry);
  trim(out);
  return out;
}

Bits Formula::multiply(const Bits& a, const Bits& b) {
  Bits out;
  for (std::size_t j = 0; j < b.size(); ++j) {
    if (b[j] == bottom()) continue;
    Bits partial(j, bottom());
    for (Lit x : a) partial.push_back(conj(x, b[j]));
    out = add(out, partial);
  }
  trim(out);
  return out;
}

Bits Formula::scale(const Bits& a, std::uint64_t k) {
  return multiply(a, constant(k));
}

Lit Formula::greater(const Bits& a, const Bits& b) {
  Lit gt = bottom();
  std::size_t width = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < width; ++i) {
    Lit x = bit(a, i), y = bit(b, i);
    gt = disj(conj(x, -y), conj(iff(x, y), gt));
  }
  return gt;
}

Lit Formula::equal(const Bits& a, const Bits& b) {
  Lit eq = top();
  std::size_t width = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < width; ++i) eq = conj(eq, iff(bit(a, i), bit(b, i)));
  return eq;
}

Lit Formula::is_zero(const Bits& a) {
  return -disj(a);
}

SatResult Formula::solve(const Deadline& deadline) {
  if (deadline.expired()) return SatResult::Interrupted;
  DeadlineTerminator terminator(deadline);
  solver_->reserve(variables_);  // makes every fresh variable valid for val()
  solver_->connect_terminator(&terminator);
  int result = solver_->solve();
  solver_->disconnect_terminator();
  if (result == 10) return SatResult::Satisfiable;
  if (result == 20) return SatResult::Unsatisfiable;
  return SatResult::Interrupted;
}

bool Formula::value(Lit a) const {
  if (a == top()) return true;
  if (a == bottom()) return false;
  return solver_->val(a) > 0;
}

std::uint64_t Formula::value(const Bits& a) const {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < a.size() && i < 64; ++i)
    if (value(a[i])) v |= std::uint64_t{1} << i;
  return v;
}

}  // namespace Termination
