// Diagnostics: level filter, channel choice and one unbuffered write per message.
#include "driver/debug.hpp"

#include <cerrno>
#include <unistd.h>

#include "driver/failure.hpp"

namespace Debug {

Level verbosity = Level::info;

namespace {

void write_all(int fd, const std::string& text) {
  const char* data = text.data();
  size_t left = text.size();
  while (left > 0) {
    ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // a closed channel is not the program's failure
    }
    data += n;
    left -= static_cast<size_t>(n);
  }
}

}  // namespace

Level parse_verbosity(std::string_view text) {
  if (text == "quiet" || text == "0") return Level::quiet;
  if (text == "info" || text == "1") return Level::info;
  if (text == "debug" || text == "2" || text.empty()) return Level::debug;
  if (text == "trace" || text == "3") return Level::trace;
  throw Korvath::Failure("Unable to parse debug level: " + std::string(text));
}

void set_verbosity(std::string_view text) { verbosity = parse_verbosity(text); }

void display(Level level, std::string_view text) {
  std::string line;
  line.reserve(text.size() + 1);
  line.append(text);
  line.push_back('\n');
  write_all(level == Level::info ? STDOUT_FILENO : STDERR_FILENO, line);
}

std::string error_text(std::string_view text) { return "ERROR:\n" + std::string(text); }

void error(std::string_view text) { maybe_debug(Level::quiet, error_text(text)); }

}  // namespace Debug
