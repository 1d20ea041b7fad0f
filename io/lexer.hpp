// The tokens of problem files (module Lexer).
//
// A problem file is cut into tokens by twenty rules tried at each position: the longest stretch
// that some rule matches is taken, and on a tie the earlier rule wins.  Keywords are therefore
// reserved ("axiom" is always AXIOM) while longer identifiers ("axioms") and other cases
// ("Axiom") are ordinary identifiers.  White space, comments and every byte that no rule
// matches are skipped, so the lexer never rejects its input.  A comment runs from "#" or "%" to
// the next line feed; without a line feed before the end of the input it is no comment, and
// only its first byte is skipped.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace Lexer {

// The token kinds, in the grammar's order.  (END_OF_FILE stands for the grammar's EOF, a name
// the C library takes for a macro.)
enum class Kind {
  LSYM,
  USYM,
  INPUT_CLAUSE,
  AXIOM,
  HYPOTHESIS,
  CONJECTURE,
  EQUAL,
  LPAREN,
  RPAREN,
  LBRACKET,
  RBRACKET,
  PLUSPLUS,
  MINUSMINUS,
  COMMA,
  DOT,
  END_OF_FILE,
};

struct Token {
  Kind kind;
  std::string text;  // the identifier for LSYM and USYM, empty otherwise
  long line;         // where the token starts, both counted from 1 (columns in bytes)
  long column;
};

// The input of the lexer: a byte source read in chunks, with the position of the next byte.
// Consumed bytes are dropped, so a long file costs memory only for its longest token or
// unterminated comment.
class Buffer {
 public:
  // Fills dest with at most size bytes and returns how many; 0 means the end of the input.
  // May throw to report a read error.
  using ReadChunk = std::function<size_t(char* dest, size_t size)>;

  Buffer(ReadChunk read, std::string source_name);
  // A buffer over a text held in memory (copied).
  Buffer(std::string_view text, std::string source_name);

  // The byte k places after the current position (0 to 255), or -1 past the end of the input.
  int peek(size_t k) {
    size_t at = pos_ + k;
    if (at < filled_) return static_cast<unsigned char>(data_[at]);
    return fill(at + 1) ? static_cast<unsigned char>(data_[at]) : -1;
  }
  // Moves the position n bytes on; needs those bytes to have been peeked.
  void advance(size_t n);
  // Offset (from the current position) of the next line feed, or npos if none before the end.
  size_t find_line_feed();
  // The n bytes from the current position; needs them to have been peeked.
  std::string_view text(size_t n) const { return std::string_view(data_).substr(pos_, n); }

  long line() const { return line_; }
  long column() const { return column_; }
  const std::string& source_name() const { return source_name_; }

 private:
  // Reads until at least size bytes are held or the input ends; true if they are held.
  bool fill(size_t size);
  void compact();

  ReadChunk read_;
  std::string source_name_;
  std::string data_;  // bytes held: [0, filled_) are input, the rest room for reading
  size_t filled_ = 0;
  size_t pos_ = 0;      // next byte within data_
  size_t dropped_ = 0;  // bytes dropped from the front of data_ so far
  size_t no_lf_from_;   // absolute offset from which the input is known to hold no line feed
  bool at_end_ = false;
  long line_ = 1;
  long column_ = 1;
};

// The next token of the buffer.  Never fails on any input (a read error of the source passes
// through).
Token token(Buffer& buffer);

// A short human-readable form of a token for messages: the identifier, a quoted keyword or
// punctuation, or "end of file".
std::string describe(const Token& token);

}  // namespace Lexer
