// The command line.
//
// Arguments are processed strictly from left to right: an option changes a setting the moment it
// is met, and every other argument names a problem file that is solved completely before the next
// argument is looked at.  So one invocation can solve several files, each under the settings
// established to its left.
#include "driver/main.hpp"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

#include "driver/debug.hpp"
#include "driver/exit.hpp"
#include "driver/prefs.hpp"
#include "termination/checker.hpp"

namespace Main {
namespace {

enum class ArgKind { none, integer, text };

struct Option {
  const char* key;
  ArgKind kind;
  std::function<void(long, const std::string&)> action;
  const char* help;
};

void set_verbosity_level(Debug::Level level) { Debug::verbosity = level; }

std::vector<Option> option_table() {
  using L = Debug::Level;
  return {
      {"--verbosity", ArgKind::text, [](long, const std::string& s) { Debug::set_verbosity(s); },
       "Set verbosity: quiet, info (default), debug, trace"},
      {"--quiet", ArgKind::none, [](long, auto&) { set_verbosity_level(L::quiet); },
       "Set verbosity to quiet"},
      {"--info", ArgKind::none, [](long, auto&) { set_verbosity_level(L::info); },
       "Set verbosity to info"},
      {"--debug", ArgKind::none, [](long, auto&) { set_verbosity_level(L::debug); },
       "Set debug level to debug"},
      {"--trace", ArgKind::none, [](long, auto&) { set_verbosity_level(L::trace); },
       "Set debug level to trace"},
      {"--debug-checker", ArgKind::none,
       [](long, auto&) {
         Prefs::debug_checker = true;
         set_verbosity_level(L::trace);
       },
       "Debug communication with the termination checker"},
      {"--debug-learning", ArgKind::none,
       [](long, auto&) {
         Prefs::debug_learning = true;
         set_verbosity_level(L::trace);
       },
       "Debug learning"},
      {"--debug-rewriting", ArgKind::none,
       [](long, auto&) {
         Prefs::debug_rewriting = true;
         set_verbosity_level(L::trace);
       },
       "Show normalization steps in detail"},
      {"--timeout", ArgKind::integer, [](long n, auto&) { Prefs::timeout = n; },
       "Timeout in seconds"},
      {"-t", ArgKind::integer, [](long n, auto&) { Prefs::timeout = n; }, "Timeout in seconds"},
      {"--complete", ArgKind::none, [](long, auto&) { Prefs::complete = true; },
       "Search for a convergent completion"},
      {"--find-all", ArgKind::none, [](long, auto&) { Prefs::find_all = true; },
       "Find all completions"},
      {"--trust-input", ArgKind::none, [](long, auto&) { Prefs::trust_input = true; },
       "Always orient axioms as given in the input"},
      {"--aprove", ArgKind::none, [](long, auto&) { Checker::use_aprove(); },
       "Use the AProVE termination checker (default)"},
      {"--tpa", ArgKind::none, [](long, auto&) { Checker::use_tpa(); },
       "Use the TPA termination checker"},
      {"--cmd", ArgKind::text, [](long, const std::string& s) { Checker::aprove_command = s; },
       "Command used to run AProVE"},
      {"--detect-divergence", ArgKind::none,
       [](long, auto&) { Prefs::detect_divergence = true; },
       "Enable experimental divergence detection heuristic"},
      {"--version", ArgKind::none,
       [](long, auto&) { Debug::maybe_debug(Debug::Level::info, "Korvath " + korvath_version()); },
       "Print the version number"},
  };
}

std::string usage_listing(const std::string& argv0, const std::vector<Option>& options) {
  std::string out = "Usage: " + argv0 + " <file1.tptp> <file2.tptp> ...\n";
  for (const Option& o : options) out += std::string("  ") + o.key + " " + o.help + "\n";
  out += "  -help  Display this list of options\n";
  out += "  --help  Display this list of options\n";
  return out;
}

// Plain decimal with an optional leading minus sign, within the range of long.
std::optional<long> parse_integer(const std::string& text) {
  size_t start = (!text.empty() && text[0] == '-') ? 1 : 0;
  if (text.size() == start) return std::nullopt;
  for (size_t i = start; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  errno = 0;
  long value = std::strtol(text.c_str(), nullptr, 10);
  if (errno == ERANGE) return std::nullopt;
  return value;
}

std::string quoted(const std::string& text) { return "`" + text + "'"; }

[[noreturn]] void command_line_error(const std::string& message, const std::string& usage) {
  std::string text = message + "\n" + usage;
  Korvath::exit_program(2, text);
}

}  // namespace

std::string korvath_version() {
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d.%d", 1, 1, 0);
  return text;
}

void go(const std::string& path) { run(load(path)); }

void main(int argc, char** argv) {
  const std::string argv0 = argc > 0 ? argv[0] : "korvath";
  const std::vector<Option> options = option_table();
  const std::string usage = usage_listing(argv0, options);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.empty() || arg[0] != '-') {
      go(arg);
      continue;
    }
    if (arg == "-help" || arg == "--help") {
      std::fwrite(usage.data(), 1, usage.size(), stdout);
      Korvath::exit_program(0);
    }
    const Option* option = nullptr;
    for (const Option& o : options)
      if (arg == o.key) option = &o;
    if (option == nullptr) command_line_error(argv0 + ": unknown option " + quoted(arg) + ".", usage);
    long number = 0;
    std::string value;
    if (option->kind != ArgKind::none) {
      if (i + 1 >= argc)
        command_line_error(argv0 + ": option " + quoted(arg) + " needs an argument.", usage);
      value = argv[++i];
      if (option->kind == ArgKind::integer) {
        auto parsed = parse_integer(value);
        if (!parsed)
          command_line_error(argv0 + ": wrong argument " + quoted(value) + "; option " +
                                 quoted(arg) + " expects an integer.",
                             usage);
        number = *parsed;
      }
    }
    option->action(number, value);
  }
  Korvath::exit_program(0);
}

}  // namespace Main
