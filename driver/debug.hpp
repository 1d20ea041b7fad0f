// Diagnostics and verbosity.
//
// Every line the program shows its user goes through here.  A message carries a level; the
// run-wide verbosity decides which levels are shown (a message of level L is shown when
// L <= verbosity), and the level alone decides the channel: info goes to standard output, every
// other level to standard error.  Each message is written with its final line feed in one write
// call, so it reaches the terminal at once and a signal handler writing to the same channel
// cannot split it.  Costly texts are passed as callables and built only when shown.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace Debug {

enum class Level { quiet = 0, info = 1, debug = 2, trace = 3 };

// The run-wide verbosity; info at program start.
extern Level verbosity;

// Maps "quiet"/"0", "info"/"1", "debug"/"2"/"", "trace"/"3" to a level; anything else fails
// with "Unable to parse debug level: " + text.
Level parse_verbosity(std::string_view text);
void set_verbosity(std::string_view text);

inline bool should_display(Level level) { return level <= verbosity; }

// Writes text and a line feed to the channel of the level, unconditionally.
void display(Level level, std::string_view text);

inline void maybe_debug(Level level, std::string_view text) {
  if (should_display(level)) display(level, text);
}

// Builds the text (a callable returning something convertible to std::string) only when the
// message is shown.
template <class MakeText>
void debug_l(Level level, MakeText&& make_text) {
  if (should_display(level)) display(level, std::string(make_text()));
}

template <class MakeText>
void debug(MakeText&& make_text) {
  debug_l(Level::debug, std::forward<MakeText>(make_text));
}

template <class MakeText>
void trace(MakeText&& make_text) {
  debug_l(Level::trace, std::forward<MakeText>(make_text));
}

// Shown at every verbosity on standard error, after a line "ERROR:".
void error(std::string_view text);

// The bytes error() writes, for callers (signal handlers) that must write them directly.
std::string error_text(std::string_view text);

}  // namespace Debug
