// The reader of problem files (module Parser).
//
// Grammar (terminals are Lexer kinds):
//   start    -> clause+ EOF
//   clause   -> INPUT_CLAUSE ( LSYM , status , [ formula (, formula)* ] ) .
//   status   -> AXIOM | HYPOTHESIS | CONJECTURE
//   formula  -> (PLUSPLUS | MINUSMINUS) EQUAL ( term , term )
//   term     -> LSYM [ ( term (, term)* ) ] | USYM
// An upper-case identifier is the variable of that name with suffix 0; a lower-case one is a
// symbol, a constant when it has no argument list.  Names are kept as written (the same name is
// the same variable throughout the file).
#pragma once

#include <vector>

#include "io/lexer.hpp"
#include "io/tptp.hpp"

namespace Parser {

// The deepest term accepted, in levels (a constant or variable is one level, f(a) two).
// Deeper terms are refused so that no later recursive walk can exhaust the stack.
constexpr long kMaxTermDepth = 10000;

using TokenFunction = Lexer::Token (*)(Lexer::Buffer&);

// Reads the whole input and returns its clauses in file order.
// Throws Korvath::SystemError for text outside the grammar ("Syntax error in NAME at line L,
// column C: unexpected TOKEN") and for a term deeper than kMaxTermDepth, naming the buffer's
// source and the position.  Read errors of the buffer pass through.
std::vector<Tptp::Clause> start(TokenFunction lexer, Lexer::Buffer& buffer);
inline std::vector<Tptp::Clause> start(Lexer::Buffer& buffer) {
  return start(Lexer::token, buffer);
}

}  // namespace Parser
