// The termination knowledge cache: keys up to rule order, repetition and variable names;
// recall by subset and superset; subsumption on registration and its diagnostics.
#include "termination/learning.hpp"

#include <gtest/gtest.h>

#include "fake_provers.hpp"

namespace {

using Terms::app;
using Terms::constant;
using Terms::Rule;
using Terms::var;

Rule ground(const char* l, const char* r) {
  return {constant(l), constant(r)};
}

// c(V) -> d(V) with the variable V of the given name and suffix.
Rule c_to_d(const char* name, long suffix) {
  const Terms::Term v = var(name, suffix);
  return {app("c", {v}), app("d", {v})};
}

class LearningCache : public ::testing::Test {
 protected:
  void trace_learning() {
    Prefs::debug_learning = true;
    Debug::verbosity = Debug::Level::trace;
  }

  FakeProvers::Settings settings;
  FakeProvers::EmptyCache cache;
};

TEST_F(LearningCache, ASubsetOfATerminatingSetIsRecalledUnderAnyNamesAndOrder) {
  const Rule ab = ground("a", "b");
  Learning::register_terminating_trs({ab, c_to_d("X", 0)});
  const struct {
    std::vector<Rule> rules;
    bool known;
  } cases[] = {
      {{c_to_d("X", 0)}, true},
      {{c_to_d("Y", 7)}, true},
      {{c_to_d("Z", 1), ab}, true},
      {{ab, c_to_d("X", 0), ab}, true},
      {{ab, ground("e", "f")}, false},
      {{{app("c", {var("X", 0)}), app("d", {constant("a")})}}, false},  // an instance is not equal
  };
  for (const auto& c : cases) EXPECT_EQ(Learning::recall_terminating_trs(c.rules), c.known);
  EXPECT_FALSE(Learning::recall_nonterminating_trs({ab}));
}

TEST_F(LearningCache, ASupersetOfANonTerminatingSetIsRecalled) {
  Learning::register_nonterminating_trs({c_to_d("X", 0)});
  EXPECT_TRUE(Learning::recall_nonterminating_trs({c_to_d("W", 4)}));
  EXPECT_TRUE(Learning::recall_nonterminating_trs({ground("a", "b"), c_to_d("Y", 0)}));
  EXPECT_FALSE(Learning::recall_nonterminating_trs({ground("a", "b")}));
  EXPECT_FALSE(Learning::recall_terminating_trs({c_to_d("X", 0)}));
}

TEST_F(LearningCache, RecallsOnEmptyStoresAreFalseAndSilent) {
  trace_learning();
  FakeProvers::StderrCapture capture;
  EXPECT_FALSE(Learning::recall_terminating_trs({ground("a", "b")}));
  EXPECT_FALSE(Learning::recall_nonterminating_trs({ground("a", "b")}));
  EXPECT_EQ(capture.text(), "");
}

TEST_F(LearningCache, RegistrationListsTheCanonicalRulesInListOrder) {
  trace_learning();
  FakeProvers::StderrCapture capture;
  const Terms::Term y = var("Y", 0), z = var("Z", 5);
  Learning::register_terminating_trs({{app("f", {y, z}), y}, ground("a", "b")});
  Learning::register_nonterminating_trs({ground("b", "a"), {app("g", {z}), app("h", {z, y})}});
  EXPECT_EQ(capture.text(),
            "[ Registering terminating TRS: f(X0,X1) -> X0\na -> b\n"
            " term subsumed=0, card=1 ]\n"
            "[ Registering nonterminating TRS: b -> a\ng(X0) -> h(X0,X1)\n"
            " nonterm subsumed=0, card=1 ]\n");
}

TEST_F(LearningCache, RegistrationsAndRecallsAreSilentWithoutDebugLearning) {
  Debug::verbosity = Debug::Level::trace;
  Prefs::debug_learning = false;
  FakeProvers::StderrCapture capture;
  Learning::register_terminating_trs({ground("a", "b")});
  EXPECT_TRUE(Learning::recall_terminating_trs({ground("a", "b")}));
  EXPECT_EQ(capture.text(), "");
}

TEST_F(LearningCache, RecallsAreTraced) {
  Learning::register_terminating_trs({ground("a", "b")});
  Learning::register_nonterminating_trs({ground("b", "a")});
  trace_learning();
  FakeProvers::StderrCapture capture;
  EXPECT_TRUE(Learning::recall_terminating_trs({ground("a", "b")}));
  EXPECT_TRUE(Learning::recall_nonterminating_trs({ground("b", "a"), ground("c", "d")}));
  EXPECT_EQ(capture.text(), "Recall: terminating\nRecall: nonterminating\n");
}

TEST_F(LearningCache, RegisteringTheSameTerminatingListTwiceKeepsOneKey) {
  Learning::register_terminating_trs({ground("e", "f")});
  Learning::register_terminating_trs({ground("a", "b"), ground("c", "d")});
  trace_learning();
  FakeProvers::StderrCapture capture;
  Learning::register_terminating_trs({ground("c", "d"), ground("a", "b")});
  EXPECT_EQ(capture.text(),
            "[ Registering terminating TRS: c -> d\na -> b\n term subsumed=1, card=2 ]\n");
  EXPECT_EQ(Learning::terminating_store.size(), 2u);
}

TEST_F(LearningCache, ATerminatingKeyInsideAStoredOneIsStillAdded) {
  Learning::register_terminating_trs({ground("a", "b"), ground("c", "d")});
  Learning::register_terminating_trs({ground("a", "b")});
  EXPECT_EQ(Learning::terminating_store.size(), 2u);
}

TEST_F(LearningCache, ATerminatingKeyReplacesTheStoredKeysItContains) {
  Learning::register_terminating_trs({ground("a", "b")});
  Learning::register_terminating_trs({ground("c", "d")});
  Learning::register_terminating_trs({ground("e", "f")});
  trace_learning();
  FakeProvers::StderrCapture capture;
  Learning::register_terminating_trs({ground("a", "b"), ground("c", "d")});
  EXPECT_EQ(capture.text(),
            "[ Registering terminating TRS: a -> b\nc -> d\n term subsumed=2, card=2 ]\n");
  EXPECT_EQ(Learning::terminating_store,
            (Terms::TrsSet{Learning::key_of_rules({ground("e", "f")}),
                           Learning::key_of_rules({ground("a", "b"), ground("c", "d")})}));
}

TEST_F(LearningCache, ANonTerminatingKeyReplacesTheStoredKeysContainingIt) {
  Learning::register_nonterminating_trs({ground("a", "b"), ground("c", "d")});
  Learning::register_nonterminating_trs({ground("a", "b"), ground("e", "f")});
  Learning::register_nonterminating_trs({ground("x", "y")});
  trace_learning();
  FakeProvers::StderrCapture capture;
  Learning::register_nonterminating_trs({ground("a", "b")});
  EXPECT_EQ(capture.text(),
            "[ Registering nonterminating TRS: a -> b\n nonterm subsumed=2, card=2 ]\n");
  // A superset of a stored non-terminating key is still added.
  Learning::register_nonterminating_trs({ground("a", "b"), ground("g", "h")});
  EXPECT_EQ(Learning::nonterminating_store.size(), 3u);
}

TEST_F(LearningCache, RemoveAllKeepsTheKeysThePredicateRejects) {
  const Terms::TrsSet store{Learning::key_of_rules({ground("a", "b")}),
                            Learning::key_of_rules({ground("a", "b"), ground("c", "d")}),
                            Learning::key_of_rules({})};
  const Terms::TrsSet kept =
      Learning::remove_all([](const Terms::Trs& key) { return key.size() == 1; }, store);
  EXPECT_EQ(kept, (Terms::TrsSet{Learning::key_of_rules({}),
                                 Learning::key_of_rules({ground("a", "b"), ground("c", "d")})}));
}

TEST_F(LearningCache, AKeyIgnoresOrderRepetitionAndVariableNames) {
  EXPECT_EQ(Learning::key_of_rules({c_to_d("Y", 3), ground("a", "b"), c_to_d("Z", 0)}),
            Learning::key_of_rules({ground("a", "b"), c_to_d("X", 0)}));
  EXPECT_EQ(Learning::key_of_rules({c_to_d("Y", 3)}).begin()->lhs, app("c", {var("X", 0)}));
}

}  // namespace
