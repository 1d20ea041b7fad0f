// Recursive-descent reader of the question text (see parser.hpp for the accepted language).
#include "parser.hpp"

#include <cctype>
#include <unordered_map>

namespace Termination {
namespace {

bool is_identifier_char(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '\'';
}

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}

  Trs read() {
    skip_space();
    if (at_keyword("(VAR")) read_variables();
    skip_space();
    if (!at_keyword("(RULES")) fail("expected \"(RULES\"");
    pos_ += 6;
    read_rules();
    skip_space();
    if (pos_ != text_.size()) fail("unexpected text after the rule list");
    trs_.bank.reserve_variables(static_cast<VarId>(trs_.variable_names.size()));
    return std::move(trs_);
  }

 private:
  [[noreturn]] void fail(const std::string& what) const {
    int line = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) line += text_[i] == '\n';
    throw ParseError("line " + std::to_string(line) + ": " + what);
  }

  void skip_space() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }

  bool at_keyword(const std::string& word) const {
    if (text_.compare(pos_, word.size(), word) != 0) return false;
    std::size_t end = pos_ + word.size();
    return end == text_.size() || !is_identifier_char(text_[end]);
  }

  bool at(char c) {
    skip_space();
    return pos_ < text_.size() && text_[pos_] == c;
  }

  void expect(char c) {
    if (!at(c)) fail(std::string("expected \"") + c + "\"");
    ++pos_;
  }

  std::string identifier() {
    skip_space();
    std::size_t start = pos_;
    while (pos_ < text_.size() && is_identifier_char(text_[pos_])) ++pos_;
    if (start == pos_) fail("expected an identifier");
    return text_.substr(start, pos_ - start);
  }

  void read_variables() {
    pos_ += 4;
    while (!at(')')) {
      if (pos_ >= text_.size()) fail("unterminated variable declaration");
      std::string name = identifier();
      if (variables_.contains(name)) continue;
      variables_.emplace(name, static_cast<VarId>(trs_.variable_names.size()));
      trs_.variable_names.push_back(name);
    }
    ++pos_;
  }

  void read_rules() {
    while (!at(')')) {
      if (pos_ >= text_.size()) fail("missing \")\" after the last rule");
      TermId lhs = term();
      skip_space();
      if (text_.compare(pos_, 2, "->") != 0) fail("expected \"->\"");
      pos_ += 2;
      TermId rhs = term();
      trs_.rules.push_back(Rule{lhs, rhs});
    }
    ++pos_;
  }

  TermId term() {
    std::string name = identifier();
    auto var = variables_.find(name);
    bool has_args = at('(');
    if (var != variables_.end()) {
      if (has_args) fail("variable " + name + " applied to arguments");
      return trs_.bank.variable(var->second);
    }
    std::vector<TermId> args;
    if (has_args) args = arguments();
    SymbolId f = symbol(name, static_cast<int>(args.size()));
    return trs_.bank.apply(f, std::move(args));
  }

  std::vector<TermId> arguments() {
    expect('(');
    std::vector<TermId> args;
    if (at(')')) fail("empty argument list");
    args.push_back(term());
    while (at(',')) {
      ++pos_;
      args.push_back(term());
    }
    expect(')');
    return args;
  }

  SymbolId symbol(const std::string& name, int arity) {
    SymbolId f = trs_.signature.find(name);
    if (f < 0) return trs_.signature.add(name, arity);
    if (trs_.signature.arity(f) != arity)
      fail("symbol " + name + " used with " + std::to_string(trs_.signature.arity(f)) + " and " +
           std::to_string(arity) + " arguments");
    return f;
  }

  const std::string& text_;
  std::size_t pos_ = 0;
  Trs trs_;
  std::unordered_map<std::string, VarId> variables_;
};

}  // namespace

Trs parse_problem(const std::string& text) {
  return Reader(text).read();
}

}  // namespace Termination
