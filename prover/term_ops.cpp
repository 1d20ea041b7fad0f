// Term operations. All walks are recursive; the terms of a question are shallow (a few dozen
// levels at most) and the narrowing search bounds the size of the terms it builds.
#include "term_ops.hpp"

#include <algorithm>

namespace Termination {

void collect_variables(const TermBank& bank, TermId t, std::vector<VarId>& out) {
  if (bank.is_variable(t)) {
    VarId v = bank.variable_of(t);
    if (std::find(out.begin(), out.end(), v) == out.end()) out.push_back(v);
    return;
  }
  for (TermId a : bank.args(t)) collect_variables(bank, a, out);
}

std::vector<VarId> variables_of(const TermBank& bank, TermId t) {
  std::vector<VarId> out;
  collect_variables(bank, t, out);
  return out;
}

int count_variable(const TermBank& bank, TermId t, VarId v) {
  if (bank.is_variable(t)) return bank.variable_of(t) == v ? 1 : 0;
  int n = 0;
  for (TermId a : bank.args(t)) n += count_variable(bank, a, v);
  return n;
}

bool is_subterm(const TermBank& bank, TermId s, TermId t) {
  if (s == t) return true;
  if (bank.size(s) >= bank.size(t) || bank.is_variable(t)) return false;
  for (TermId a : bank.args(t))
    if (is_subterm(bank, s, a)) return true;
  return false;
}

namespace {

void walk_positions(const TermBank& bank, TermId t, Position& here, bool with_variables,
                    std::vector<Position>& out) {
  if (bank.is_variable(t)) {
    if (with_variables) out.push_back(here);
    return;
  }
  out.push_back(here);
  const auto& args = bank.args(t);
  for (int i = 0; i < static_cast<int>(args.size()); ++i) {
    here.push_back(i);
    walk_positions(bank, args[i], here, with_variables, out);
    here.pop_back();
  }
}

}  // namespace

std::vector<Position> function_positions(const TermBank& bank, TermId t) {
  std::vector<Position> out;
  Position here;
  walk_positions(bank, t, here, false, out);
  return out;
}

std::vector<Position> all_positions(const TermBank& bank, TermId t) {
  std::vector<Position> out;
  Position here;
  walk_positions(bank, t, here, true, out);
  return out;
}

TermId subterm_at(const TermBank& bank, TermId t, const Position& p) {
  for (int i : p) t = bank.args(t)[i];
  return t;
}

namespace {

TermId replace_from(TermBank& bank, TermId t, const Position& p, std::size_t depth, TermId u) {
  if (depth == p.size()) return u;
  std::vector<TermId> args = bank.copy_args(t);
  args[p[depth]] = replace_from(bank, args[p[depth]], p, depth + 1, u);
  return bank.apply(bank.symbol_of(t), std::move(args));
}

}  // namespace

TermId replace_at(TermBank& bank, TermId t, const Position& p, TermId u) {
  return replace_from(bank, t, p, 0, u);
}

TermId apply(TermBank& bank, TermId t, const Substitution& sigma) {
  if (bank.is_variable(t)) {
    auto it = sigma.find(bank.variable_of(t));
    return it == sigma.end() ? t : it->second;
  }
  std::vector<TermId> args = bank.copy_args(t);
  bool changed = false;
  for (TermId& a : args) {
    TermId b = apply(bank, a, sigma);
    changed = changed || b != a;
    a = b;
  }
  return changed ? bank.apply(bank.symbol_of(t), std::move(args)) : t;
}

bool match(const TermBank& bank, TermId pattern, TermId t, Substitution& sigma) {
  if (bank.is_variable(pattern)) {
    auto [it, inserted] = sigma.emplace(bank.variable_of(pattern), t);
    return inserted || it->second == t;
  }
  if (bank.is_variable(t) || bank.symbol_of(t) != bank.symbol_of(pattern)) return false;
  const auto& ps = bank.args(pattern);
  const auto& ts = bank.args(t);
  for (std::size_t i = 0; i < ps.size(); ++i)
    if (!match(bank, ps[i], ts[i], sigma)) return false;
  return true;
}

namespace {

// Follows variable bindings of a triangular substitution to the representative term.
TermId walk(const TermBank& bank, TermId t, const Substitution& sigma) {
  while (bank.is_variable(t)) {
    auto it = sigma.find(bank.variable_of(t));
    if (it == sigma.end()) return t;
    t = it->second;
  }
  return t;
}

bool occurs(const TermBank& bank, VarId v, TermId t, const Substitution& sigma) {
  t = walk(bank, t, sigma);
  if (bank.is_variable(t)) return bank.variable_of(t) == v;
  for (TermId a : bank.args(t))
    if (occurs(bank, v, a, sigma)) return true;
  return false;
}

bool unify_into(const TermBank& bank, TermId s, TermId t, Substitution& sigma) {
  s = walk(bank, s, sigma);
  t = walk(bank, t, sigma);
  if (s == t) return true;
  if (bank.is_variable(s) || bank.is_variable(t)) {
    if (!bank.is_variable(s)) std::swap(s, t);
    if (occurs(bank, bank.variable_of(s), t, sigma)) return false;
    sigma.emplace(bank.variable_of(s), t);
    return true;
  }
  if (bank.symbol_of(s) != bank.symbol_of(t)) return false;
  const auto& ss = bank.args(s);
  const auto& ts = bank.args(t);
  for (std::size_t i = 0; i < ss.size(); ++i)
    if (!unify_into(bank, ss[i], ts[i], sigma)) return false;
  return true;
}

TermId resolve(TermBank& bank, TermId t, const Substitution& triangular) {
  t = walk(bank, t, triangular);
  if (bank.is_variable(t)) return t;
  std::vector<TermId> args = bank.copy_args(t);
  for (TermId& a : args) a = resolve(bank, a, triangular);
  return bank.apply(bank.symbol_of(t), std::move(args));
}

}  // namespace

std::optional<Substitution> unify(TermBank& bank, TermId s, TermId t) {
  Substitution triangular;
  if (!unify_into(bank, s, t, triangular)) return std::nullopt;
  Substitution result;
  for (const auto& [v, u] : triangular) result.emplace(v, resolve(bank, u, triangular));
  return result;
}

TermId rename_apart(TermBank& bank, TermId t, Substitution& renaming) {
  for (VarId v : variables_of(bank, t))
    if (!renaming.contains(v)) renaming.emplace(v, bank.variable(bank.fresh_variable()));
  return apply(bank, t, renaming);
}

std::string to_string(const Trs& trs, TermId t) {
  const TermBank& bank = trs.bank;
  if (bank.is_variable(t)) return trs.variable_name(bank.variable_of(t));
  std::string out = trs.signature.name(bank.symbol_of(t));
  const auto& args = bank.args(t);
  if (args.empty()) return out;
  out += '(';
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i > 0) out += ',';
    out += to_string(trs, args[i]);
  }
  return out + ')';
}

std::string position_to_string(const Position& p) {
  if (p.empty()) return "e";
  std::string out;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (i > 0) out += '.';
    out += std::to_string(p[i] + 1);
  }
  return out;
}

}  // namespace Termination
