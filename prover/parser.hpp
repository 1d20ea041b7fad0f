// Reader of the question text: a variable declaration and a rule list.
//
//   (VAR X0 Y0)
//   (RULES
//   f(X0,e) -> X0
//   g(a) -> b)
//
// The reader is a recursive descent over tokens: identifiers (letters, digits, underscores,
// apostrophes), "(", ")", "," and "->". Whitespace and line breaks between tokens carry no meaning,
// so the ")" that closes the rule list may follow the last rule directly. The declaration may be
// empty or missing (ground systems). An identifier is a variable exactly when it is declared;
// every other identifier is a function symbol whose arity is fixed by its first use. Anything
// else — a declared variable applied to arguments, a symbol used with two arities, a missing
// arrow, text after the rule list — is an error with a message naming the line.
#pragma once

#include <stdexcept>
#include <string>

#include "trs.hpp"

namespace Termination {

class ParseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Returns: the rewrite system the text describes. Throws: ParseError on malformed text.
Trs parse_problem(const std::string& text);

}  // namespace Termination
