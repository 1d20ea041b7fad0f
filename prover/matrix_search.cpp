// SAT encoding of matrix interpretations (see matrix_search.hpp).
#include "matrix_search.hpp"

#include <map>
#include <unordered_map>

#include "formula.hpp"
#include "order_constraints.hpp"
#include "usable_encoding.hpp"

namespace Termination {
namespace {

using BitsVector = std::vector<Bits>;  // d entries
using BitsMatrix = std::vector<Bits>;  // d * d entries, row-major

struct SymbolicAffine {
  BitsVector constant;
  std::map<VarId, BitsMatrix> matrices;
};

class MatrixEncoder {
 public:
  MatrixEncoder(Formula& formula, const Trs& trs, const MatrixShape& shape)
      : formula_(formula), trs_(trs), d_(shape.dimension) {
    for (SymbolId f = 0; f < trs.signature.size(); ++f) {
      BitsVector c;
      for (int i = 0; i < d_; ++i) c.push_back(formula.number(shape.constant_bits));
      constants_.push_back(std::move(c));
      std::vector<BitsMatrix> matrices;
      for (int a = 0; a < trs.signature.arity(f); ++a) {
        BitsMatrix m;
        for (int e = 0; e < d_ * d_; ++e) m.push_back(formula.number(shape.entry_bits));
        if (shape.monotone) m[0] = formula.add(m[0], formula.constant(1));
        matrices.push_back(std::move(m));
      }
      matrices_.push_back(std::move(matrices));
    }
  }

  Lit decreasing(const Rule& rule, bool strict) {
    const SymbolicAffine& l = form(rule.lhs);
    const SymbolicAffine& r = form(rule.rhs);
    std::vector<Lit> parts;
    for (int i = 0; i < d_; ++i)
      parts.push_back(formula_.greater_equal(l.constant[i], r.constant[i]));
    if (strict) parts.push_back(formula_.greater(l.constant[0], r.constant[0]));
    for (const auto& [x, m] : r.matrices) {
      auto it = l.matrices.find(x);
      for (int e = 0; e < d_ * d_; ++e)
        parts.push_back(
            formula_.greater_equal(it == l.matrices.end() ? Bits{} : it->second[e], m[e]));
    }
    return formula_.conj(parts);
  }

  MatrixInterpretation interpretation() const {
    MatrixInterpretation out;
    out.dimension = d_;
    for (SymbolId f = 0; f < trs_.signature.size(); ++f) {
      out.constants.push_back(values(constants_[f]));
      std::vector<Matrix> matrices;
      for (const BitsMatrix& m : matrices_[f]) matrices.push_back(values(m));
      out.matrices.push_back(std::move(matrices));
    }
    return out;
  }

  // Returns: for each of weak, whether its root's rules are usable for pairs when the arguments
  // with an all-zero matrix are filtered away.
  std::vector<Lit> usable(const std::vector<Rule>& weak, const std::vector<Rule>& pairs) {
    return encode_usable(formula_, trs_.bank, weak, pairs, [&](SymbolId f, int a) {
      std::vector<Lit> nonzero;
      for (const Bits& entry : matrices_[f][a]) nonzero.push_back(-formula_.is_zero(entry));
      return formula_.disj(nonzero);
    });
  }

 private:
  std::vector<std::int64_t> values(const std::vector<Bits>& entries) const {
    std::vector<std::int64_t> out;
    for (const Bits& b : entries) out.push_back(static_cast<std::int64_t>(formula_.value(b)));
    return out;
  }

  const SymbolicAffine& form(TermId t) {
    auto it = forms_.find(t);
    if (it != forms_.end()) return it->second;
    SymbolicAffine out = compute(t);
    return forms_.emplace(t, std::move(out)).first->second;
  }

  SymbolicAffine compute(TermId t) {
    const TermBank& bank = trs_.bank;
    SymbolicAffine out;
    if (bank.is_variable(t)) {
      out.constant.assign(d_, Bits{});
      BitsMatrix identity(d_ * d_, Bits{});
      for (int i = 0; i < d_; ++i) identity[i * d_ + i] = formula_.constant(1);
      out.matrices[bank.variable_of(t)] = identity;
      return out;
    }
    SymbolId f = bank.symbol_of(t);
    out.constant = constants_[f];
    std::vector<TermId> args = bank.copy_args(t);
    for (std::size_t a = 0; a < args.size(); ++a) {
      const BitsMatrix& m = matrices_[f][a];
      const SymbolicAffine& inner = form(args[a]);
      for (int i = 0; i < d_; ++i)
        for (int k = 0; k < d_; ++k)
          out.constant[i] =
              formula_.add(out.constant[i], formula_.multiply(m[i * d_ + k], inner.constant[k]));
      for (const auto& [x, b] : inner.matrices) {
        auto [it, fresh] = out.matrices.try_emplace(x, BitsMatrix(d_ * d_, Bits{}));
        BitsMatrix& target = it->second;
        for (int i = 0; i < d_; ++i)
          for (int j = 0; j < d_; ++j)
            for (int k = 0; k < d_; ++k)
              target[i * d_ + j] =
                  formula_.add(target[i * d_ + j], formula_.multiply(m[i * d_ + k], b[k * d_ + j]));
      }
    }
    return out;
  }

  Formula& formula_;
  const Trs& trs_;
  int d_;
  std::vector<BitsVector> constants_;
  std::vector<std::vector<BitsMatrix>> matrices_;
  std::unordered_map<TermId, SymbolicAffine> forms_;
};

}  // namespace

std::optional<MatrixInterpretation> find_matrix_interpretation(const Trs& trs,
                                                               const PolyConstraints& constraints,
                                                               const MatrixShape& shape,
                                                               const Deadline& deadline) {
  Formula formula;
  MatrixEncoder encoder(formula, trs, shape);
  if (!solve_interpretation_constraints(formula, encoder, constraints, deadline)) {
    return std::nullopt;
  }
  return encoder.interpretation();
}

}  // namespace Termination
