// Verdict names.
#include "termination/status.hpp"

namespace Status {

std::string string_of_checker_status(CheckerStatus status) {
  switch (status) {
    case CheckerStatus::YES:
      return "YES";
    case CheckerStatus::NO:
      return "NO";
    case CheckerStatus::UNKNOWN:
      break;
  }
  return "UNKNOWN";
}

}  // namespace Status
