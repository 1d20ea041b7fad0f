// Dispatch over proof kinds: check, render, remember and rebind (see proof.hpp).
#include "proof.hpp"

#include "dp_proof.hpp"
#include "term_ops.hpp"

namespace Termination {
namespace {

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

std::string rules_block(const Trs& trs) {
  std::string out;
  for (const Rule& rule : trs.rules)
    out += "  " + to_string(trs, rule.lhs) + " -> " + to_string(trs, rule.rhs) + "\n";
  return out;
}

// Maps each symbol of signature to its index in names, or -1.
std::vector<int> translation(const std::vector<std::string>& names, const Signature& signature) {
  std::vector<int> out(signature.size(), -1);
  for (SymbolId f = 0; f < signature.size(); ++f)
    for (std::size_t i = 0; i < names.size(); ++i)
      if (names[i] == signature.name(f)) out[f] = static_cast<int>(i);
  return out;
}

template <class T>
std::vector<T> translate(const std::vector<T>& values, const std::vector<int>& map, T missing) {
  std::vector<T> out;
  for (int i : map) out.push_back(i < 0 ? missing : values[i]);
  return out;
}

std::optional<LinearInterpretation> translate(const LinearInterpretation& old,
                                              const std::vector<int>& map,
                                              const Signature& signature) {
  LinearInterpretation out;
  for (SymbolId f = 0; f < signature.size(); ++f) {
    int i = map[f];
    if (i >= 0 && static_cast<int>(old.coefficients[i].size()) != signature.arity(f))
      return std::nullopt;
    out.constants.push_back(i < 0 ? 0 : old.constants[i]);
    out.coefficients.push_back(i < 0 ? std::vector<std::int64_t>(signature.arity(f), 1)
                                     : old.coefficients[i]);
  }
  return out;
}

std::optional<MatrixInterpretation> translate(const MatrixInterpretation& old,
                                              const std::vector<int>& map,
                                              const Signature& signature) {
  int d = old.dimension;
  Matrix identity(d * d, 0);
  for (int i = 0; i < d; ++i) identity[i * d + i] = 1;
  MatrixInterpretation out;
  out.dimension = d;
  for (SymbolId f = 0; f < signature.size(); ++f) {
    int i = map[f];
    if (i >= 0 && static_cast<int>(old.matrices[i].size()) != signature.arity(f))
      return std::nullopt;
    out.constants.push_back(i < 0 ? Vector(d, 0) : old.constants[i]);
    out.matrices.push_back(i < 0 ? std::vector<Matrix>(signature.arity(f), identity)
                                 : old.matrices[i]);
  }
  return out;
}

std::string describe_removal(const Trs& trs, const RemovalProof& proof) {
  std::string out;
  std::vector<Rule> rules = trs.rules;
  for (const LinearInterpretation& step : proof.steps) {
    out +=
        "every rule decreases weakly, the following strictly, in the monotone interpretation\n  " +
        describe_interpretation(trs.signature, step, "\n  ") + "\nremoved:\n";
    std::vector<Rule> left;
    for (const Rule& rule : rules) {
      if (strictly_decreasing(trs.bank, step, rule.lhs, rule.rhs))
        out += "  " + to_string(trs, rule.lhs) + " -> " + to_string(trs, rule.rhs) + "\n";
      else
        left.push_back(rule);
    }
    rules = std::move(left);
  }
  if (!proof.rest) return out + "no rules left\n";
  Trs rest = trs;
  rest.rules = rules;
  return out + "the rules left:\n" + rules_block(rest) + describe_dp_proof(rest, *proof.rest);
}

}  // namespace

bool check_proof(Trs& trs, const TerminationProof& proof) {
  return std::visit(Overloaded{
                        [&](const LpoProof& p) { return lpo_orients(trs, p); },
                        [&](const KboProof& p) { return kbo_orients(trs, p); },
                        [&](const PolyProof& p) { return poly_orients(trs, p); },
                        [&](const DpProof& p) { return check_dp_proof(trs, p); },
                        [&](const MatrixProof& p) { return matrix_orients(trs, p); },
                        [&](const RemovalProof& p) { return check_removal(trs, p); },
                    },
                    proof);
}

std::string summarize_proof(const Trs& trs, const TerminationProof& proof) {
  const Signature& sig = trs.signature;
  return std::visit(
      Overloaded{
          [&](const LpoProof& p) {
            if (has_status(p))
              return "RPO with precedence " + describe_precedence(sig, p.levels) + " and status " +
                     describe_status(sig, p);
            return "LPO with precedence " + describe_precedence(sig, p.levels);
          },
          [&](const KboProof& p) {
            return "KBO with precedence " + describe_precedence(sig, p.levels) + " and weights " +
                   describe_weights(sig, p);
          },
          [&](const PolyProof& p) {
            return "linear polynomial interpretation " +
                   describe_interpretation(sig, p.interpretation, ", ");
          },
          [&](const DpProof& p) {
            int count[4] = {0, 0, 0, 0};
            for (const DpStep& s : p.steps) ++count[static_cast<int>(s.processor)];
            return "dependency pairs: " + std::to_string(p.steps.size()) + " step(s), " +
                   std::to_string(count[0]) + " by the subterm criterion, " +
                   std::to_string(count[1]) + " by linear interpretations, " +
                   std::to_string(count[2]) + " by LPO with argument filtering, " +
                   std::to_string(count[3]) + " by matrix interpretations";
          },
          [&](const MatrixProof& p) {
            return "matrix interpretation " + describe_interpretation(sig, p.interpretation, ", ");
          },
          [&](const RemovalProof& p) {
            std::string out = "rule removal by " + std::to_string(p.steps.size()) +
                              " linear interpretation(s), then ";
            if (!p.rest) return out + "no rules left";
            auto left = rules_after_removal(trs, p);
            Trs rest = trs;
            if (left) rest.rules = *left;
            return out + summarize_proof(rest, *p.rest);
          },
      },
      proof);
}

std::string describe_proof(const Trs& trs, const TerminationProof& proof) {
  std::string out = "rules:\n" + rules_block(trs);
  const Signature& sig = trs.signature;
  return out +
         std::visit(
             Overloaded{
                 [&](const LpoProof& p) {
                   if (has_status(p))
                     return "every rule decreases in the recursive path order with precedence\n  " +
                            describe_precedence(sig, p.levels) +
                            "\nstatus (all others lexicographic left to right)\n  " +
                            describe_status(sig, p) + "\n";
                   return "every rule decreases in the lexicographic path order with "
                          "precedence\n  " +
                          describe_precedence(sig, p.levels) + "\n";
                 },
                 [&](const KboProof& p) {
                   return "every rule decreases in the Knuth-Bendix order with precedence\n  " +
                          describe_precedence(sig, p.levels) + "\nweights (variables 1)\n  " +
                          describe_weights(sig, p) + "\n";
                 },
                 [&](const PolyProof& p) {
                   return "every rule decreases in the linear interpretation\n  " +
                          describe_interpretation(sig, p.interpretation, "\n  ") + "\n";
                 },
                 [&](const DpProof& p) { return describe_dp_proof(trs, p); },
                 [&](const MatrixProof& p) {
                   return "every rule decreases in the matrix interpretation\n  " +
                          describe_interpretation(sig, p.interpretation, "\n  ") + "\n";
                 },
                 [&](const RemovalProof& p) { return describe_removal(trs, p); },
             },
             proof);
}

std::string technique_of(const TerminationProof& proof) {
  static const char* names[] = {"lpo", "kbo", "poly", "dp", "matrix", "removal"};
  return names[proof.index()];
}

CachedProof remember(const Signature& signature, const TerminationProof& proof) {
  CachedProof out{{}, proof};
  for (SymbolId f = 0; f < signature.size(); ++f) out.names.push_back(signature.name(f));
  return out;
}

std::optional<TerminationProof> rebind(const CachedProof& cached, const Signature& signature) {
  std::vector<int> map = translation(cached.names, signature);
  return std::visit(
      Overloaded{
          [&](const LpoProof& p) -> std::optional<TerminationProof> {
            LpoProof out{translate(p.levels, map, -1), {}};
            if (!p.status.empty()) out.status = translate(p.status, map, Status::LeftToRight);
            return out;
          },
          [&](const KboProof& p) -> std::optional<TerminationProof> {
            return KboProof{translate(p.weights, map, 1), translate(p.levels, map, -1)};
          },
          [&](const PolyProof& p) -> std::optional<TerminationProof> {
            auto interpretation = translate(p.interpretation, map, signature);
            if (!interpretation) return std::nullopt;
            return PolyProof{*interpretation};
          },
          [&](const DpProof&) -> std::optional<TerminationProof> { return std::nullopt; },
          [&](const RemovalProof&) -> std::optional<TerminationProof> { return std::nullopt; },
          [&](const MatrixProof& p) -> std::optional<TerminationProof> {
            auto interpretation = translate(p.interpretation, map, signature);
            if (!interpretation) return std::nullopt;
            return MatrixProof{*interpretation};
          },
      },
      cached.proof);
}

}  // namespace Termination
