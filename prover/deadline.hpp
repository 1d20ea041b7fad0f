// The time budget of one question.
//
// Every search loop calls Deadline::check at its natural step (one narrowing step, one SAT call,
// one dependency-pair processor) and the SAT solver polls Deadline::expired through its terminate
// callback, so the budget holds without killing anything: when it runs out, check throws TimeUp,
// which unwinds to the strategy and becomes the protocol's time-out answer.
//
// A technique runs under a share of the budget (share): at most that fraction of the whole
// budget in CPU time of the calling thread from now, and never past the question's own
// wall-clock deadline. Shares count CPU time so that the effort spent on a technique, and with
// it the answer, does not depend on how busy the machine is; the budget itself is wall-clock
// time, because that is what korvath waits for. When a share runs out, only that technique
// gives up.
#pragma once

#include <time.h>

#include <chrono>

namespace Termination {

struct TimeUp {};

class Deadline {
 public:
  using Clock = std::chrono::steady_clock;

  // Returns: a deadline budget_ms milliseconds from now.
  explicit Deadline(long budget_ms)
      : end_(Clock::now() + std::chrono::milliseconds(budget_ms)), budget_ms_(budget_ms) {}

  bool expired() const {
    return Clock::now() >= end_ || (cpu_end_ns_ > 0 && thread_cpu_ns() >= cpu_end_ns_);
  }
  // Throws: TimeUp once the deadline has passed.
  void check() const {
    if (expired()) throw TimeUp{};
  }
  // Returns: this deadline, further limited to fraction * budget of CPU time from now.
  Deadline share(double fraction) const {
    Deadline d(*this);
    long long end = thread_cpu_ns() + static_cast<long long>(budget_ms_ * 1e6 * fraction);
    if (d.cpu_end_ns_ == 0 || end < d.cpu_end_ns_) d.cpu_end_ns_ = end;
    return d;
  }

  // Returns: the CPU time used by the calling thread, in nanoseconds.
  static long long thread_cpu_ns() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
  }

 private:
  Clock::time_point end_;
  long budget_ms_;
  long long cpu_end_ns_ = 0;  // 0: no CPU limit
};

}  // namespace Termination
