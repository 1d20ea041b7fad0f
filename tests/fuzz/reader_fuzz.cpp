// libFuzzer target for the problem-file reader.
//
// Each input is read three ways and the results must agree: from memory in one piece, through a
// chunked source (chunk size taken from the first byte, so tokens and comments straddle chunk
// boundaries), and, when it parses, the printed clauses are read back and must give clauses of
// the same shape.  A syntax error or an over-deep term is an expected outcome; any other escape,
// crash or sanitizer report is a finding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "driver/failure.hpp"
#include "io/lexer.hpp"
#include "io/parser.hpp"
#include "io/print.hpp"

namespace {

struct Outcome {
  bool ok = false;
  std::vector<Tptp::Clause> clauses;
  std::string text;  // printed clauses, or the error description
};

Outcome read(Lexer::Buffer& buffer) {
  Outcome out;
  try {
    out.clauses = Parser::start(buffer);
    out.ok = true;
    for (const Tptp::Clause& c : out.clauses) out.text += Print::string_of_clause(c) + "\n";
  } catch (const Korvath::Error& e) {
    out.text = e.description();
  }
  return out;
}

void require(bool condition) {
  if (!condition) std::abort();
}

void check_same_shape(const std::vector<Tptp::Clause>& a, const std::vector<Tptp::Clause>& b) {
  require(a.size() == b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    require(a[i].name == b[i].name && a[i].status == b[i].status);
    require(a[i].formulas.size() == b[i].formulas.size());
    for (size_t j = 0; j < a[i].formulas.size(); ++j) {
      const Tptp::Formula& f = a[i].formulas[j];
      const Tptp::Formula& g = b[i].formulas[j];
      require(f.positive == g.positive);
      require(f.left.size() == g.left.size() && f.right.size() == g.right.size());
      require(f.left.depth() == g.left.depth() && f.right.depth() == g.right.depth());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  Lexer::Buffer whole(text, "fuzz");
  Outcome first = read(whole);

  size_t chunk = size > 0 ? 1 + data[0] % 7 : 1;
  size_t at = 0;
  Lexer::Buffer pieces(
      [&](char* dest, size_t room) {
        size_t n = std::min({room, chunk, text.size() - at});
        std::copy_n(text.data() + at, n, dest);
        at += n;
        return n;
      },
      "fuzz");
  Outcome second = read(pieces);
  require(first.ok == second.ok && first.text == second.text);

  if (first.ok) {
    Lexer::Buffer printed(first.text, "printed");
    Outcome again = read(printed);
    require(again.ok);
    check_same_shape(first.clauses, again.clauses);
  }
  return 0;
}
