// The time budget of one question.
//
// Every search loop calls Deadline::check at its natural step (one narrowing step, one SAT call,
// one dependency-pair processor) and the SAT solver polls Deadline::expired through its terminate
// callback, so the budget holds without killing anything: when it runs out, check throws TimeUp,
// which unwinds to the strategy and becomes the protocol's time-out answer.
//
// A technique runs under a share of the budget (share): a deadline at most that fraction of the
// whole budget from now, never past the question's own deadline. When a share runs out, only
// that technique gives up.
#pragma once

#include <chrono>

namespace Termination {

struct TimeUp {};

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  // Returns: a deadline budget_ms milliseconds from now.
  explicit Deadline(long budget_ms)
      : end_(Clock::now() + std::chrono::milliseconds(budget_ms)), budget_ms_(budget_ms) {}

  bool expired() const { return Clock::now() >= end_; }
  // Throws: TimeUp once the deadline has passed.
  void check() const {
    if (expired()) throw TimeUp{};
  }
  // Returns: a deadline fraction * budget from now, or this one if that is earlier.
  Deadline share(double fraction) const {
    Deadline d(*this);
    auto end =
        Clock::now() + std::chrono::microseconds(static_cast<long>(budget_ms_ * 1000 * fraction));
    if (end < end_) d.end_ = end;
    return d;
  }

 private:
  Clock::time_point end_;
  long budget_ms_;
};

}  // namespace Termination
