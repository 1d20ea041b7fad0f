#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "driver/debug.hpp"
#include "driver/failure.hpp"
#include "driver/main.hpp"
#include "io/print.hpp"

namespace {

using Terms::constant;

// Writes text to a fresh file in the test's temporary directory and returns its path.
std::string write_file(const std::string& name, const std::string& text) {
  // ctest runs each test in its own process, in parallel: the process id keeps their files apart.
  std::string path =
      testing::TempDir() + "korvath_load_" + std::to_string(::getpid()) + "_" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

// Runs f at the given verbosity and returns what it wrote to standard error.
template <class F>
std::string stderr_of(Debug::Level level, F f) {
  Debug::Level saved = Debug::verbosity;
  Debug::verbosity = level;
  testing::internal::CaptureStderr();
  try {
    f();
  } catch (...) {
    testing::internal::GetCapturedStderr();
    Debug::verbosity = saved;
    throw;
  }
  Debug::verbosity = saved;
  return testing::internal::GetCapturedStderr();
}

std::string equations(const std::vector<Terms::Equation>& list) {
  return Print::string_of_relation(Print::string_of_equation, Print::f_empty, Print::f_empty, list);
}

std::string conjectures(const std::vector<Conjectures::Conjecture>& list) {
  std::string out;
  for (const auto& c : list) {
    out += c.positive ? "+" : "-";
    out += Print::string_of_equation(c.equation);
    out += ";";
  }
  return out;
}

// The failure description that loading text ends with, or "" if it loads.
std::string load_failure(const std::string& name, const std::string& text) {
  try {
    Main::load(write_file(name, text));
    return "";
  } catch (const Korvath::Error& e) {
    return e.description();
  }
}

const char* const kMixed =
    "input_clause(a1,axiom,[++equal(f(X),a1)]).\n"
    "input_clause(c1,conjecture,[--equal(a,b)]).\n"
    "input_clause(h1,hypothesis,[++equal(h1,b)]).\n"
    "input_clause(a2,axiom,[++equal(a2,b)]).\n"
    "input_clause(c2,conjecture,[++equal(c,d)]).\n"
    "input_clause(h2,hypothesis,[++equal(h2,b)]).\n"
    "input_clause(a3,axiom,[++equal(a3,b)]).\n";

TEST(LoadTest, ClassesAreReversedAndAxiomsComeFirst) {
  Main::Problem p;
  stderr_of(Debug::Level::info, [&] { p = Main::load(write_file("mixed", kMixed)); });
  EXPECT_EQ(equations(p.axioms), "a3 = b\na2 = b\nf(X0) = a1");
  EXPECT_EQ(equations(p.equations), "a3 = b\na2 = b\nf(X0) = a1\nh2 = b\nh1 = b");
  EXPECT_EQ(conjectures(p.conjectures), "+c = d;-a = b;");
}

TEST(LoadTest, ListsTheInputAtLevelDebug) {
  std::string err = stderr_of(Debug::Level::debug, [] { Main::load(write_file("mixed", kMixed)); });
  EXPECT_EQ(err,
            "Input clauses: \n"
            "input_clause(a1,axiom,\n\t[ ++equal(f(X0),a1) ]).\n"
            "input_clause(c1,conjecture,\n\t[ --equal(a,b) ]).\n"
            "input_clause(h1,hypothesis,\n\t[ ++equal(h1,b) ]).\n"
            "input_clause(a2,axiom,\n\t[ ++equal(a2,b) ]).\n"
            "input_clause(c2,conjecture,\n\t[ ++equal(c,d) ]).\n"
            "input_clause(h2,hypothesis,\n\t[ ++equal(h2,b) ]).\n"
            "input_clause(a3,axiom,\n\t[ ++equal(a3,b) ]).\n"
            "Axioms: \na3 = b\na2 = b\nf(X0) = a1\n"
            "Hypotheses: \nh2 = b\nh1 = b\n"
            "Conjectures: \nc = d\na = b\n");
  EXPECT_EQ(stderr_of(Debug::Level::trace, [] { Main::load(write_file("mixed", kMixed)); }), err);
}

TEST(LoadTest, ListsNothingBelowDebug) {
  for (Debug::Level level : {Debug::Level::quiet, Debug::Level::info})
    EXPECT_EQ(stderr_of(level, [] { Main::load(write_file("mixed", kMixed)); }), "");
}

TEST(LoadTest, LeavesOutEmptyClasses) {
  const std::string only_conjecture = "input_clause(c,conjecture,[--equal(a,b)]).";
  Main::Problem p;
  std::string err =
      stderr_of(Debug::Level::debug, [&] { p = Main::load(write_file("conj", only_conjecture)); });
  EXPECT_EQ(err,
            "Input clauses: \ninput_clause(c,conjecture,\n\t[ --equal(a,b) ]).\n"
            "Conjectures: \na = b\n");
  EXPECT_TRUE(p.equations.empty());
  EXPECT_TRUE(p.axioms.empty());
  ASSERT_EQ(p.conjectures.size(), 1u);
  EXPECT_FALSE(p.conjectures[0].positive);
  EXPECT_EQ(p.conjectures[0].equation, (Terms::Equation{constant("a"), constant("b")}));

  err = stderr_of(Debug::Level::debug, [&] {
    p = Main::load(write_file("hyp", "input_clause(h,hypothesis,[++equal(a,b)])."));
  });
  EXPECT_EQ(
      err,
      "Input clauses: \ninput_clause(h,hypothesis,\n\t[ ++equal(a,b) ]).\nHypotheses: \na = b\n");
  EXPECT_EQ(equations(p.equations), "a = b");
  EXPECT_TRUE(p.axioms.empty());
}

TEST(LoadTest, OnlySinglePositiveAxiomsAndHypotheses) {
  struct Case {
    const char* text;
    const char* failure;
  };
  const char* const kRefused = "Failure(\"Positive unit clauses only\")";
  const Case cases[] = {
      {"input_clause(a,axiom,[--equal(a,b)]).", kRefused},
      {"input_clause(h,hypothesis,[--equal(a,b)]).", kRefused},
      {"input_clause(a,axiom,[++equal(a,b),++equal(c,d)]).", kRefused},
      {"input_clause(c,conjecture,[++equal(a,b),--equal(c,d)]).", kRefused},
      {"input_clause(c,conjecture,[--equal(a,b),--equal(c,d)]).", kRefused},
      {"input_clause(c,conjecture,[--equal(a,b)]).", ""},
      {"input_clause(c,conjecture,[++equal(a,b)]).", ""},
  };
  for (const Case& c : cases) {
    std::string failure;
    std::string err =
        stderr_of(Debug::Level::debug, [&] { failure = load_failure("units", c.text); });
    EXPECT_EQ(failure, c.failure) << c.text;
    if (*c.failure != '\0') {
      EXPECT_EQ(err, "") << "listed before failing: " << c.text;
    }
  }
}

TEST(LoadTest, SeparateKeepsEachClassInReverseOrder) {
  using S = Tptp::ClauseStatus;
  auto clause = [](const char* name, S status) {
    return Tptp::Clause{name, status, {{true, constant("a"), constant("b")}}};
  };
  auto [axioms, hypotheses, conjs] = Main::separate(
      {clause("a1", S::Axiom), clause("c1", S::Conjecture), clause("a2", S::Axiom),
       clause("h1", S::Hypothesis), clause("c2", S::Conjecture), clause("a3", S::Axiom)});
  auto names = [](const std::vector<Tptp::Clause>& list) {
    std::string out;
    for (const auto& c : list) out += c.name + " ";
    return out;
  };
  EXPECT_EQ(names(axioms), "a3 a2 a1 ");
  EXPECT_EQ(names(hypotheses), "h1 ");
  EXPECT_EQ(names(conjs), "c2 c1 ");
}

TEST(LoadTest, EquationOfClause) {
  Tptp::Formula pos{true, constant("a"), constant("b")};
  Tptp::Formula neg{false, constant("c"), constant("d")};
  Tptp::Clause one_pos{"p", Tptp::ClauseStatus::Axiom, {pos}};
  Tptp::Clause one_neg{"n", Tptp::ClauseStatus::Conjecture, {neg}};
  Tptp::Clause two{"t", Tptp::ClauseStatus::Conjecture, {pos, neg}};
  Tptp::Clause none{"z", Tptp::ClauseStatus::Axiom, {}};
  for (bool negative_allowed : {false, true}) {
    auto [positive, eq] = Main::equation_of_clause(negative_allowed, one_pos);
    EXPECT_TRUE(positive);
    EXPECT_EQ(eq, (Terms::Equation{constant("a"), constant("b")}));
    EXPECT_THROW(Main::equation_of_clause(negative_allowed, two), Korvath::Failure);
    EXPECT_THROW(Main::equation_of_clause(negative_allowed, none), Korvath::Failure);
  }
  auto [positive, eq] = Main::equation_of_clause(true, one_neg);
  EXPECT_FALSE(positive);
  EXPECT_EQ(eq, (Terms::Equation{constant("c"), constant("d")}));
  try {
    Main::equation_of_clause(false, one_neg);
    ADD_FAILURE() << "a negative clause was accepted";
  } catch (const Korvath::Failure& f) {
    EXPECT_EQ(f.message(), "Positive unit clauses only");
  }
}

TEST(LoadTest, FilesThatCannotBeRead) {
  std::string missing = testing::TempDir() + "korvath_load_no_such_file.tptp";
  try {
    Main::load(missing);
    ADD_FAILURE() << "a missing file loaded";
  } catch (const Korvath::SystemError& e) {
    EXPECT_EQ(e.description(), "Sys_error(\"" + missing + ": No such file or directory\")");
  }
  try {
    Main::load(testing::TempDir());
    ADD_FAILURE() << "a directory loaded";
  } catch (const Korvath::SystemError& e) {
    EXPECT_EQ(e.description(), "Sys_error(\"" + testing::TempDir() + ": Is a directory\")");
  }
}

TEST(LoadTest, SyntaxErrorsNameTheFile) {
  std::string path = write_file("syntax", "input_clause(c,axiom,[++equal(a,b)]).\n% done");
  std::string err;
  try {
    stderr_of(Debug::Level::debug, [&] { Main::load(path); });
    ADD_FAILURE() << "a syntax error loaded";
  } catch (const Korvath::SystemError& e) {
    err = e.description();
  }
  EXPECT_EQ(err, "Syntax error in " + path +
                     " at line 2, column 3: unexpected 'done', expected 'input_clause'");
}

TEST(LoadTest, LargeFiles) {
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "input_clause(a" + std::to_string(i) + ",axiom,[++equal(f(X,g(Y,c" +
            std::to_string(i % 100) + ")),h(Y))]).  % a comment that goes on for a while\n";
  Main::Problem p;
  stderr_of(Debug::Level::info, [&] { p = Main::load(write_file("large", text)); });
  ASSERT_EQ(p.axioms.size(), 20000u);
  EXPECT_EQ(Print::string_of_equation(p.axioms.front()), "f(X0,g(Y0,c99)) = h(Y0)");
}

}  // namespace
