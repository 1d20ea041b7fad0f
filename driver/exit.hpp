// Exit actions: what runs on every way out of the program.
//
// Normal exits (end of the command line, help, command-line errors, fatal errors) call
// Korvath::exit_program, which runs the registered actions once, in registration order, and ends
// the process.  Asynchronous exits (the overall time-out, SIGINT, SIGTERM) happen inside a signal
// handler, where only async-signal-safe calls are allowed; they call Korvath::exit_from_signal,
// which runs the separately registered signal-safe actions (closing pipes, reaping or killing the
// prover with write, close, kill, waitpid and nanosleep only) and then _exit.
#pragma once

#include <functional>
#include <string>

namespace Korvath {

// Registers an action for the normal exit path.  Actions run at most once.
void add_exit_action(std::function<void()> action);

// Registers an action for the signal exit path.  It must be async-signal-safe.
void add_signal_exit_action(void (*action)());

// Runs the exit actions (once), flushes the standard channels, writes last_words (if any) to
// standard error and ends the process.
[[noreturn]] void exit_program(int status, const std::string& last_words = "");

// For signal handlers: writes text (may be empty) to standard error, runs the signal-safe
// actions and ends the process with _exit(status).
[[noreturn]] void exit_from_signal(const char* text, int status);

// Installs handlers that end the run on SIGINT and SIGTERM with status 128 + signal number, and
// makes writes to a closed pipe fail with EPIPE instead of killing the process.
void install_termination_signal_handlers();

}  // namespace Korvath
