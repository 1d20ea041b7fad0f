// The whole strategy on systems whose answer is known, and the reuse of earlier proofs.
#include "prover.hpp"

#include <gtest/gtest.h>

#include "parser.hpp"

namespace Termination {
namespace {

struct KnownCase {
  const char* text;
  Verdict verdict;
};

TEST(Prover, AnswersKnownSystems) {
  const KnownCase cases[] = {
      {"(VAR x)\n(RULES \nf(f(x)) -> f(g(f(x))))", Verdict::Yes},
      {"(VAR x)\n(RULES \nf(x) -> f(f(x)))", Verdict::No},
      {"(VAR x y z)\n(RULES \nf(e,x) -> x\nf(i(x),x) -> e\nf(f(x,y),z) -> f(x,f(y,z))\n"
       "i(e) -> e\ni(i(x)) -> x\ni(f(x,y)) -> f(i(y),i(x)))",
       Verdict::Yes},
      {"(VAR )\n(RULES \na -> b\nb -> a)", Verdict::No},
      {"(VAR )\n(RULES \n)", Verdict::Yes},
      {"(VAR x y)\n(RULES \nf(x) -> g(y))", Verdict::No},
      {"(VAR x)\n(RULES \nx -> f(x))", Verdict::No},
      {"(VAR x y)\n(RULES \nf(x,y) -> f(y,x))", Verdict::No},
      {"(VAR x y)\n(RULES \nack(0,y) -> s(y)\nack(s(x),0) -> ack(x,s(0))\n"
       "ack(s(x),s(y)) -> ack(x,ack(s(x),y)))",
       Verdict::Yes},
      {"(VAR x y)\n(RULES \nminus(x,0) -> x\nminus(s(x),s(y)) -> minus(x,y)\n"
       "quot(0,s(y)) -> 0\nquot(s(x),s(y)) -> s(quot(minus(x,y),s(y))))",
       Verdict::Yes},
      {"(VAR x y)\n(RULES \nf(a,b,x) -> f(x,x,x)\ng(x,y) -> x\ng(x,y) -> y)", Verdict::No},
      {"(VAR x)\n(RULES \na(b(x)) -> b(a(x)))", Verdict::Yes},
      {"(VAR x y z)\n(RULES \ntimes(x,plus(y,z)) -> plus(times(x,y),times(x,z)))", Verdict::Yes},
  };
  Prover prover;
  for (const KnownCase& c : cases) {
    SCOPED_TRACE(c.text);
    Trs trs = parse_problem(c.text);
    Answer answer = prover.decide(trs, Deadline(5000));
    EXPECT_EQ(answer.verdict, c.verdict) << answer.summary;
    EXPECT_FALSE(answer.summary.empty());
    EXPECT_EQ(answer.summary.find('\n'), std::string::npos);
  }
  EXPECT_EQ(prover.checker_rejections(), 0);
}

TEST(Prover, ReusesTheProofOfThePreviousQuestion) {
  Prover prover;
  Trs first = parse_problem("(VAR x)\n(RULES \nf(e,x) -> x\nf(i(x),x) -> e)");
  Answer a = prover.decide(first, Deadline(5000));
  ASSERT_EQ(a.verdict, Verdict::Yes);
  Trs second = parse_problem(
      "(VAR x y z)\n(RULES \nf(e,x) -> x\nf(i(x),x) -> e\nf(f(x,y),z) -> f(x,f(y,z)))");
  Answer b = prover.decide(second, Deadline(5000));
  EXPECT_EQ(b.verdict, Verdict::Yes);
  EXPECT_EQ(b.technique, "cache");
}

}  // namespace
}  // namespace Termination
