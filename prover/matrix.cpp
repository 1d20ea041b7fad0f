// Evaluation of matrix interpretations with overflow checks (see matrix.hpp).
#include "matrix.hpp"

namespace Termination {
namespace {

bool checked_add(std::int64_t& target, std::int64_t a, std::int64_t b) {
  std::int64_t product;
  if (__builtin_mul_overflow(a, b, &product)) return false;
  return !__builtin_add_overflow(target, product, &target);
}

// Changes: target += m * v. Returns: false on overflow.
bool add_matrix_vector(Vector& target, const Matrix& m, const Vector& v, int d) {
  for (int i = 0; i < d; ++i)
    for (int k = 0; k < d; ++k)
      if (!checked_add(target[i], m[i * d + k], v[k])) return false;
  return true;
}

// Changes: target += a * b. Returns: false on overflow.
bool add_matrix_product(Matrix& target, const Matrix& a, const Matrix& b, int d) {
  for (int i = 0; i < d; ++i)
    for (int j = 0; j < d; ++j)
      for (int k = 0; k < d; ++k)
        if (!checked_add(target[i * d + j], a[i * d + k], b[k * d + j])) return false;
  return true;
}

bool at_least(const std::vector<std::int64_t>& a, const std::vector<std::int64_t>& b) {
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] < b[i]) return false;
  return true;
}

bool compare(const TermBank& bank, const MatrixInterpretation& interpretation, TermId l, TermId r,
             bool strict) {
  auto left = evaluate(bank, interpretation, l);
  auto right = evaluate(bank, interpretation, r);
  if (!left || !right || !at_least(left->constant, right->constant)) return false;
  if (strict && left->constant[0] <= right->constant[0]) return false;
  int d = interpretation.dimension;
  for (const auto& [x, m] : right->matrices) {
    auto it = left->matrices.find(x);
    if (!at_least(it == left->matrices.end() ? Matrix(d * d, 0) : it->second, m)) return false;
  }
  return true;
}

std::string render(const std::vector<std::int64_t>& values, int rows, int columns) {
  std::string out = rows > 1 ? "[" : "";
  for (int i = 0; i < rows; ++i) {
    out += i > 0 ? ",[" : "[";
    for (int j = 0; j < columns; ++j)
      out += (j > 0 ? "," : "") + std::to_string(values[i * columns + j]);
    out += "]";
  }
  return out + (rows > 1 ? "]" : "");
}

}  // namespace

bool well_formed(const Signature& signature, const MatrixInterpretation& interpretation) {
  int n = signature.size(), d = interpretation.dimension;
  if (d < 1 || static_cast<int>(interpretation.constants.size()) != n ||
      static_cast<int>(interpretation.matrices.size()) != n)
    return false;
  for (SymbolId f = 0; f < n; ++f) {
    const Vector& c = interpretation.constants[f];
    if (static_cast<int>(c.size()) != d) return false;
    for (std::int64_t v : c)
      if (v < 0) return false;
    if (static_cast<int>(interpretation.matrices[f].size()) != signature.arity(f)) return false;
    for (const Matrix& m : interpretation.matrices[f]) {
      if (static_cast<int>(m.size()) != d * d) return false;
      for (std::int64_t v : m)
        if (v < 0) return false;
    }
  }
  return true;
}

std::optional<AffineForm> evaluate(const TermBank& bank, const MatrixInterpretation& interpretation,
                                   TermId t) {
  int d = interpretation.dimension;
  AffineForm out;
  if (bank.is_variable(t)) {
    out.constant.assign(d, 0);
    Matrix identity(d * d, 0);
    for (int i = 0; i < d; ++i) identity[i * d + i] = 1;
    out.matrices[bank.variable_of(t)] = identity;
    return out;
  }
  SymbolId f = bank.symbol_of(t);
  out.constant = interpretation.constants[f];
  auto args = bank.args(t);
  for (std::size_t i = 0; i < args.size(); ++i) {
    const Matrix& m = interpretation.matrices[f][i];
    auto inner = evaluate(bank, interpretation, args[i]);
    if (!inner || !add_matrix_vector(out.constant, m, inner->constant, d)) return std::nullopt;
    for (const auto& [x, a] : inner->matrices) {
      auto [it, fresh] = out.matrices.try_emplace(x, Matrix(d * d, 0));
      if (!add_matrix_product(it->second, m, a, d)) return std::nullopt;
    }
  }
  return out;
}

bool weakly_decreasing(const TermBank& bank, const MatrixInterpretation& interpretation, TermId l,
                       TermId r) {
  return compare(bank, interpretation, l, r, false);
}

bool strictly_decreasing(const TermBank& bank, const MatrixInterpretation& interpretation, TermId l,
                         TermId r) {
  return compare(bank, interpretation, l, r, true);
}

bool strictly_monotone(const MatrixInterpretation& interpretation) {
  for (const auto& matrices : interpretation.matrices)
    for (const Matrix& m : matrices)
      if (m.empty() || m[0] < 1) return false;
  return true;
}

std::string describe_interpretation(const Signature& signature,
                                    const MatrixInterpretation& interpretation,
                                    const std::string& separator,
                                    const std::vector<SymbolId>& shown) {
  std::vector<SymbolId> symbols = shown;
  if (symbols.empty())
    for (SymbolId f = 0; f < signature.size(); ++f) symbols.push_back(f);
  int d = interpretation.dimension;
  std::string out;
  for (SymbolId f : symbols) {
    if (!out.empty()) out += separator;
    std::string lhs = "[" + signature.name(f) + "]", rhs;
    for (int i = 0; i < signature.arity(f); ++i) {
      lhs += (i == 0 ? "(x" : ",x") + std::to_string(i + 1);
      rhs += render(interpretation.matrices[f][i], d, d) + "*x" + std::to_string(i + 1) + " + ";
    }
    if (signature.arity(f) > 0) lhs += ")";
    out += lhs + " = " + rhs + render(interpretation.constants[f], 1, d);
  }
  return out;
}

bool matrix_orients(const Trs& trs, const MatrixProof& proof) {
  const MatrixInterpretation& interpretation = proof.interpretation;
  if (!well_formed(trs.signature, interpretation) || !strictly_monotone(interpretation))
    return false;
  for (const Rule& rule : trs.rules)
    if (!strictly_decreasing(trs.bank, interpretation, rule.lhs, rule.rhs)) return false;
  return true;
}

}  // namespace Termination
