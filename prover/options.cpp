// Parsing of the command line (see options.hpp).
#include "options.hpp"

#include <charconv>

namespace Termination {
namespace {

long parse_budget(const std::string& text) {
  long value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value <= 0)
    throw UsageError("--timeout-ms needs a positive number of milliseconds, got \"" + text + "\"");
  return value;
}

}  // namespace

Options parse_options(const std::vector<std::string>& args) {
  Options options;
  bool one_shot = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") return Options{Mode::Help, kDefaultTimeoutMs, {}};
    if (a == "--tpa") {
      one_shot = true;
    } else if (a == "--trace") {
      options.trace = true;
    } else if (a == "--timeout-ms") {
      if (i + 1 == args.size()) throw UsageError("--timeout-ms needs a value");
      options.timeout_ms = parse_budget(args[++i]);
    } else if (a.rfind("--timeout-ms=", 0) == 0) {
      options.timeout_ms = parse_budget(a.substr(13));
    } else if (a.size() > 1 && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else {
      options.files.push_back(a);
    }
  }
  if (one_shot && !options.files.empty()) throw UsageError("--tpa reads standard input, not files");
  options.mode = one_shot ? Mode::OneShot : options.files.empty() ? Mode::Persistent : Mode::Files;
  return options;
}

std::string help_text() {
  return "usage: korvath-termination [--timeout-ms N] [--tpa] [FILE.trs ...]\n"
         "\n"
         "Decides termination of first-order term rewriting systems given as\n"
         "  (VAR x y)\n"
         "  (RULES\n"
         "  f(x,e) -> x\n"
         "  g(a) -> b)\n"
         "\n"
         "Modes:\n"
         "  (no FILE)      persistent mode: reads questions from standard input until its end;\n"
         "                 each question is the text above followed by a line holding \".\";\n"
         "                 answers with three lines: true | false | maybe | timed out, a one-line\n"
         "                 summary of the method, and the time taken in milliseconds. Input that\n"
         "                 ends inside a question is dropped without an answer (exit status 0).\n"
         "  --tpa          one-shot mode: one question ended by an empty line and the end of\n"
         "                 input; answers one line: YES | NO | MAYBE | TIMEOUT.\n"
         "  FILE.trs ...   file mode: for each file the verdict YES | NO | MAYBE on the first\n"
         "                 line, then a readable proof (ordering, interpretation, dependency-pair\n"
         "                 steps, or the loop found). Running out of time gives MAYBE.\n"
         "\n"
         "Options:\n"
         "  --timeout-ms N  time budget per question in milliseconds (default 2000): a wall-clock\n"
         "                  ceiling; each technique also gets a share of it in CPU time (about\n"
         "                  6% in all), so a question that nothing settles is answered maybe\n"
         "                  after about 120 ms by default, and a larger budget buys more effort\n"
         "  --trace         write the time each technique takes to standard error\n"
         "  --help          show this text\n"
         "\n"
         "Malformed input is reported on standard error with exit status 2.\n";
}

}  // namespace Termination
