// The engine's entry: a fresh root node in an emptied queue, the overall time-out, the divergence
// threshold, and one search or the find-all loop.
//
// The time-out is a one-shot SIGALRM that is never cancelled; its handler may only do what is
// async-signal-safe, so the message it shows is prepared in advance.  It names the timeout setting
// in force, so it is prepared again at every search start, into the buffer the handler is not
// reading, which is then published with one atomic store.
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "completion/huet.hpp"
#include "driver/exit.hpp"
#include "driver/prefs.hpp"

namespace Huet {
namespace {

char timeout_messages[2][96];
volatile sig_atomic_t timeout_message_index = 0;

void prepare_timeout_message(long timeout) {
  const int next = 1 - timeout_message_index;
  const std::string text = Debug::error_text("Timeout (" + std::to_string(timeout) + "s)") + "\n";
  std::strncpy(timeout_messages[next], text.c_str(), sizeof timeout_messages[next] - 1);
  timeout_messages[next][sizeof timeout_messages[next] - 1] = '\0';
  timeout_message_index = next;
}

void on_timeout(int) {
  Korvath::exit_from_signal(timeout_messages[timeout_message_index], 1);
}

// Arms the one-shot alarm.  alarm takes an unsigned count; longer limits are capped rather than
// wrapped around (a wrapped value could mean no alarm at all).
void arm_timer(long timeout) {
  Debug::debug([&] { return "Setting timer (" + std::to_string(timeout) + ")"; });
  sigset_t alarm_only;
  sigemptyset(&alarm_only);
  sigaddset(&alarm_only, SIGALRM);
  sigprocmask(SIG_UNBLOCK, &alarm_only, nullptr);
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = on_timeout;
  sigemptyset(&action.sa_mask);
  sigaction(SIGALRM, &action, nullptr);
  alarm(static_cast<unsigned>(timeout < INT_MAX ? timeout : INT_MAX));
}

}  // namespace

Result keep_going(long n, ConjectureList conjectures) {
  // The conjectures the first search leaves open are still open when the loop ends: later searches
  // run without conjectures, and the last completed system decides them as well as the first.
  Debug::maybe_debug(Debug::Level::info, "Searching for completion " + std::to_string(n));
  Result first = _do_completion(std::move(conjectures));
  Result last = first;
  while (!open_problems.is_empty()) {
    ++n;
    Debug::maybe_debug(Debug::Level::info, "Searching for completion " + std::to_string(n));
    try {
      last = _do_completion(ConjectureList());
    } catch (const CONJECTURES_SOLVED&) {
      break;  // a search without conjectures and without --complete stops at once
    }
  }
  return {last.first, first.second};
}

Result grind(const std::vector<Terms::Equation>& equations,
             const std::vector<Conjectures::Conjecture>& conjectures, bool find_all) {
  Equations root_equations = add_fresh_flags(equations);
  t0 = now();
  open_problems.clear();
  auto root_heap = std::make_shared<RuleHeap>(RuleHeap::create(32));
  open_problems.add(
      OpenProblem{0.0, BranchInfo{}, Problem{std::move(root_equations), root_heap, {}, {}}});
  prepare_timeout_message(Prefs::timeout);
  if (Prefs::timeout > 0) arm_timer(Prefs::timeout);
  if (Prefs::detect_divergence) {
    Prefs::max_exp_threshold = Prefs::max_exp_factor * max_exp_eqs(equations);
    Debug::debug(
        [&] { return "Setting max_exp threshold: " + std::to_string(Prefs::max_exp_threshold); });
  }
  if (find_all) return keep_going(1, conjectures);
  return _do_completion(conjectures);
}

}  // namespace Huet
