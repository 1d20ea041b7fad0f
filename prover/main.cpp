// Entry point of korvath-termination: parses the command line and runs the chosen mode.
#include <iostream>
#include <string>
#include <vector>

#include "options.hpp"
#include "protocol.hpp"

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  using namespace Termination;
  Options options;
  try {
    options = parse_options(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& e) {
    std::cerr << "korvath-termination: " << e.what() << "\n(see --help)\n";
    return 2;
  }
  switch (options.mode) {
    case Mode::Help:
      std::cout << help_text();
      return 0;
    case Mode::OneShot:
      return run_one_shot(std::cin, std::cout, std::cerr, options);
    case Mode::Files:
      return run_files(std::cout, std::cerr, options);
    case Mode::Persistent:
      break;
  }
  return run_persistent(std::cin, std::cout, std::cerr, options);
}
