// The time budget of one question.
//
// Every search loop calls Deadline::check at its natural step (one narrowing step, one SAT call,
// one dependency-pair processor) and the SAT solver polls Deadline::expired through its terminate
// callback, so the budget holds without killing anything: when it runs out, check throws TimeUp,
// which unwinds to the strategy and becomes the protocol's time-out answer.
#pragma once

#include <chrono>

namespace Termination {

struct TimeUp {};

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  // Returns: a deadline budget_ms milliseconds from now.
  explicit Deadline(long budget_ms) : end_(Clock::now() + std::chrono::milliseconds(budget_ms)) {}

  bool expired() const { return Clock::now() >= end_; }
  // Throws: TimeUp once the deadline has passed.
  void check() const {
    if (expired()) throw TimeUp{};
  }
  // Returns: a deadline at the earlier of this one and fraction of the time left from now.
  Deadline slice(double fraction) const {
    auto now = Clock::now();
    Deadline d(0);
    d.end_ = end_ <= now
                 ? end_
                 : now + std::chrono::duration_cast<Clock::duration>((end_ - now) * fraction);
    return d;
  }

 private:
  Clock::time_point end_;
};

}  // namespace Termination
