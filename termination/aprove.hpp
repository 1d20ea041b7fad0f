// The AProVE client (module Aprove) and the prover processes both clients run.
//
// A prover is a shell command run as a child process whose standard input and output are pipes
// to korvath; its standard error is korvath's own.  AProVE keeps one process for the whole run
// (restarted only when the command changes) and answers any number of questions: a question is
// the texts told, then a line ".", and the answer is three lines of which the first is the
// verdict.  The process functions here (start, flush, read_line, stop) serve the TPA client too.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "termination/status.hpp"

namespace Aprove {

// The pipes to a running prover and its process.  Owns its descriptors and its process: a
// handle is moved, never copied, and stop() releases both.
struct ProverHandle {
  int from_prover = -1;  // reads the child's standard output
  int to_prover = -1;    // writes the child's standard input (buffered in pending)
  pid_t pid = -1;        // the child (the leader of its own process group); -1 once reaped
  std::string client;    // "AProVE" or "TPA", for messages
  std::string command;   // the command line the child runs, for messages
  std::string pending;   // told but not yet written
  std::string received;  // read but not yet returned as lines
  int slot = -1;         // its entry in the table the signal-safe shutdown reads

  ProverHandle() = default;
  ProverHandle(ProverHandle&& other) noexcept;
  ProverHandle& operator=(ProverHandle&& other) noexcept;
  ProverHandle(const ProverHandle&) = delete;
  ProverHandle& operator=(const ProverHandle&) = delete;
  ~ProverHandle();  // stops the process if it still runs
};

// The running AProVE prover and the exact command it was started with; none at start.
struct Process {
  std::string command;
  ProverHandle handle;
};
extern std::optional<Process> aprove_process;

// Runs `/bin/sh -c command` as a child with its standard input and output on pipes (our ends are
// close-on-exec, so no other child inherits them).  The child gets default signal dispositions
// and mask, and a process group of its own so that stop() can end whatever the shell started.
// client names the prover in failure messages.  Fails when the pipes or the process cannot be
// created.
ProverHandle start(const std::string& command, const std::string& client = "AProVE");

// Closes from_prover, writes what is pending without blocking (errors ignored), closes
// to_prover, and waits for the child to exit (resuming after signals), killing its process
// group after a grace time.  The exit status is ignored.  Does nothing for parts already
// released.
void stop(ProverHandle& handle);

// Writes everything pending with write(2), resuming after signals and partial writes.  Fails
// with a message naming the command when the prover does not take its input (a broken pipe).
void flush(ProverHandle& handle);

// Closes to_prover (after nothing is pending), so that the prover sees the end of its input.
void close_to_prover(ProverHandle& handle);

// returns: the next line from the prover without its line feed; a last line ended by the end of
// the output counts.  Fails, naming the prover, its command and what (e.g. "the first answer
// line"), when the output ends before any character of the line.
std::string read_line(ProverHandle& handle, const std::string& what);

// Records (command, handle) as aprove_process; returns the recorded handle.
ProverHandle& set_handle(const std::string& command, ProverHandle handle);

// The handle for the next question: starts the prover on first use, reuses it while the command
// is the same (exact text), restarts it when the command changes.
ProverHandle& get_handle(const std::string& command);

// Appends text and a line feed to what is pending (echoing text at level trace when
// debug_checker is on).  Nothing is written yet.
void tell(ProverHandle& handle, const std::string& text);

// Ends the question with ".", writes everything in one flush, reads three lines and returns the
// first.
std::string read_answer(ProverHandle& handle);

// The verdict: "true" YES, "false" NO, "maybe" and "timed out" UNKNOWN; any other first line
// fails with "Error communicating with AProVE: responded with " + line.
Status::CheckerStatus ask(ProverHandle& handle);

// Stops the recorded prover, if any, and forgets it.
void shutdown();

// For the signal exit path (async-signal-safe: close, waitpid, nanosleep, kill only): closes the
// pipes of every prover process still running, lets each exit within a short grace time, then
// kills its process group and reaps it.
void stop_all_provers_from_signal();

}  // namespace Aprove
