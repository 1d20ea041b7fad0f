// The TPA client (module Tpa).
//
// TPA answers one question per process: every question starts a fresh prover, tells it the
// texts, ends with an empty line and the end of its input, reads one verdict line and waits for
// the process to end.  Processes are started and stopped as for AProVE (Aprove::start,
// Aprove::stop).
#pragma once

#include <optional>
#include <string>

#include "termination/aprove.hpp"
#include "termination/status.hpp"

namespace Tpa {

// The process answering the current question; none between questions.
extern std::optional<Aprove::ProverHandle> tpa_process;

Aprove::ProverHandle start(const std::string& command);

// Stops the process of handle and forgets the recorded one.
void stop(Aprove::ProverHandle& handle);

// Starts a new process for the next question (announced at level trace when debug_checker is
// on) and records it.  A process still recorded from a failed question is stopped first.
Aprove::ProverHandle& get_handle(const std::string& command);

// As Aprove::tell: text and a line feed, pending until the question ends.
void tell(Aprove::ProverHandle& handle, const std::string& text);

// Ends the question (an empty line, one flush, end of input) and returns the one answer line.
std::string read_answer(Aprove::ProverHandle& handle);

// "YES" YES, "NO" NO, "MAYBE" and "TIMEOUT" UNKNOWN, after which the process is stopped; any
// other line fails with "Error communicating with TPA: responded with " + line and leaves the
// process recorded.
Status::CheckerStatus ask(Aprove::ProverHandle& handle);

// Stops the recorded process, if any.
void shutdown();

}  // namespace Tpa
