// A term rewriting system as one question poses it: the signature, the bank holding every term,
// the names of the declared variables and the rules in input order.
//
// Variables are numbered by their position in the question's variable declaration; a variable
// made later (renaming apart, fresh variables of the graph estimation) gets a number past the
// declared ones and prints as "_N". Variables are local to a rule, so two rules may share numbers.
#pragma once

#include <string>
#include <vector>

#include "term.hpp"

namespace Termination {

struct Rule {
  TermId lhs;
  TermId rhs;
};

struct Trs {
  Signature signature;
  TermBank bank;
  std::vector<std::string> variable_names;
  std::vector<Rule> rules;

  // Returns: the printable name of variable v.
  std::string variable_name(VarId v) const;
};

}  // namespace Termination
