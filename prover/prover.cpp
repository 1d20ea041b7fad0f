// The strategy (see prover.hpp).
#include "prover.hpp"

#include <ostream>

#include "dp_search.hpp"
#include "kbo_search.hpp"
#include "loop_search.hpp"
#include "lpo_search.hpp"
#include "poly_search.hpp"
#include "syntactic.hpp"

namespace Termination {
namespace {

constexpr std::size_t kCacheSize = 8;

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

std::optional<TerminationProof> find_poly(const Trs& trs, const Deadline& deadline) {
  PolyConstraints constraints;
  constraints.strict = trs.rules;
  for (PolyShape shape : {PolyShape{1, 2, true}, PolyShape{2, 3, true}}) {
    auto interpretation = find_linear_interpretation(trs, constraints, shape, deadline);
    if (interpretation) return PolyProof{*interpretation};
  }
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
  using Finder = std::optional<TerminationProof> (*)(const Trs&, const Deadline&);
  const std::pair<Finder, const char*> finders[] = {
      {[](const Trs& t, const Deadline& d) -> std::optional<TerminationProof> {
         if (auto p = find_lpo(t, d)) return *p;
         return std::nullopt;
       },
       "lpo"},
      {[](const Trs& t, const Deadline& d) -> std::optional<TerminationProof> {
         if (auto p = find_kbo(t, d)) return *p;
         return std::nullopt;
       },
       "kbo"},
      {[](const Trs& t, const Deadline& d) -> std::optional<TerminationProof> {
         if (auto p = find_dp_proof(t, d)) return *p;
         return std::nullopt;
       },
       "dp"},
      {find_poly, "poly"},
  };
  auto start = Deadline::Clock::now();
  auto quick = find_loop(trs, deadline, LoopSearchLimits::quick());
  note("quick loop search", start, quick ? "found" : "failed");
  if (quick && check_loop(trs, *quick)) return no_answer(trs, *quick, "loop");
  for (const auto& [finder, name] : finders) {
    start = Deadline::Clock::now();
    auto proof = finder(trs, deadline);
    note(name, start, proof ? "found" : "failed");
    if (!proof || !accept(trs, *proof, answer, name)) continue;
    if (!std::holds_alternative<DpProof>(*proof))
      cache_.push_front(remember(trs.signature, *proof));
    if (cache_.size() > kCacheSize) cache_.pop_back();
    return answer;
  }
  start = Deadline::Clock::now();
  auto loop = find_loop(trs, deadline, LoopSearchLimits::thorough());
  note("loop search", start, loop ? "found" : "failed");
  if (loop && check_loop(trs, *loop)) return no_answer(trs, *loop, "loop");
  return Answer{Verdict::Maybe, "none", "no technique succeeded", "no proof found\n"};
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
