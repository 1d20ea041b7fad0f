// The answer to one question: the verdict, a one-line summary of the method that settled it, the
// readable proof for file mode, and the short name of the technique (for statistics).
#pragma once

#include <string>

namespace Termination {

enum class Verdict { Yes, No, Maybe, TimedOut };

struct Answer {
  Verdict verdict = Verdict::Maybe;
  std::string technique;  // e.g. "lpo", "kbo", "poly", "dp", "loop", "syntactic", "cache"
  std::string summary;    // one line
  std::string proof;      // several lines, ends with a line feed or is empty
};

}  // namespace Termination
