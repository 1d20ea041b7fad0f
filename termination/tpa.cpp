// The TPA client: one prover process per question.
#include "termination/tpa.hpp"

#include "driver/debug.hpp"
#include "driver/failure.hpp"
#include "driver/prefs.hpp"

namespace Tpa {

std::optional<Aprove::ProverHandle> tpa_process;

Aprove::ProverHandle start(const std::string& command) {
  return Aprove::start(command, "TPA");
}

void stop(Aprove::ProverHandle& handle) {
  Aprove::stop(handle);
  tpa_process.reset();
}

Aprove::ProverHandle& get_handle(const std::string& command) {
  if (Prefs::debug_checker)
    Debug::debug_l(Debug::Level::trace, [&] { return "Starting TPA (" + command + ") ..."; });
  // Only a failed question leaves a process recorded; it must not outlive its handle.
  if (tpa_process) Tpa::stop(*tpa_process);
  tpa_process.emplace(start(command));
  return *tpa_process;
}

void tell(Aprove::ProverHandle& handle, const std::string& text) {
  if (Prefs::debug_checker) Debug::maybe_debug(Debug::Level::trace, text);
  handle.pending += text;
  handle.pending += '\n';
}

std::string read_answer(Aprove::ProverHandle& handle) {
  handle.pending += '\n';
  Aprove::flush(handle);
  Aprove::close_to_prover(handle);
  return Aprove::read_line(handle, "the answer line");
}

Status::CheckerStatus ask(Aprove::ProverHandle& handle) {
  const std::string line = Tpa::read_answer(handle);
  Status::CheckerStatus status;
  if (line == "YES")
    status = Status::CheckerStatus::YES;
  else if (line == "NO")
    status = Status::CheckerStatus::NO;
  else if (line == "MAYBE" || line == "TIMEOUT")
    status = Status::CheckerStatus::UNKNOWN;
  else
    throw Korvath::Failure("Error communicating with TPA: responded with " + line);
  Tpa::stop(handle);
  return status;
}

void shutdown() {
  if (tpa_process) Tpa::stop(*tpa_process);
}

}  // namespace Tpa
