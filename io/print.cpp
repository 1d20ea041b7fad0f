// Renderings.  Terms are written by an explicit-stack walk so that deep terms cannot exhaust the
// call stack.
#include "io/print.hpp"

namespace Print {

std::string string_of_suffix(long suffix) { return std::to_string(suffix); }

std::string string_of_variable(const Terms::Name& name, long suffix) {
  return name.str() + string_of_suffix(suffix);
}

std::string string_of_variable(const Terms::Variable& v) {
  return string_of_variable(v.name, v.suffix);
}

void append_term(std::string& out, const Terms::Term& root) {
  // Each entry is a term still to write, or (null term) a closing text to emit.
  struct Item {
    const Terms::Term* term;
    char close;  // ')' or ',' when term is null
  };
  std::vector<Item> work{{&root, 0}};
  while (!work.empty()) {
    Item item = work.back();
    work.pop_back();
    if (item.term == nullptr) {
      out.push_back(item.close);
      continue;
    }
    const Terms::Term& t = *item.term;
    out += t.name().str();
    if (t.is_var()) {
      out += std::to_string(t.suffix());
      continue;
    }
    auto args = t.args();
    if (args.empty()) continue;
    out.push_back('(');
    work.push_back({nullptr, ')'});
    for (size_t i = args.size(); i-- > 0;) {
      work.push_back({&args[i], 0});
      if (i > 0) work.push_back({nullptr, ','});
    }
  }
}

std::string string_of_term(const Terms::Term& t) {
  std::string out;
  append_term(out, t);
  return out;
}

namespace {

std::string pair_text(const Terms::Term& a, const char* separator, const Terms::Term& b) {
  std::string out;
  append_term(out, a);
  out += separator;
  append_term(out, b);
  return out;
}

}  // namespace

std::string string_of_equation(const Terms::Equation& e) { return pair_text(e.lhs, " = ", e.rhs); }
std::string string_of_disequation(const Terms::Equation& e) {
  return pair_text(e.lhs, " = ", e.rhs);
}
std::string string_of_identity(const Terms::Equation& e) { return pair_text(e.lhs, " = ", e.rhs); }
std::string string_of_rule(const Terms::Rule& r) { return pair_text(r.lhs, " -> ", r.rhs); }
std::string string_of_rewrite(const Terms::Term& a, const Terms::Term& b) {
  return pair_text(a, " -->! ", b);
}
std::string string_of_rewrite_inv(const Terms::Term& a, const Terms::Term& b) {
  return pair_text(b, " !<-- ", a);
}

std::string f_empty(int) { return ""; }
std::string f_mark(int) { return ". "; }
std::string f_tab(int) { return "  "; }
std::string f_fresh(int) { return "+ "; }
std::string f_stale(int) { return "- "; }

std::string string_of_rules(const std::vector<Terms::Rule>& rules) {
  return string_of_relation(string_of_rule, f_empty, f_empty, rules);
}

std::string string_of_theory(const std::vector<std::pair<Terms::Equation, bool>>& equations) {
  std::vector<Terms::Equation> fresh;
  std::vector<Terms::Equation> stale;
  for (auto it = equations.rbegin(); it != equations.rend(); ++it)
    (it->second ? stale : fresh).push_back(it->first);
  std::string fresh_text = string_of_relation(string_of_identity, f_fresh, f_empty, fresh);
  std::string stale_text = string_of_relation(string_of_identity, f_stale, f_empty, stale);
  if (fresh_text.empty()) return stale_text;
  if (stale_text.empty()) return fresh_text;
  return fresh_text + "\n" + stale_text;
}

std::string string_of_vars_tpdb(const std::vector<Terms::Variable>& vars) {
  std::string out = "(VAR ";
  for (size_t i = 0; i < vars.size(); ++i) {
    if (i > 0) out.push_back(' ');
    out += string_of_variable(vars[i]);
  }
  out.push_back(')');
  return out;
}

std::string string_of_trs_tpdb(const std::vector<Terms::Rule>& rules) {
  return "(RULES \n" + string_of_rules(rules) + ")";
}

std::string string_of_status(Tptp::ClauseStatus status) {
  switch (status) {
    case Tptp::ClauseStatus::Axiom:
      return "axiom";
    case Tptp::ClauseStatus::Hypothesis:
      return "hypothesis";
    case Tptp::ClauseStatus::Conjecture:
      return "conjecture";
  }
  return "";
}

std::string string_of_formula(const Tptp::Formula& f) {
  return (f.positive ? "++equal(" : "--equal(") + pair_text(f.left, ",", f.right) + ")";
}

std::string string_of_clause(const Tptp::Clause& c) {
  std::string out = "input_clause(" + c.name + "," + string_of_status(c.status) + ",\n\t[ ";
  for (size_t i = 0; i < c.formulas.size(); ++i) {
    if (i > 0) out += ", ";
    out += string_of_formula(c.formulas[i]);
  }
  out += " ]).";
  return out;
}

}  // namespace Print
