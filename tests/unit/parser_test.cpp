#include "io/parser.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/failure.hpp"
#include "io/print.hpp"

namespace {

using Terms::app;
using Terms::constant;
using Terms::var;

std::vector<Tptp::Clause> parse(const std::string& text) {
  Lexer::Buffer buffer(text, "p.tptp");
  return Parser::start(buffer);
}

// The clauses printed one per line with their formulas, or "error: " and the message.
std::string read(const std::string& text) {
  try {
    std::string out;
    for (const Tptp::Clause& c : parse(text)) {
      if (!out.empty()) out += " | ";
      out += c.name + "," + Print::string_of_status(c.status) + ":";
      for (const Tptp::Formula& f : c.formulas) {
        out += ' ';
        out += Print::string_of_formula(f);
      }
    }
    return out;
  } catch (const Korvath::SystemError& e) {
    return "error: " + e.description();
  }
}

bool is_syntax_error(const std::string& text) {
  return read(text).rfind("error: Syntax error in p.tptp at line ", 0) == 0;
}

struct Case {
  const char* input;
  const char* clauses;
};

TEST(ParserTest, AcceptedInputs) {
  const Case cases[] = {
      {"input_clause(c1,axiom,[++equal(a,b)]).", "c1,axiom: ++equal(a,b)"},
      {"input_clause(left_identity, axiom, [++equal(f(e,X), X)]).\n",
       "left_identity,axiom: ++equal(f(e,X0),X0)"},
      {"input_clause(a1,axiom,[++equal(a,b)]).input_clause(h,hypothesis,[++equal(c,d)]).",
       "a1,axiom: ++equal(a,b) | h,hypothesis: ++equal(c,d)"},
      {"input_clause(c,conjecture,[++equal(a,b),--equal(c,d)]).",
       "c,conjecture: ++equal(a,b) --equal(c,d)"},
      {"input_clause(c,axiom,[+++equal(a,b)]).", "c,axiom: ++equal(a,b)"},
      {"input_clause(c,axiom,[++equal(Equal,b)]).", "c,axiom: ++equal(Equal0,b)"},
      {"input_clause(axioms,axiom,[++equal(g(a,f(Y,Z),b),h(h(h(X))))]).",
       "axioms,axiom: ++equal(g(a,f(Y0,Z0),b),h(h(h(X0))))"},
      {"% header\n# more\ninput_clause ( c , axiom , [ ++ equal ( a , b ) ] ) . % end\n",
       "c,axiom: ++equal(a,b)"},
      {"input_clause(_c,axiom,[++equal(a,b)]).", "c,axiom: ++equal(a,b)"},
      {"input_clause(c,axiom,[++equal(a,b)]).\n% done\n", "c,axiom: ++equal(a,b)"},
      {"input_clause(c,axiom,[++equal(f(g(a),b),f(X,g(Y)))]).",
       "c,axiom: ++equal(f(g(a),b),f(X0,g(Y0)))"},
  };
  for (const Case& c : cases) EXPECT_EQ(read(c.input), c.clauses) << c.input;
}

TEST(ParserTest, RejectedInputs) {
  const char* cases[] = {
      "",
      "% only a comment\n",
      "input_clause(c,axiom,[]).",
      "input_clause(c,axiom,[++equal(a,b)]).\n% done",
      "input_clause(1,axiom,[++equal(a,b)]).",
      "input_clause(c,axiom,[++equal(f(X(a)),b)]).",
      "input_clause(c,axiom,[+ +equal(a,b)]).",
      "input_clause(c,axiom,[++equal(equal,b)]).",
      "input_clause(axiom,axiom,[++equal(a,b)]).",
      "input_clause(c,axiom,[++equal(axiom,b)]).",
      "input_clause(C,axiom,[++equal(a,b)]).",
      "input_clause(c,lemma,[++equal(a,b)]).",
      "input_clause(c,axiom,[++equal(f(1),b)]).",
      "input_clause(c,axiom,[++equal(f(),b)]).",
      "input_clause(c,axiom,[++equal(f(a,),b)]).",
      "input_clause(c,axiom,[++equal(a,b)])",
      "input_clause(c,axiom,[++equal(a,b)]).input_clause",
      "input_clause(c,axiom,[++equal(a,b),]).",
      "input_clause(c,axiom,[++equal(a)]).",
      "input_clause(c,axiom,[++equal(a,b,c)]).",
      "input_clause(c,axiom,[equal(a,b)]).",
      "input_clause(c,axiom,[++equal(a,b)]).x",
      "input_clause(c,axiom,[++equal(f(a,b)]).",
  };
  for (const char* c : cases) EXPECT_TRUE(is_syntax_error(c)) << c << " -> " << read(c);
}

TEST(ParserTest, SyntaxErrorsNameThePlaceAndTheToken) {
  EXPECT_EQ(read("input_clause(c,axiom,[++equal(a,b)]).\n% done"),
            "error: Syntax error in p.tptp at line 2, column 3: unexpected 'done', expected "
            "'input_clause'");
  EXPECT_EQ(read("input_clause(c,axiom,\n  [++equal(f(X(a)),b)])."),
            "error: Syntax error in p.tptp at line 2, column 15: unexpected '(', expected ',' or "
            "')'");
  EXPECT_EQ(read("input_clause(c,axiom,[++equal(a,b)])"),
            "error: Syntax error in p.tptp at line 1, column 37: unexpected end of file, expected "
            "'.'");
  EXPECT_EQ(read("input_clause(Name,axiom,[++equal(a,b)])."),
            "error: Syntax error in p.tptp at line 1, column 14: unexpected 'Name', expected a "
            "lower-case name");
  EXPECT_EQ(read(""),
            "error: Syntax error in p.tptp at line 1, column 1: unexpected end of file, expected "
            "'input_clause'");
  EXPECT_EQ(read("input_clause(c,axiom,[++equal(equal,b)])."),
            "error: Syntax error in p.tptp at line 1, column 31: unexpected 'equal', expected a "
            "term");
}

TEST(ParserTest, BuildsSharedTermsInOrder) {
  auto clauses = parse(
      "input_clause(c1,axiom,[++equal(g(a,f(Y,Z),b),X)]).\n"
      "input_clause(c2,conjecture,[--equal(X,Y)]).");
  ASSERT_EQ(clauses.size(), 2u);
  EXPECT_EQ(clauses[0].name, "c1");
  EXPECT_EQ(clauses[0].status, Tptp::ClauseStatus::Axiom);
  const Tptp::Formula& f = clauses[0].formulas.at(0);
  EXPECT_TRUE(f.positive);
  EXPECT_EQ(f.left, app("g", {constant("a"), app("f", {var("Y", 0), var("Z", 0)}), constant("b")}));
  EXPECT_EQ(f.right, var("X", 0));
  const Tptp::Formula& g = clauses[1].formulas.at(0);
  EXPECT_FALSE(g.positive);
  EXPECT_EQ(clauses[1].status, Tptp::ClauseStatus::Conjecture);
  EXPECT_EQ(g.left, f.right);  // the same variable across clauses
  EXPECT_EQ(g.right, var("Y", 0));
}

TEST(ParserTest, PrintsAClauseReadBack) {
  auto clauses = parse("input_clause(c,conjecture,[--equal(f(X,Y),f(Y,X))]).");
  EXPECT_EQ(Print::string_of_clause(clauses.at(0)),
            "input_clause(c,conjecture,\n\t[ --equal(f(X0,Y0),f(Y0,X0)) ]).");
}

std::string nested(long depth, const std::string& leaf = "a") {
  std::string text;
  for (long i = 1; i < depth; ++i) text += "f(";
  text += leaf;
  text += std::string(depth - 1, ')');
  return text;
}

TEST(ParserTest, DeepTermsUpToTheLimit) {
  auto clauses = parse("input_clause(c,axiom,[++equal(" + nested(Parser::kMaxTermDepth) + ",b)]).");
  EXPECT_EQ(clauses.at(0).formulas.at(0).left.depth(), Parser::kMaxTermDepth);
}

TEST(ParserTest, RefusesTermsDeeperThanTheLimit) {
  EXPECT_EQ(read("input_clause(c,axiom,[++equal(b," + nested(Parser::kMaxTermDepth + 1) + ")])."),
            "error: Unsupported input in p.tptp: term nested deeper than 10000 levels at line 1, "
            "column 20031");
  // A million levels, unclosed or closed: a clean error, no exhausted stack.
  std::string million = "input_clause(c,axiom,[++equal(" + nested(1000000) + ",b)]).";
  EXPECT_NE(read(million).find("term nested deeper than 10000 levels"), std::string::npos);
  EXPECT_NE(read("input_clause(c,axiom,[++equal(" + std::string(3000000, '(') + "f" +
                 std::string(1000000, '(') + "f(")
                .find("Syntax error"),
            std::string::npos);
  std::string opens;
  for (int i = 0; i < 1000000; ++i) opens += "f(";
  EXPECT_NE(read("input_clause(c,axiom,[++equal(" + opens).find("deeper than 10000"),
            std::string::npos);
}

TEST(ParserTest, WideTermsAndLongNames) {
  std::string args = "a";
  for (int i = 0; i < 100000; ++i) args += ",X" + std::to_string(i % 7);
  auto clauses = parse("input_clause(c,axiom,[++equal(f(" + args + "),b)]).");
  EXPECT_EQ(clauses.at(0).formulas.at(0).left.arity(), 100001u);
  std::string name(10000, 'n');
  auto named = parse("input_clause(" + name + ",axiom,[++equal(" + name + ",Z" + name + ")]).");
  EXPECT_EQ(named.at(0).name, name);
  EXPECT_EQ(named.at(0).formulas.at(0).left, constant(name));
}

}  // namespace
