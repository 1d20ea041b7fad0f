// Helpers for the tests of the termination side: commands of the fake provers in tests/fakes,
// temporary files, captured standard error, process checks, and settings restored after a test.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "driver/debug.hpp"
#include "driver/prefs.hpp"
#include "termination/aprove.hpp"
#include "termination/checker.hpp"
#include "termination/learning.hpp"
#include "termination/tpa.hpp"

namespace FakeProvers {

// The fakes run by their "#!/usr/bin/env python3" line, unless the system interpreter is at hand:
// a python3 found through a version manager's shim can take a second to start.
inline std::string fake_command(const std::string& script, const std::string& args) {
  const std::string path = std::string(KORVATH_FAKES_DIR) + "/" + script;
  const std::string interpreter = access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3 " : "";
  return interpreter + path + (args.empty() ? "" : " " + args);
}

inline std::string fake_prover(const std::string& args) {
  return fake_command("fake_prover.py", args);
}

inline std::string misbehaving(const std::string& args) {
  return fake_command("misbehaving_prover.py", args);
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// A fresh directory, removed with its files at the end of the test.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/korvath-termination-XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Collects what is written to file descriptor 2 (where diagnostics and the provers' standard
// error go) until text() is called.
class StderrCapture {
 public:
  StderrCapture() {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    file_ = std::tmpfile();
    dup2(fileno(file_), STDERR_FILENO);
  }
  ~StderrCapture() { restore(); }
  std::string text() {
    restore();
    std::string out;
    std::rewind(file_);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0) out.append(buffer, n);
    return out;
  }

 private:
  void restore() {
    if (saved_ < 0) return;
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    saved_ = -1;
  }
  int saved_ = -1;
  std::FILE* file_ = nullptr;
};

// The pids a fake recorded with --starts, in start order.
inline std::vector<pid_t> started_pids(const std::string& starts_file) {
  std::vector<pid_t> pids;
  std::istringstream in(read_file(starts_file));
  std::string word;
  long pid;
  while (in >> word >> pid) pids.push_back(static_cast<pid_t>(pid));
  return pids;
}

// Whether the process no longer runs (gone, or a zombie of another parent), waiting up to 10 s
// for it to get there.
inline bool process_gone(pid_t pid) {
  for (int i = 0; i < 1000; ++i) {
    if (kill(pid, 0) != 0 && errno == ESRCH) return true;
    std::string stat = read_file("/proc/" + std::to_string(pid) + "/stat");
    size_t close_paren = stat.rfind(')');
    if (close_paren != std::string::npos && stat.size() > close_paren + 2 &&
        stat[close_paren + 2] == 'Z' && waitpid(pid, nullptr, WNOHANG) < 0)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

// Whether pid has been reaped by this process (it is no child of ours any more).
inline bool reaped(pid_t pid) {
  return waitpid(pid, nullptr, WNOHANG) < 0 && errno == ECHILD;
}

// Waits until pid (a child of ours) has exited, without reaping it.
inline void wait_until_exited(pid_t pid) {
  siginfo_t info;
  waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
}

// Restores the settings a test changes and stops every prover it left running.
class Settings {
 public:
  Settings()
      : verbosity_(Debug::verbosity),
        debug_checker_(Prefs::debug_checker),
        debug_learning_(Prefs::debug_learning),
        trust_input_(Prefs::trust_input),
        checker_(Checker::current_checker),
        command_(Checker::aprove_command) {
    // As in the program: a prover that stops reading makes writes fail with EPIPE.
    std::signal(SIGPIPE, SIG_IGN);
  }
  ~Settings() {
    Aprove::shutdown();
    Tpa::shutdown();
    Debug::verbosity = verbosity_;
    Prefs::debug_checker = debug_checker_;
    Prefs::debug_learning = debug_learning_;
    Prefs::trust_input = trust_input_;
    Checker::current_checker = checker_;
    Checker::aprove_command = command_;
  }

 private:
  Debug::Level verbosity_;
  bool debug_checker_;
  bool debug_learning_;
  bool trust_input_;
  Checker::Kind checker_;
  std::string command_;
};

// Empties the knowledge cache for one test and gives the earlier stores back afterwards.
class EmptyCache {
 public:
  EmptyCache()
      : terminating_(std::move(Learning::terminating_store)),
        nonterminating_(std::move(Learning::nonterminating_store)) {
    Learning::terminating_store.clear();
    Learning::nonterminating_store.clear();
  }
  ~EmptyCache() {
    Learning::terminating_store = std::move(terminating_);
    Learning::nonterminating_store = std::move(nonterminating_);
  }

 private:
  Terms::TrsSet terminating_;
  Terms::TrsSet nonterminating_;
};

}  // namespace FakeProvers
