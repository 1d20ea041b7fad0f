// The strategy: which technique is tried when, and the check that stands between a technique's
// result and the verdict.
//
// Techniques run cheapest first: the syntactic loop checks; the proofs that settled earlier
// questions (korvath asks about the previous rule set plus one rule, so an old ordering usually
// still works and re-checking it costs microseconds); LPO and KBO; a short loop search; the
// dependency-pair framework; linear polynomial and matrix interpretations; finally a longer loop
// search.
// Each technique runs under its own share of the budget, so a question that nothing settles is
// given up after a fraction of the budget. A technique proposes a proof object; the independent
// checker recomputes it on the rules, and only a proof that passes becomes YES (a loop that replays
// becomes NO). A proof that fails its check is dropped like a failed technique, and counted in
// checker_rejections so that tests catch the bug behind it.
#pragma once

#include <deque>
#include <iosfwd>

#include "deadline.hpp"
#include "loop_search.hpp"
#include "proof.hpp"
#include "trs.hpp"
#include "verdict.hpp"

namespace Termination {

class Prover {
 public:
  // Needs: trace, when given, outlives the prover; each technique's time is written there.
  explicit Prover(std::ostream* trace = nullptr) : trace_(trace) {}
  // Changes: may remember the proof of a YES for later questions.
  // Returns: the answer for trs within the deadline (TimedOut when it ran out first).
  Answer decide(Trs& trs, const Deadline& deadline);
  // Returns: how many proposed proofs the checker has refused so far (always 0 without bugs).
  int checker_rejections() const { return rejections_; }

 private:
  Answer search(Trs& trs, const Deadline& deadline);
  using Finder = std::optional<TerminationProof> (*)(const Trs&, const Deadline&);
  // Changes: answer, on success. Returns: true iff finder, run under its share of the budget,
  // found a proof that the checker accepts.
  bool prove(Trs& trs, const Deadline& deadline, double share, const char* name, Finder finder,
             Answer& answer);
  // Changes: answer, on success. Returns: true iff the loop search found a loop that replays.
  bool disprove(Trs& trs, const Deadline& deadline, double share, const LoopSearchLimits& limits,
                Answer& answer);
  bool accept(Trs& trs, const TerminationProof& proof, Answer& answer, const std::string& tech);
  bool try_cache(Trs& trs, Answer& answer);

  void note(const char* technique, Deadline::Clock::time_point start, const char* outcome);

  std::ostream* trace_;
  std::deque<CachedProof> cache_;
  int rejections_ = 0;
};

}  // namespace Termination
