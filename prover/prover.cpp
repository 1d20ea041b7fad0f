// The strategy (see prover.hpp).
#include "prover.hpp"

#include <ostream>

#include "dp_search.hpp"
#include "kbo_search.hpp"
#include "loop_search.hpp"
#include "lpo_search.hpp"
#include "matrix_search.hpp"
#include "poly_search.hpp"
#include "syntactic.hpp"

namespace Termination {
namespace {

constexpr std::size_t kCacheSize = 8;

// Shares of the budget for each technique, in CPU time. They add up to 8.5%: a question that no
// technique settles is given up after about 170 ms of CPU time with the default budget of
// 2000 ms, which korvath prefers to waiting (on the benchmark sample nearly every proof that is
// found at all is found within 40 ms); a larger budget buys proportionally more effort, and the
// budget itself stays a hard wall-clock ceiling.
constexpr double kLpoShare = 0.005;
constexpr double kKboShare = 0.005;
constexpr double kRpoShare = 0.005;
constexpr double kQuickLoopShare = 0.0025;
constexpr double kDpShare = 0.03;
constexpr double kPolyShare = 0.0025;
constexpr double kMatrixShare = 0.005;
constexpr double kRemovalShare = 0.02;
constexpr double kLoopShare = 0.01;

Answer yes_answer(Trs& trs, const TerminationProof& proof, const std::string& technique) {
  return Answer{Verdict::Yes, technique, summarize_proof(trs, proof), describe_proof(trs, proof)};
}

Answer no_answer(Trs& trs, const LoopWitness& witness, const std::string& technique) {
  return Answer{Verdict::No, technique,
                "loop: " + to_string(trs, witness.start) + " rewrites in " +
                    std::to_string(witness.steps.size()) +
                    " step(s) to a term containing an instance of itself",
                describe_loop(trs, witness)};
}

std::optional<TerminationProof> lpo_proof(const Trs& trs, const Deadline& deadline) {
  if (auto p = find_lpo(trs, deadline)) return *p;
  return std::nullopt;
}

std::optional<TerminationProof> rpo_proof(const Trs& trs, const Deadline& deadline) {
  if (auto p = find_lpo(trs, deadline, true)) return *p;
  return std::nullopt;
}

std::optional<TerminationProof> kbo_proof(const Trs& trs, const Deadline& deadline) {
  if (auto p = find_kbo(trs, deadline)) return *p;
  return std::nullopt;
}

std::ostream* dp_trace = nullptr;  // where the dependency-pair search reports, if anywhere

std::optional<TerminationProof> dp_proof(const Trs& trs, const Deadline& deadline) {
  if (auto p = find_dp_proof(trs, deadline, dp_trace)) return *p;
  return std::nullopt;
}

std::optional<TerminationProof> removal_proof(const Trs& trs, const Deadline& deadline) {
  if (auto p = find_removal_proof(trs, deadline)) return *p;
  return std::nullopt;
}

std::optional<TerminationProof> poly_proof(const Trs& trs, const Deadline& deadline) {
  PolyConstraints constraints;
  constraints.strict = trs.rules;
  for (PolyShape shape : {PolyShape{1, 2, true}, PolyShape{2, 3, true}}) {
    auto interpretation = find_linear_interpretation(trs, constraints, shape, deadline);
    if (interpretation) return PolyProof{*interpretation};
  }
  return std::nullopt;
}

std::optional<TerminationProof> matrix_proof(const Trs& trs, const Deadline& deadline) {
  PolyConstraints constraints;
  constraints.strict = trs.rules;
  auto interpretation =
      find_matrix_interpretation(trs, constraints, MatrixShape{2, 1, 2, true}, deadline);
  if (interpretation) return MatrixProof{*interpretation};
  return std::nullopt;
}

}  // namespace

void Prover::note(const char* technique, Deadline::Clock::time_point start, const char* outcome) {
  if (!trace_) return;
  std::chrono::duration<double, std::milli> took = Deadline::Clock::now() - start;
  *trace_ << "  " << technique << ": " << outcome << " after " << took.count() << " ms\n";
}

bool Prover::accept(Trs& trs, const TerminationProof& proof, Answer& answer,
                    const std::string& technique) {
  if (!check_proof(trs, proof)) {
    ++rejections_;
    return false;
  }
  answer = yes_answer(trs, proof, technique);
  return true;
}

bool Prover::try_cache(Trs& trs, Answer& answer) {
  for (auto it = cache_.begin(); it != cache_.end(); ++it) {
    auto proof = rebind(*it, trs.signature);
    if (!proof || !check_proof(trs, *proof)) continue;
    answer = yes_answer(trs, *proof, "cache");
    answer.summary = "earlier proof re-checked: " + answer.summary;
    cache_.erase(it);
    cache_.push_front(remember(trs.signature, *proof));
    return true;
  }
  return false;
}

Answer Prover::search(Trs& trs, const Deadline& deadline) {
  Answer answer;
  if (trs.rules.empty())
    return Answer{Verdict::Yes, "syntactic", "no rules", "an empty rule set terminates\n"};
  if (auto witness = find_syntactic_loop(trs); witness && check_loop(trs, *witness))
    return no_answer(trs, *witness, "syntactic");
  if (try_cache(trs, answer)) return answer;
  if (prove(trs, deadline, kLpoShare, "lpo", lpo_proof, answer)) return answer;
  if (prove(trs, deadline, kKboShare, "kbo", kbo_proof, answer)) return answer;
  if (prove(trs, deadline, kRpoShare, "rpo", rpo_proof, answer)) return answer;
  if (disprove(trs, deadline, kQuickLoopShare, LoopSearchLimits::quick(), answer)) return answer;
  dp_trace = trace_;
  if (prove(trs, deadline, kDpShare, "dp", dp_proof, answer)) return answer;
  if (prove(trs, deadline, kPolyShare, "poly", poly_proof, answer)) return answer;
  if (prove(trs, deadline, kMatrixShare, "matrix", matrix_proof, answer)) return answer;
  if (prove(trs, deadline, kRemovalShare, "removal", removal_proof, answer)) return answer;
  if (disprove(trs, deadline, kLoopShare, LoopSearchLimits::thorough(), answer)) return answer;
  return Answer{Verdict::Maybe, "none", "no technique succeeded", "no proof found\n"};
}

bool Prover::prove(Trs& trs, const Deadline& deadline, double share, const char* name,
                   Finder finder, Answer& answer) {
  auto start = Deadline::Clock::now();
  std::optional<TerminationProof> proof;
  try {
    proof = finder(trs, deadline.share(share));
  } catch (const TimeUp&) {
    if (deadline.expired()) throw;
  }
  note(name, start, proof ? "found" : "failed");
  if (!proof || !accept(trs, *proof, answer, name)) return false;
  if (std::holds_alternative<DpProof>(*proof) || std::holds_alternative<RemovalProof>(*proof))
    return true;
  cache_.push_front(remember(trs.signature, *proof));
  if (cache_.size() > kCacheSize) cache_.pop_back();
  return true;
}

bool Prover::disprove(Trs& trs, const Deadline& deadline, double share,
                      const LoopSearchLimits& limits, Answer& answer) {
  auto start = Deadline::Clock::now();
  std::optional<LoopWitness> loop;
  try {
    loop = find_loop(trs, deadline.share(share), limits);
  } catch (const TimeUp&) {
    if (deadline.expired()) throw;
  }
  note("loop search", start, loop ? "found" : "failed");
  if (!loop) return false;
  if (!check_loop(trs, *loop)) {
    ++rejections_;
    return false;
  }
  answer = no_answer(trs, *loop, "loop");
  return true;
}

Answer Prover::decide(Trs& trs, const Deadline& deadline) {
  auto start = Deadline::Clock::now();
  try {
    return search(trs, deadline);
  } catch (const TimeUp&) {
    note("time-out", start, "reached");
    return Answer{Verdict::TimedOut, "timeout", "time budget exhausted", "time budget exhausted\n"};
  }
}

}  // namespace Termination
