// Lexer: a hand-written scanner over a chunked byte buffer.
//
// Only identifiers and comments are longer than two bytes, so longest match reduces to: read a
// whole identifier and then check it against the keywords (a keyword wins its tie with the
// identifier rule); "++" and "--" need one byte of lookahead; a comment needs the next line feed.
// Whether the rest of the input holds a line feed is remembered, so a last line full of "%"
// bytes is scanned once, not once per byte.
#include "io/lexer.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

namespace Lexer {

namespace {

constexpr size_t kFirstRoom = size_t{1} << 12;
constexpr size_t kChunk = size_t{1} << 16;  // bytes consumed before they are dropped
constexpr size_t kNone = std::string::npos;

bool is_lower(int c) {
  return c >= 'a' && c <= 'z';
}
bool is_upper(int c) {
  return c >= 'A' && c <= 'Z';
}
bool is_ident(int c) {
  return is_lower(c) || is_upper(c) || (c >= '0' && c <= '9') || c == '_';
}

Kind keyword_or_lsym(std::string_view text) {
  if (text == "input_clause") return Kind::INPUT_CLAUSE;
  if (text == "axiom") return Kind::AXIOM;
  if (text == "hypothesis") return Kind::HYPOTHESIS;
  if (text == "conjecture") return Kind::CONJECTURE;
  if (text == "equal") return Kind::EQUAL;
  return Kind::LSYM;
}

// The token a single punctuation byte makes, if any.
bool punctuation(int c, Kind& kind) {
  switch (c) {
    case '(':
      kind = Kind::LPAREN;
      return true;
    case ')':
      kind = Kind::RPAREN;
      return true;
    case '[':
      kind = Kind::LBRACKET;
      return true;
    case ']':
      kind = Kind::RBRACKET;
      return true;
    case '.':
      kind = Kind::DOT;
      return true;
    case ',':
      kind = Kind::COMMA;
      return true;
    default:
      return false;
  }
}

Token identifier(Buffer& buffer, long line, long column) {
  size_t n = 1;
  while (is_ident(buffer.peek(n))) ++n;
  std::string text(buffer.text(n));
  buffer.advance(n);
  Kind kind = is_upper(static_cast<unsigned char>(text[0])) ? Kind::USYM : keyword_or_lsym(text);
  if (kind != Kind::LSYM && kind != Kind::USYM) text.clear();
  return Token{kind, std::move(text), line, column};
}

}  // namespace

Buffer::Buffer(ReadChunk read, std::string source_name)
    : read_(std::move(read)), source_name_(std::move(source_name)), no_lf_from_(kNone) {}

Buffer::Buffer(std::string_view text, std::string source_name)
    : source_name_(std::move(source_name)),
      data_(text),
      filled_(text.size()),
      no_lf_from_(kNone),
      at_end_(true) {}

bool Buffer::fill(size_t size) {
  while (filled_ < size && !at_end_) {
    // Grow the room geometrically when it is full; consumed bytes are dropped by compact(), so
    // for a long file it settles at about two chunks.
    if (filled_ == data_.size() || data_.size() < size)
      data_.resize(std::max({data_.size() * 2, kFirstRoom, size}));
    size_t room = data_.size() - filled_;
    size_t got = std::min(read_(data_.data() + filled_, room), room);
    filled_ += got;
    if (got == 0) at_end_ = true;
  }
  return filled_ >= size;
}

void Buffer::advance(size_t n) {
  const char* p = data_.data() + pos_;
  const char* end = p + n;
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
    if (lf == nullptr) {
      column_ += end - p;
      break;
    }
    ++line_;
    column_ = 1;
    p = lf + 1;
  }
  pos_ += n;
  compact();
}

void Buffer::compact() {
  if (pos_ < kChunk || pos_ < filled_ / 2) return;
  std::memmove(data_.data(), data_.data() + pos_, filled_ - pos_);
  filled_ -= pos_;
  dropped_ += pos_;
  pos_ = 0;
}

size_t Buffer::find_line_feed() {
  if (no_lf_from_ != kNone && dropped_ + pos_ >= no_lf_from_) return kNone;
  size_t from = pos_;
  for (;;) {
    const void* lf = std::memchr(data_.data() + from, '\n', filled_ - from);
    if (lf != nullptr) return static_cast<const char*>(lf) - (data_.data() + pos_);
    from = filled_;
    if (!fill(filled_ + 1)) break;
  }
  no_lf_from_ = dropped_ + pos_;
  return kNone;
}

Token token(Buffer& buffer) {
  for (;;) {
    const long line = buffer.line();
    const long column = buffer.column();
    const int c = buffer.peek(0);
    if (c < 0) return Token{Kind::END_OF_FILE, "", line, column};
    if (is_lower(c) || is_upper(c)) return identifier(buffer, line, column);
    Kind kind;
    if (punctuation(c, kind)) {
      buffer.advance(1);
      return Token{kind, "", line, column};
    }
    if ((c == '+' || c == '-') && buffer.peek(1) == c) {
      buffer.advance(2);
      return Token{c == '+' ? Kind::PLUSPLUS : Kind::MINUSMINUS, "", line, column};
    }
    if (c == '#' || c == '%') {
      size_t lf = buffer.find_line_feed();
      if (lf != kNone) {
        buffer.advance(lf + 1);
        continue;
      }
    }
    // White space, or a byte that no rule matches (including a comment sign without a line
    // feed after it): skipped on its own.
    buffer.advance(1);
  }
}

std::string describe(const Token& token) {
  constexpr size_t kShown = 40;
  switch (token.kind) {
    case Kind::LSYM:
    case Kind::USYM: {
      std::string shown = "'";
      shown.append(token.text, 0, kShown);
      if (token.text.size() <= kShown) return shown + "'";
      return shown + "...' (" + std::to_string(token.text.size()) + " characters)";
    }
    case Kind::INPUT_CLAUSE:
      return "'input_clause'";
    case Kind::AXIOM:
      return "'axiom'";
    case Kind::HYPOTHESIS:
      return "'hypothesis'";
    case Kind::CONJECTURE:
      return "'conjecture'";
    case Kind::EQUAL:
      return "'equal'";
    case Kind::LPAREN:
      return "'('";
    case Kind::RPAREN:
      return "')'";
    case Kind::LBRACKET:
      return "'['";
    case Kind::RBRACKET:
      return "']'";
    case Kind::PLUSPLUS:
      return "'++'";
    case Kind::MINUSMINUS:
      return "'--'";
    case Kind::COMMA:
      return "','";
    case Kind::DOT:
      return "'.'";
    case Kind::END_OF_FILE:
      return "end of file";
  }
  return "token";
}

}  // namespace Lexer
