// The program entry: sets up the exit paths, runs the command line, and turns every failure that
// escapes it into the fatal-error line and exit status 2.
#include <new>
#include <string>

#include "driver/exit.hpp"
#include "driver/failure.hpp"
#include "driver/main.hpp"
#include "termination/checker.hpp"

int main(int argc, char** argv) {
  Korvath::install_termination_signal_handlers();
  Checker::initialize();
  std::string description;
  try {
    Main::main(argc, argv);
  } catch (const Korvath::Error& e) {
    description = e.description();
  } catch (const std::bad_alloc&) {
    description = "Out_of_memory";
  } catch (const std::exception& e) {
    description = "Failure(\"" + std::string(e.what()) + "\")";
  }
  Korvath::exit_program(2, "Fatal error: exception " + description + "\n");
}
