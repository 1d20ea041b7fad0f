// Reading of question texts: accepted shapes and rejected ones.
#include "parser.hpp"

#include <gtest/gtest.h>

#include "term_ops.hpp"

namespace Termination {
namespace {

std::string render(const Trs& trs) {
  std::string out;
  for (const Rule& rule : trs.rules)
    out += to_string(trs, rule.lhs) + " -> " + to_string(trs, rule.rhs) + ";";
  return out;
}

struct ValidCase {
  const char* text;
  const char* rules;  // rendered, each followed by ';'
  int variables;
};

TEST(Parser, ReadsValidQuestions) {
  const ValidCase cases[] = {
      {"(VAR X0 Y0)\n(RULES \nf(X0,e) -> X0\ng(a) -> b)\n", "f(X0,e) -> X0;g(a) -> b;", 2},
      {"(VAR )\n(RULES \ng(a) -> b)", "g(a) -> b;", 0},
      {"(RULES \ng(a) -> b)", "g(a) -> b;", 0},
      {"(VAR x y z)\n(RULES \nf(x) -> x)", "f(x) -> x;", 3},
      {"(VAR X12 left_inverse)\n(RULES \nf1(X12,left_inverse) -> X12)",
       "f1(X12,left_inverse) -> X12;", 2},
      {"\n\n  (VAR x)  \n\n(RULES\n\n  f( x , g(x) )  ->   x  \n\n)\n\n", "f(x,g(x)) -> x;", 1},
      {"(VAR x)\n(RULES \nf(f(x)) -> f(g(f(x))))", "f(f(x)) -> f(g(f(x)));", 1},
      {"(VAR x)\n(RULES \n)", "", 1},
      {"(VAR x)\n(RULES \nf(x) -> x\ng(x) -> f(x))", "f(x) -> x;g(x) -> f(x);", 1},
  };
  for (const ValidCase& c : cases) {
    SCOPED_TRACE(c.text);
    Trs trs = parse_problem(c.text);
    EXPECT_EQ(render(trs), c.rules);
    EXPECT_EQ(static_cast<int>(trs.variable_names.size()), c.variables);
  }
}

TEST(Parser, VariablesAreExactlyTheDeclaredIdentifiers) {
  Trs trs = parse_problem("(VAR x)\n(RULES \nf(x,y) -> y)");
  EXPECT_TRUE(trs.bank.is_variable(trs.bank.args(trs.rules[0].lhs)[0]));
  EXPECT_FALSE(trs.bank.is_variable(trs.rules[0].rhs));
  EXPECT_EQ(trs.signature.arity(trs.signature.find("y")), 0);
}

TEST(Parser, EqualTermsShareOneNode) {
  Trs trs = parse_problem("(VAR x)\n(RULES \nf(g(x)) -> h(g(x)))");
  EXPECT_EQ(trs.bank.args(trs.rules[0].lhs)[0], trs.bank.args(trs.rules[0].rhs)[0]);
}

struct InvalidCase {
  const char* text;
  const char* message;  // a part of the error message
};

TEST(Parser, RejectsMalformedQuestions) {
  const InvalidCase cases[] = {
      {"", "(RULES"},
      {"(VAR x)\n", "(RULES"},
      {"(VAR x)\n(RULES \nf(x) -> x\n", "missing \")\""},
      {"(VAR x)\n(RULES \nf(x) x)", "\"->\""},
      {"(VAR x)\n(RULES \nf(x -> x)", "\")\""},
      {"(VAR x)\n(RULES \nf(x) -> x(a))", "variable x applied"},
      {"(VAR x)\n(RULES \nf(x) -> f(x,x))", "symbol f used with 1 and 2"},
      {"(VAR x)\n(RULES \nf(x) -> x) trailing", "after the rule list"},
      {"(VAR x)\n(RULES \nf() -> x)", "empty argument list"},
      {"(VAR x\n(RULES \nf(x) -> x)", "identifier"},
      {"(VAR x)\n(RULES \nf(x) -> )", "identifier"},
  };
  for (const InvalidCase& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      parse_problem(c.text);
      ADD_FAILURE() << "accepted";
    } catch (const ParseError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace Termination
