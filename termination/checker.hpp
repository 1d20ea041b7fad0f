// The termination checker front end (module Checker): the prover choice and command, the
// run-wide statistics of questions and answers, and the one door through which the program asks
// whether a rule set terminates.
#pragma once

#include <string>
#include <vector>

#include "termination/aprove.hpp"
#include "termination/status.hpp"
#include "terms/terms.hpp"

namespace Checker {

enum class Kind { AProVE, TPA };

// Settings.
extern Kind current_checker;  // AProVE at start
extern std::string
    aprove_command;  // "aprove" at start; the command of whichever prover is selected

void use_aprove();           // selects AProVE and resets the command to "aprove"
void use_tpa();              // selects TPA and sets the command to "tpa"
std::string checker_name();  // "AProVE" or "TPA"

// Statistics, never reset.  Durations in wall-clock seconds.
extern long checker_calls;
extern double checker_time;
extern double checker_max_time;
extern double checker_min_time;  // the largest finite double until the first answer
extern long checker_yes;
extern double checker_yes_time;
extern double checker_yes_max_time;
extern long checker_no;
extern long checker_unknown;
extern long orientations;  // raised by 2 per orientation (Orient)

// Asks the selected prover whether rules (non-empty, in the order written) terminate; vars
// are the variables declared in the question.  Registers YES and NO verdicts in the cache.
bool is_terminating(const std::vector<Terms::Rule>& rules,
                    const std::vector<Terms::Variable>& vars);

// Stops the selected client's prover, if one runs.  Registered as an exit action at start-up by
// Checker::initialize.
void shutdown();

// What each prover client offers; one entry per Kind, in the order of Kind.
struct CheckerClient {
  const char* name;             // "AProVE" or "TPA"
  const char* default_command;  // "aprove" or "tpa"
  Aprove::ProverHandle& (*get_handle)(const std::string& command);
  void (*tell)(Aprove::ProverHandle& handle, const std::string& text);
  Status::CheckerStatus (*ask)(Aprove::ProverHandle& handle);
  void (*shutdown)();
};
const CheckerClient& client(Kind kind);

// The operations of the client selected by current_checker at the time of the call.
Aprove::ProverHandle& get_handle(const std::string& command);
void tell(Aprove::ProverHandle& handle, const std::string& text);
Status::CheckerStatus ask(Aprove::ProverHandle& handle);

// Wall-clock time of day in seconds, with microsecond resolution.
double time_of_day();

// A wait as the checker's trace writes it: "%.12g", plus "." when that is only digits and
// minus signs.
std::string string_of_wait(double seconds);

// Registers the exit actions (normal and signal-safe) that stop the provers.  Called once at
// program start.
void initialize();

}  // namespace Checker
