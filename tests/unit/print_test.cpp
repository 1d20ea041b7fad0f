#include "io/print.hpp"

#include <gtest/gtest.h>

namespace {

using Terms::app;
using Terms::constant;
using Terms::Rule;
using Terms::Term;
using Terms::var;

TEST(PrintTest, Terms) {
  EXPECT_EQ(Print::string_of_term(constant("a")), "a");
  EXPECT_EQ(Print::string_of_term(app("f", {var("X", 0), constant("a")})), "f(X0,a)");
  EXPECT_EQ(Print::string_of_term(app("f", {app("g", {var("Y", 3)})})), "f(g(Y3))");
  EXPECT_EQ(Print::string_of_term(var("Y", 12)), "Y12");
  EXPECT_EQ(Print::string_of_term(var("Y", -2)), "Y-2");
}

TEST(PrintTest, Pairs) {
  Rule r{app("f", {var("X", 0), constant("e")}), var("X", 0)};
  EXPECT_EQ(Print::string_of_rule(r), "f(X0,e) -> X0");
  EXPECT_EQ(Print::string_of_identity(r), "f(X0,e) = X0");
  EXPECT_EQ(Print::string_of_equation(r), Print::string_of_disequation(r));
  EXPECT_EQ(Print::string_of_rewrite(constant("a"), constant("b")), "a -->! b");
  EXPECT_EQ(Print::string_of_rewrite_inv(constant("a"), constant("b")), "b !<-- a");
}

TEST(PrintTest, Listings) {
  std::vector<Rule> none;
  EXPECT_EQ(Print::string_of_relation(Print::string_of_rule, Print::f_empty, Print::f_empty, none),
            "");
  Rule r1{constant("a"), constant("b")};
  Rule r2{constant("c"), constant("d")};
  EXPECT_EQ(Print::string_of_relation(Print::string_of_rule, Print::f_tab, Print::f_empty,
                                      std::vector<Rule>{r1, r2}),
            "  a -> b\n  c -> d");
  auto e = [](const char* l) { return Rule{constant(l), constant("z")}; };
  EXPECT_EQ(Print::string_of_theory({{e("e1"), false}, {e("e2"), true}, {e("e3"), false}}),
            "+ e3 = z\n+ e1 = z\n- e2 = z");
  EXPECT_EQ(Print::string_of_theory({{e("e1"), true}, {e("e2"), true}}), "- e2 = z\n- e1 = z");
  EXPECT_EQ(Print::string_of_theory({}), "");
}

TEST(PrintTest, TerminationProblemTexts) {
  Terms::Variable x{Terms::Name::intern("X"), 0};
  Terms::Variable y{Terms::Name::intern("Y"), 0};
  EXPECT_EQ(Print::string_of_vars_tpdb({x, y}), "(VAR X0 Y0)");
  EXPECT_EQ(Print::string_of_vars_tpdb({}), "(VAR )");
  std::vector<Rule> rules{{app("f", {var("X", 0), constant("e")}), var("X", 0)},
                          {app("g", {constant("a")}), constant("b")}};
  EXPECT_EQ(Print::string_of_trs_tpdb(rules), "(RULES \nf(X0,e) -> X0\ng(a) -> b)");
}

TEST(PrintTest, Clauses) {
  Tptp::Clause c{"c", Tptp::ClauseStatus::Conjecture,
                 {{false, app("f", {var("X", 0), var("Y", 0)}),
                   app("f", {var("Y", 0), var("X", 0)})}}};
  EXPECT_EQ(Print::string_of_clause(c),
            "input_clause(c,conjecture,\n\t[ --equal(f(X0,Y0),f(Y0,X0)) ]).");
  Tptp::Clause two{"d", Tptp::ClauseStatus::Axiom,
                   {{true, constant("a"), constant("b")}, {false, constant("c"), constant("d")}}};
  EXPECT_EQ(Print::string_of_clause(two),
            "input_clause(d,axiom,\n\t[ ++equal(a,b), --equal(c,d) ]).");
}

TEST(PrintTest, DeepTermsRenderWithoutRecursion) {
  Term t = constant("a");
  for (int i = 0; i < 100000; ++i) t = app("s", {t});
  EXPECT_EQ(Print::string_of_term(t).size(), 100000 * 3 + 1);
}

}  // namespace
