// Text renderings of terms, rules, rule lists and clauses (module Print).
//
// One term syntax throughout: variables as name and decimal suffix (X0), constants bare,
// applications f(t1,t2) with commas and no spaces.  The same texts go into diagnostics and to the
// termination prover.  No rendering ends with a line feed.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "io/tptp.hpp"
#include "terms/terms.hpp"

namespace Print {

std::string string_of_suffix(long suffix);
std::string string_of_variable(const Terms::Name& name, long suffix);
std::string string_of_variable(const Terms::Variable& v);
std::string string_of_term(const Terms::Term& t);
// Appends the rendering of t to out (avoids temporaries in long listings).
void append_term(std::string& out, const Terms::Term& t);

std::string string_of_equation(const Terms::Equation& e);     // l = r
std::string string_of_disequation(const Terms::Equation& e);  // l = r
std::string string_of_identity(const Terms::Equation& e);     // l = r
std::string string_of_rule(const Terms::Rule& r);             // l -> r
std::string string_of_rewrite(const Terms::Term& a, const Terms::Term& b);      // a -->! b
std::string string_of_rewrite_inv(const Terms::Term& a, const Terms::Term& b);  // b !<-- a

// Line prefixes and suffixes for listings; each ignores the index.
std::string f_empty(int);
std::string f_mark(int);
std::string f_tab(int);
std::string f_fresh(int);
std::string f_stale(int);

// One line per element: prefix(n) + element(x) + suffix(n), joined by line feeds.
template <class Element, class Render, class Prefix, class Suffix>
std::string string_of_relation(Render&& render, Prefix&& prefix, Suffix&& suffix,
                               const std::vector<Element>& list) {
  std::string out;
  for (size_t n = 0; n < list.size(); ++n) {
    if (n > 0) out.push_back('\n');
    out += prefix(static_cast<int>(n));
    out += render(list[n]);
    out += suffix(static_cast<int>(n));
  }
  return out;
}

// A plain rule listing, one rule per line.
std::string string_of_rules(const std::vector<Terms::Rule>& rules);

// Fresh equations (reversed) with "+ ", then stale ones (reversed) with "- ".
std::string string_of_theory(const std::vector<std::pair<Terms::Equation, bool>>& equations);

// "(VAR X0 Y0)" and "(RULES \nl -> r\n...last -> rule)".
std::string string_of_vars_tpdb(const std::vector<Terms::Variable>& vars);
std::string string_of_trs_tpdb(const std::vector<Terms::Rule>& rules);

std::string string_of_status(Tptp::ClauseStatus status);
std::string string_of_formula(const Tptp::Formula& f);
std::string string_of_clause(const Tptp::Clause& c);

}  // namespace Print
