// SAT encoding of linear interpretations (see poly_search.hpp).
#include "poly_search.hpp"

#include <map>
#include <unordered_map>

#include "formula.hpp"
#include "order_constraints.hpp"
#include "usable_encoding.hpp"

namespace Termination {
namespace {

struct SymbolicForm {
  Bits constant;
  std::map<VarId, Bits> coefficients;
};

class PolyEncoder {
 public:
  PolyEncoder(Formula& formula, const Trs& trs, const PolyShape& shape)
      : formula_(formula), trs_(trs) {
    for (SymbolId f = 0; f < trs.signature.size(); ++f) {
      constants_.push_back(formula.number(shape.constant_bits));
      std::vector<Bits> coefficients;
      for (int i = 0; i < trs.signature.arity(f); ++i) {
        Bits a = formula.number(shape.coefficient_bits);
        coefficients.push_back(shape.monotone ? formula.add(a, formula.constant(1)) : a);
      }
      coefficients_.push_back(std::move(coefficients));
    }
  }

  // Returns: the literal for [l] >= [r] (strict: [l] > [r]).
  Lit decreasing(const Rule& rule, bool strict) {
    const SymbolicForm& l = form(rule.lhs);
    const SymbolicForm& r = form(rule.rhs);
    std::vector<Lit> parts;
    parts.push_back(strict ? formula_.greater(l.constant, r.constant)
                           : formula_.greater_equal(l.constant, r.constant));
    for (const auto& [x, b] : r.coefficients) {
      auto it = l.coefficients.find(x);
      parts.push_back(formula_.greater_equal(it == l.coefficients.end() ? Bits{} : it->second, b));
    }
    return formula_.conj(parts);
  }

  // Returns: for each of weak, the literal "its root symbol's rules are usable for pairs with
  // respect to the zero-coefficient filtering".
  std::vector<Lit> usable(const std::vector<Rule>& weak, const std::vector<Rule>& pairs) {
    return encode_usable(formula_, trs_.bank, weak, pairs,
                         [&](SymbolId f, int i) { return -formula_.is_zero(coefficients_[f][i]); });
  }

  LinearInterpretation interpretation() const {
    LinearInterpretation out;
    for (SymbolId f = 0; f < trs_.signature.size(); ++f) {
      out.constants.push_back(static_cast<std::int64_t>(formula_.value(constants_[f])));
      std::vector<std::int64_t> coefficients;
      for (const Bits& a : coefficients_[f])
        coefficients.push_back(static_cast<std::int64_t>(formula_.value(a)));
      out.coefficients.push_back(std::move(coefficients));
    }
    return out;
  }

 private:
  const SymbolicForm& form(TermId t) {
    auto it = forms_.find(t);
    if (it != forms_.end()) return it->second;
    SymbolicForm out = compute(t);
    return forms_.emplace(t, std::move(out)).first->second;
  }

  SymbolicForm compute(TermId t) {
    const TermBank& bank = trs_.bank;
    SymbolicForm out;
    if (bank.is_variable(t)) {
      out.coefficients[bank.variable_of(t)] = formula_.constant(1);
      return out;
    }
    SymbolId f = bank.symbol_of(t);
    out.constant = constants_[f];
    const auto& args = bank.args(t);
    for (std::size_t i = 0; i < args.size(); ++i) {
      const Bits& a = coefficients_[f][i];
      const SymbolicForm& inner = form(args[i]);
      out.constant = formula_.add(out.constant, formula_.multiply(a, inner.constant));
      for (const auto& [x, b] : inner.coefficients)
        out.coefficients[x] = formula_.add(out.coefficients[x], formula_.multiply(a, b));
    }
    return out;
  }

  Formula& formula_;
  const Trs& trs_;
  std::vector<Bits> constants_;
  std::vector<std::vector<Bits>> coefficients_;
  std::unordered_map<TermId, SymbolicForm> forms_;
};

}  // namespace

std::optional<LinearInterpretation> find_linear_interpretation(const Trs& trs,
                                                               const PolyConstraints& constraints,
                                                               const PolyShape& shape,
                                                               const Deadline& deadline) {
  Formula formula;
  PolyEncoder encoder(formula, trs, shape);
  if (!solve_interpretation_constraints(formula, encoder, constraints, deadline)) {
    return std::nullopt;
  }
  return encoder.interpretation();
}

}  // namespace Termination
