#include "io/lexer.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Lexer::Kind;

// The token stream of text, one word per token: identifiers as L:name / U:name, the rest by kind.
std::string lex(const std::string& text) {
  Lexer::Buffer buffer(text, "t");
  std::string out;
  for (;;) {
    Lexer::Token t = Lexer::token(buffer);
    if (!out.empty()) out += ' ';
    switch (t.kind) {
      case Kind::LSYM:
        out += "L:" + t.text;
        break;
      case Kind::USYM:
        out += "U:" + t.text;
        break;
      case Kind::INPUT_CLAUSE:
        out += "INPUT_CLAUSE";
        break;
      case Kind::AXIOM:
        out += "AXIOM";
        break;
      case Kind::HYPOTHESIS:
        out += "HYPOTHESIS";
        break;
      case Kind::CONJECTURE:
        out += "CONJECTURE";
        break;
      case Kind::EQUAL:
        out += "EQUAL";
        break;
      case Kind::LPAREN:
        out += "(";
        break;
      case Kind::RPAREN:
        out += ")";
        break;
      case Kind::LBRACKET:
        out += "[";
        break;
      case Kind::RBRACKET:
        out += "]";
        break;
      case Kind::PLUSPLUS:
        out += "++";
        break;
      case Kind::MINUSMINUS:
        out += "--";
        break;
      case Kind::COMMA:
        out += ",";
        break;
      case Kind::DOT:
        out += ".";
        break;
      case Kind::END_OF_FILE:
        out += "EOF";
        return out;
    }
  }
}

struct Case {
  const char* input;
  const char* tokens;
};

TEST(LexerTest, KeywordsAndIdentifiers) {
  const Case cases[] = {
      {"input_clause axiom hypothesis conjecture equal",
       "INPUT_CLAUSE AXIOM HYPOTHESIS CONJECTURE EQUAL EOF"},
      {"axioms Axiom equals input_clauses equal_1",
       "L:axioms U:Axiom L:equals L:input_clauses "
       "L:equal_1 EOF"},
      {"Equal EQUAL xAxiom", "U:Equal U:EQUAL L:xAxiom EOF"},
      {"f_1Ab X_y9", "L:f_1Ab U:X_y9 EOF"},
      {"axiomx", "L:axiomx EOF"},
      {"axiom(", "AXIOM ( EOF"},
  };
  for (const Case& c : cases) EXPECT_EQ(lex(c.input), c.tokens) << c.input;
}

TEST(LexerTest, PunctuationAndLongestMatch) {
  const Case cases[] = {
      {"()[].,", "( ) [ ] . , EOF"},
      {"++equal --equal", "++ EQUAL -- EQUAL EOF"},
      {"+++equal", "++ EQUAL EOF"},
      {"+ +equal", "EQUAL EOF"},
      {"----", "-- -- EOF"},
      {"+-+-", "EOF"},
      {"", "EOF"},
  };
  for (const Case& c : cases) EXPECT_EQ(lex(c.input), c.tokens) << c.input;
}

TEST(LexerTest, SkippedBytes) {
  const Case cases[] = {
      {"f(1)", "L:f ( ) EOF"},      {"_x", "L:x EOF"},
      {"1abc", "L:abc EOF"},        {"a=b!c", "L:a L:b L:c EOF"},
      {"\xc3\xa9t\xe9", "L:t EOF"}, {"a\fb\vc", "L:a L:b L:c EOF"},
      {"a \t\r\nb", "L:a L:b EOF"},
  };
  for (const Case& c : cases) EXPECT_EQ(lex(c.input), c.tokens) << c.input;
  EXPECT_EQ(lex(std::string("a\0b", 3)), "L:a L:b EOF");
}

TEST(LexerTest, Comments) {
  const Case cases[] = {
      {"% comment ( ]\na", "L:a EOF"},
      {"# comment\na", "L:a EOF"},
      {"a % c\nb # d\nc", "L:a L:b L:c EOF"},
      {"%\n", "EOF"},
      {"a\n% done\n", "L:a EOF"},
      // Without a final line feed the sign alone is skipped and the rest is read.
      {"a\n% done", "L:a L:done EOF"},
      {"a\n# x(y)", "L:a L:x ( L:y ) EOF"},
      {"%%%", "EOF"},
      {"% a\n%b", "L:b EOF"},
      {"%a %b\n", "EOF"},
      {"%a\r\nb", "L:b EOF"},
  };
  for (const Case& c : cases) EXPECT_EQ(lex(c.input), c.tokens) << c.input;
}

TEST(LexerTest, Positions) {
  Lexer::Buffer buffer("a\n  bc % x\n\t(", "t");
  std::vector<std::pair<long, long>> seen;
  for (;;) {
    Lexer::Token t = Lexer::token(buffer);
    seen.emplace_back(t.line, t.column);
    if (t.kind == Kind::END_OF_FILE) break;
  }
  std::vector<std::pair<long, long>> expected{{1, 1}, {2, 3}, {3, 2}, {3, 3}};
  EXPECT_EQ(seen, expected);
}

// Reads in chunks of a few bytes, so that tokens and comments straddle chunk boundaries.
TEST(LexerTest, ChunkedInputGivesTheSameTokens) {
  const std::string text =
      "input_clause(axioms_1, axiom, [++equal(f(X,Y), g(Y))]).\n% comment\n+++equal # x";
  for (size_t chunk : {1, 2, 3, 7}) {
    size_t at = 0;
    Lexer::Buffer buffer(
        [&](char* dest, size_t size) {
          size_t n = std::min({size, chunk, text.size() - at});
          text.copy(dest, n, at);
          at += n;
          return n;
        },
        "t");
    std::string out;
    for (;;) {
      Lexer::Token t = Lexer::token(buffer);
      out += std::to_string(static_cast<int>(t.kind)) + t.text + "@" + std::to_string(t.line) +
             ":" + std::to_string(t.column) + " ";
      if (t.kind == Kind::END_OF_FILE) break;
    }
    std::string whole;
    Lexer::Buffer reference(text, "t");
    for (;;) {
      Lexer::Token t = Lexer::token(reference);
      whole += std::to_string(static_cast<int>(t.kind)) + t.text + "@" + std::to_string(t.line) +
               ":" + std::to_string(t.column) + " ";
      if (t.kind == Kind::END_OF_FILE) break;
    }
    EXPECT_EQ(out, whole) << "chunk " << chunk;
  }
}

TEST(LexerTest, LongIdentifiersAndUnterminatedComments) {
  std::string name(10000, 'a');
  EXPECT_EQ(lex(name + " " + "Z" + name), "L:" + name + " U:Z" + name + " EOF");
  // A long last line of comment signs without a line feed is skipped byte by byte.
  EXPECT_EQ(lex("x\n" + std::string(200000, '%') + "y"), "L:x L:y EOF");
}

TEST(LexerTest, DescribesTokensForMessages) {
  EXPECT_EQ(Lexer::describe({Kind::LSYM, "done", 1, 1}), "'done'");
  EXPECT_EQ(Lexer::describe({Kind::AXIOM, "", 1, 1}), "'axiom'");
  EXPECT_EQ(Lexer::describe({Kind::END_OF_FILE, "", 1, 1}), "end of file");
  EXPECT_EQ(Lexer::describe({Kind::USYM, std::string(50, 'X'), 1, 1}),
            "'" + std::string(40, 'X') + "...' (50 characters)");
}

}  // namespace
