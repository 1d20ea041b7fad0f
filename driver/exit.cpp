// Exit actions.  See exit.hpp for the two exit paths and why they are kept apart.
#include "driver/exit.hpp"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace Korvath {
namespace {

std::vector<std::function<void()>>& normal_actions() {
  static auto* actions = new std::vector<std::function<void()>>();
  return *actions;
}

constexpr int kMaxSignalActions = 8;
void (*signal_actions[kMaxSignalActions])() = {};
volatile sig_atomic_t signal_action_count = 0;
volatile sig_atomic_t exiting = 0;

void write_all(int fd, const char* text, size_t length) {
  while (length > 0) {
    ssize_t n = ::write(fd, text, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    text += n;
    length -= static_cast<size_t>(n);
  }
}

void on_termination_signal(int signal_number) {
  exit_from_signal("", 128 + signal_number);
}

}  // namespace

void add_exit_action(std::function<void()> action) {
  normal_actions().push_back(std::move(action));
}

void add_signal_exit_action(void (*action)()) {
  if (signal_action_count < kMaxSignalActions) {
    signal_actions[signal_action_count] = action;
    signal_action_count = signal_action_count + 1;
  }
}

void exit_program(int status, const std::string& last_words) {
  if (!exiting) {
    exiting = 1;
    // A failing action must not keep the others from running or the process from ending.
    for (auto& action : normal_actions()) {
      try {
        action();
      } catch (...) {
      }
    }
  }
  std::fflush(stdout);
  std::fflush(stderr);
  write_all(STDERR_FILENO, last_words.data(), last_words.size());
  ::_exit(status);
}

void exit_from_signal(const char* text, int status) {
  // A signal during the normal exit (or during another signal's exit) still runs the signal-safe
  // actions: the interrupted path may have been waiting for a prover that would outlive us.
  const bool already_exiting = exiting;
  exiting = 1;
  if (!already_exiting) write_all(STDERR_FILENO, text, std::strlen(text));
  for (int i = 0; i < signal_action_count; ++i) signal_actions[i]();
  ::_exit(status);
}

void install_termination_signal_handlers() {
  struct sigaction action;
  std::memset(&action, 0, sizeof action);
  action.sa_handler = on_termination_signal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace Korvath
