// Failures that end a run.
//
// Every failure is a C++ exception derived from Korvath::Error.  An error knows how to describe
// itself in the fatal-error line that main writes when it escapes: a plain failure carrying a
// message shows as Failure("message"); the few named signals (the empty queue of open problems,
// for instance) show under their own names.  Only the completion engine's two signals are caught
// inside the program; every other error reaches main.
#pragma once

#include <exception>
#include <string>

namespace Korvath {

class Error : public std::exception {
 public:
  // The text that follows "Fatal error: exception " when this error ends the run.
  virtual std::string description() const = 0;
  const char* what() const noexcept override { return "korvath error"; }
};

// A failure that carries a message text.
class Failure : public Error {
 public:
  explicit Failure(std::string message) : message_(std::move(message)) {}
  const std::string& message() const { return message_; }
  std::string description() const override { return "Failure(\"" + message_ + "\")"; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// An error of the platform (a file that cannot be opened, a syntax error, a broken pipe to the
// termination prover); the description is the text itself.
class SystemError : public Error {
 public:
  explicit SystemError(std::string text) : text_(std::move(text)) {}
  std::string description() const override { return text_; }
  const char* what() const noexcept override { return text_.c_str(); }

 private:
  std::string text_;
};

}  // namespace Korvath
