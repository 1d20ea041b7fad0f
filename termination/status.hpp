// Verdicts of a termination prover (module Status).
#pragma once

#include <string>

namespace Status {

// What a prover said about a rule set: it terminates, it does not, or no verdict (the prover
// gave up or ran out of its own time).
enum class CheckerStatus { YES, NO, UNKNOWN };

// "YES", "NO" or "UNKNOWN".
std::string string_of_checker_status(CheckerStatus status);

}  // namespace Status
