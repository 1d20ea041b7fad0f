// libFuzzer target for the question reader of korvath-termination.
//
// Each input is taken as one question text (a variable declaration and a rule list).  A ParseError
// is an expected outcome; any other exception, crash or sanitizer report is a finding.  When the
// text parses, the rules are printed back in the question syntax, with the declared variables,
// and read again: the second reading must succeed and print the same rules (printing and reading
// are inverse on what the reader accepts).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "parser.hpp"
#include "term_ops.hpp"
#include "trs.hpp"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

std::string printed_rules(const Termination::Trs& trs) {
  std::string out;
  for (const Termination::Rule& r : trs.rules)
    out += Termination::to_string(trs, r.lhs) + " -> " + Termination::to_string(trs, r.rhs) + "\n";
  return out;
}

std::string question_text(const Termination::Trs& trs) {
  std::string out = "(VAR";
  for (const std::string& v : trs.variable_names) out += " " + v;
  return out + ")\n(RULES\n" + printed_rules(trs) + ")\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Termination::Trs first;
  try {
    first = Termination::parse_problem(text);
  } catch (const Termination::ParseError&) {
    return 0;
  }
  const std::string printed = printed_rules(first);
  Termination::Trs second;
  try {
    second = Termination::parse_problem(question_text(first));
  } catch (const Termination::ParseError&) {
    require(false);
  }
  require(second.rules.size() == first.rules.size());
  require(printed_rules(second) == printed);
  return 0;
}
