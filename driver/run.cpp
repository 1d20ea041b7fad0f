// Running a loaded problem.  (Filled in by the engine work.)
#include "driver/failure.hpp"
#include "driver/main.hpp"

namespace Main {

void run(const Problem&) { throw Korvath::Failure("The completion engine is not available yet"); }

}  // namespace Main
