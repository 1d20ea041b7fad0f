// Test helper: terms written in the program's own term syntax.
//
// A name that starts with an upper-case letter and ends in digits is a variable (X0, Y12: name
// X or Y, suffix 0 or 12); any other name is a symbol, followed by an optional parenthesised,
// comma-separated argument list.  Rules are written "l -> r".  Malformed text aborts the test
// program, since it is a fault of the test itself.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/print.hpp"
#include "terms/substitution.hpp"
#include "terms/terms.hpp"

namespace TermText {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  Terms::Term term() {
    skip_spaces();
    size_t start = pos_;
    while (pos_ < text_.size() &&
           (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
      ++pos_;
    std::string_view name = text_.substr(start, pos_ - start);
    if (name.empty()) std::abort();
    if (std::isupper(static_cast<unsigned char>(name[0]))) return variable(name);
    std::vector<Terms::Term> args;
    skip_spaces();
    if (pos_ < text_.size() && text_[pos_] == '(') {
      do {
        ++pos_;
        args.push_back(term());
        skip_spaces();
      } while (pos_ < text_.size() && text_[pos_] == ',');
      expect(")");
    }
    return Terms::app(Terms::Name::intern(name), std::move(args));
  }

  void expect(std::string_view word) {
    skip_spaces();
    if (text_.substr(pos_, word.size()) != word) std::abort();
    pos_ += word.size();
  }

  void end() {
    skip_spaces();
    if (pos_ != text_.size()) std::abort();
  }

 private:
  Terms::Term variable(std::string_view name) {
    size_t digits = name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
    if (digits == name.size()) std::abort();
    return Terms::var(name.substr(0, digits), std::stol(std::string(name.substr(digits))));
  }

  void skip_spaces() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

inline Terms::Term term(std::string_view text) {
  Reader r(text);
  Terms::Term t = r.term();
  r.end();
  return t;
}

inline Terms::Rule rule(std::string_view text) {
  Reader r(text);
  Terms::Term l = r.term();
  r.expect("->");
  Terms::Term rhs = r.term();
  r.end();
  return {l, rhs};
}

inline std::vector<Terms::Rule> rules(std::initializer_list<std::string_view> texts) {
  std::vector<Terms::Rule> out;
  for (std::string_view t : texts) out.push_back(rule(t));
  return out;
}

inline std::string show(const Terms::Term& t) {
  return Print::string_of_term(t);
}

inline std::string show(const Terms::Rule& r) {
  return Print::string_of_rule(r);
}

// "X0:=a Y0:=f(b)", bindings sorted by their text; "none" for an absent substitution.
inline std::string show(const std::optional<Terms::Substitution>& s) {
  if (!s) return "none";
  std::vector<std::string> parts;
  for (const auto& [v, t] : s->bindings())
    parts.push_back(Print::string_of_variable(v) + ":=" + show(t));
  std::sort(parts.begin(), parts.end());
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : " ") + p;
  return out;
}

// s^n(base).
inline Terms::Term tower(const char* symbol, int n, Terms::Term base) {
  for (int i = 0; i < n; ++i) base = Terms::app(symbol, {base});
  return base;
}

}  // namespace TermText
