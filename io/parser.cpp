// Parser: recursive descent with one token of lookahead.
//
// Clauses, statuses and formulas have a fixed shape and are read by straight-line code.  Terms
// nest, so they are read with an explicit stack of open applications instead of recursion: an
// identifier followed by "(" opens a level, a "," adds the finished term to the innermost open
// level, a ")" closes it into a new term.  The stack is bounded by kMaxTermDepth, so hostile
// input cannot exhaust the call stack here or in any later walk over the terms.
#include "io/parser.hpp"

#include <string>
#include <utility>

#include "driver/failure.hpp"
#include "terms/terms.hpp"

namespace Parser {

namespace {

using Lexer::Kind;
using Lexer::Token;

// What an expected token of this kind is called in messages.
std::string kind_name(Kind kind) {
  if (kind == Kind::LSYM) return "a lower-case name";
  if (kind == Kind::USYM) return "an upper-case name";
  return Lexer::describe(Token{kind, "", 0, 0});
}

class Reader {
 public:
  Reader(TokenFunction lexer, Lexer::Buffer& buffer)
      : lexer_(lexer), buffer_(buffer), look_(lexer(buffer)) {}

  std::vector<Tptp::Clause> clauses() {
    std::vector<Tptp::Clause> result;
    do {
      if (look_.kind != Kind::INPUT_CLAUSE) fail("'input_clause'");
      result.push_back(clause());
    } while (look_.kind != Kind::END_OF_FILE);
    return result;
  }

 private:
  // An application whose argument list is still being read.
  struct Open {
    Terms::Name symbol;
    std::vector<Terms::Term> args;
  };

  [[noreturn]] void fail(const std::string& expected) const {
    throw Korvath::SystemError("Syntax error in " + where(look_) + ": unexpected " +
                               Lexer::describe(look_) + ", expected " + expected);
  }

  std::string where(const Token& t) const {
    return buffer_.source_name() + " at line " + std::to_string(t.line) + ", column " +
           std::to_string(t.column);
  }

  Token next() {
    Token current = std::move(look_);
    look_ = lexer_(buffer_);
    return current;
  }

  Token expect(Kind kind) {
    if (look_.kind != kind) fail(kind_name(kind));
    return next();
  }

  Tptp::Clause clause() {
    expect(Kind::INPUT_CLAUSE);
    expect(Kind::LPAREN);
    std::string name = expect(Kind::LSYM).text;
    expect(Kind::COMMA);
    Tptp::ClauseStatus status = clause_status();
    expect(Kind::COMMA);
    expect(Kind::LBRACKET);
    std::vector<Tptp::Formula> formulas{formula()};
    while (look_.kind == Kind::COMMA) {
      next();
      formulas.push_back(formula());
    }
    expect(Kind::RBRACKET);
    expect(Kind::RPAREN);
    expect(Kind::DOT);
    return Tptp::Clause{std::move(name), status, std::move(formulas)};
  }

  Tptp::ClauseStatus clause_status() {
    switch (look_.kind) {
      case Kind::AXIOM:
        next();
        return Tptp::ClauseStatus::Axiom;
      case Kind::HYPOTHESIS:
        next();
        return Tptp::ClauseStatus::Hypothesis;
      case Kind::CONJECTURE:
        next();
        return Tptp::ClauseStatus::Conjecture;
      default:
        fail("'axiom', 'hypothesis' or 'conjecture'");
    }
  }

  Tptp::Formula formula() {
    bool positive = look_.kind == Kind::PLUSPLUS;
    if (!positive && look_.kind != Kind::MINUSMINUS) fail("'++' or '--'");
    next();
    expect(Kind::EQUAL);
    expect(Kind::LPAREN);
    Terms::Term left = term();
    expect(Kind::COMMA);
    Terms::Term right = term();
    expect(Kind::RPAREN);
    return Tptp::Formula{positive, std::move(left), std::move(right)};
  }

  Terms::Term term() {
    std::vector<Open> open;
    for (;;) {
      Terms::Term done;
      if (look_.kind == Kind::USYM) {
        done = Terms::var(next().text, 0);
      } else if (look_.kind != Kind::LSYM) {
        fail("a term");
      } else {
        Token symbol = next();
        if (look_.kind == Kind::LPAREN) {
          if (open.size() + 1 >= static_cast<size_t>(kMaxTermDepth))
            throw Korvath::SystemError(
                "Unsupported input in " + buffer_.source_name() + ": term nested deeper than " +
                std::to_string(kMaxTermDepth) + " levels at line " + std::to_string(symbol.line) +
                ", column " + std::to_string(symbol.column));
          next();
          open.push_back(Open{Terms::Name::intern(symbol.text), {}});
          continue;
        }
        done = Terms::constant(symbol.text);
      }
      // Close every level that this term finishes.
      for (;;) {
        if (open.empty()) return done;
        open.back().args.push_back(std::move(done));
        if (look_.kind == Kind::COMMA) {
          next();
          break;
        }
        if (look_.kind != Kind::RPAREN) fail("',' or ')'");
        next();
        done = Terms::app(open.back().symbol, std::move(open.back().args));
        open.pop_back();
      }
    }
  }

  TokenFunction lexer_;
  Lexer::Buffer& buffer_;
  Token look_;
};

}  // namespace

std::vector<Tptp::Clause> start(TokenFunction lexer, Lexer::Buffer& buffer) {
  return Reader(lexer, buffer).clauses();
}

}  // namespace Parser
