// The AProVE client and the prover processes.
//
// A prover runs as `/bin/sh -c COMMAND`, spawned with its standard input and output on two pipes
// and in a process group of its own.  Writes are collected in the handle and sent by one flush
// (a write(2) loop); reads go through a small buffer from which whole lines are taken.  Stopping
// closes both pipes, so a well-behaved prover sees the end of its input and exits; one that does
// not is given a grace time and then its whole process group is killed, so korvath never hangs
// at exit and leaves no process behind.
//
// The overall time-out and SIGINT/SIGTERM end the run inside a signal handler.  For that path
// every live child's pid and pipe descriptors are also kept in a small table of plain
// sig_atomic_t values that the async-signal-safe shutdown reads.  Signals are blocked while a
// child is created and entered in that table, so no child can escape it.
#include "termination/aprove.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include "driver/debug.hpp"
#include "driver/failure.hpp"
#include "driver/prefs.hpp"

extern char** environ;

namespace Aprove {

std::optional<Process> aprove_process;

namespace {

// ---- the table read by the signal exit path -------------------------------------------------

struct LiveChild {
  volatile sig_atomic_t pid = -1;
  volatile sig_atomic_t to_fd = -1;
  volatile sig_atomic_t from_fd = -1;
};

constexpr int kMaxChildren = 8;
LiveChild live_children[kMaxChildren];

int free_slot() {
  for (int i = 0; i < kMaxChildren; ++i)
    if (live_children[i].pid == -1 && live_children[i].to_fd == -1 &&
        live_children[i].from_fd == -1)
      return i;
  return -1;
}

// Forgets a descriptor in the table before closing it, so the signal path never closes it twice.
void close_fd(int& fd, int slot, volatile sig_atomic_t LiveChild::*field) {
  if (fd < 0) return;
  if (slot >= 0) live_children[slot].*field = -1;
  ::close(fd);
  fd = -1;
}

void sleep_for(long nanoseconds) {
  struct timespec pause = {0, nanoseconds};
  nanosleep(&pause, nullptr);
}

// ---- blocking the exit signals around process creation ---------------------------------------

class ExitSignalsBlocked {
 public:
  ExitSignalsBlocked() {
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int s : {SIGALRM, SIGINT, SIGTERM}) sigaddset(&blocked, s);
    sigprocmask(SIG_BLOCK, &blocked, &previous_);
  }
  ~ExitSignalsBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  const sigset_t& previous() const { return previous_; }

 private:
  sigset_t previous_;
};

// ---- creating the child ----------------------------------------------------------------------

[[noreturn]] void fail_start(const std::string& command, const std::string& what, int error) {
  throw Korvath::Failure("Could not start the termination prover `" + command + "' (" + what +
                         ": " + std::strerror(error) + ")");
}

// A close-on-exec copy of fd numbered 3 or above (so that dup2 onto 0 and 1 in the child never
// meets one of our own ends), replacing fd.
void move_above_stdio(int& fd, const std::string& command) {
  if (fd > STDERR_FILENO) return;
  int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  int error = errno;
  ::close(fd);
  fd = moved;
  if (moved < 0) fail_start(command, "fcntl", error);
}

struct Pipe {
  int read_end = -1;
  int write_end = -1;
  void close_both() {
    if (read_end >= 0) ::close(read_end);
    if (write_end >= 0) ::close(write_end);
    read_end = write_end = -1;
  }
};

Pipe make_pipe(const std::string& command) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) fail_start(command, "pipe", errno);
  Pipe p{fds[0], fds[1]};
  try {
    move_above_stdio(p.read_end, command);
    move_above_stdio(p.write_end, command);
  } catch (...) {
    p.close_both();
    throw;
  }
  return p;
}

// Spawns the shell with stdin from to_child.read_end and stdout to from_child.write_end.
// returns: the pid, or -errno.
pid_t spawn_shell(const std::string& command, const Pipe& to_child, const Pipe& from_child,
                  const sigset_t& child_mask) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  posix_spawn_file_actions_adddup2(&actions, to_child.read_end, STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, from_child.write_end, STDOUT_FILENO);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int s : {SIGPIPE, SIGALRM, SIGINT, SIGTERM}) sigaddset(&defaults, s);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &child_mask);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
  pid_t pid = -1;
  int error =
      posix_spawn(&pid, "/bin/sh", &actions, &attributes, const_cast<char**>(argv), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -error;
}

// ---- waiting for the child -------------------------------------------------------------------

constexpr auto kStopGrace = std::chrono::milliseconds(1000);

// Reaps pid, waiting at most the grace time before killing its process group.
void reap(pid_t pid) {
  const auto deadline = std::chrono::steady_clock::now() + kStopGrace;
  long pause = 1000000;  // 1 ms, doubled up to 20 ms
  int status = 0;
  while (true) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid || (r < 0 && errno != EINTR)) return;
    if (r == 0 && std::chrono::steady_clock::now() >= deadline) break;
    sleep_for(pause);
    pause = std::min(pause * 2, 20000000L);
  }
  kill(-pid, SIGKILL);
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

std::string prover_label(const ProverHandle& h) {
  return h.client + " (command `" + h.command + "')";
}

}  // namespace

// ---- ProverHandle ----------------------------------------------------------------------------

ProverHandle::ProverHandle(ProverHandle&& other) noexcept {
  *this = std::move(other);
}

ProverHandle& ProverHandle::operator=(ProverHandle&& other) noexcept {
  if (this == &other) return *this;
  stop(*this);
  from_prover = other.from_prover;
  to_prover = other.to_prover;
  pid = other.pid;
  slot = other.slot;
  client = std::move(other.client);
  command = std::move(other.command);
  pending = std::move(other.pending);
  received = std::move(other.received);
  other.from_prover = other.to_prover = other.pid = other.slot = -1;
  return *this;
}

ProverHandle::~ProverHandle() {
  stop(*this);
}

// ---- process operations ----------------------------------------------------------------------

ProverHandle start(const std::string& command, const std::string& client) {
  ExitSignalsBlocked blocked;
  const int slot = free_slot();
  if (slot < 0)
    throw Korvath::Failure("Could not start the termination prover `" + command +
                           "' (too many prover processes)");
  Pipe to_child = make_pipe(command);
  Pipe from_child;
  try {
    from_child = make_pipe(command);
  } catch (...) {
    to_child.close_both();
    throw;
  }
  pid_t pid = spawn_shell(command, to_child, from_child, blocked.previous());
  ::close(to_child.read_end);
  ::close(from_child.write_end);
  if (pid < 0) {
    ::close(to_child.write_end);
    ::close(from_child.read_end);
    fail_start(command, "posix_spawn", static_cast<int>(-pid));
  }
  live_children[slot].pid = pid;
  live_children[slot].to_fd = to_child.write_end;
  live_children[slot].from_fd = from_child.read_end;
  ProverHandle handle;
  handle.from_prover = from_child.read_end;
  handle.to_prover = to_child.write_end;
  handle.pid = pid;
  handle.slot = slot;
  handle.client = client;
  handle.command = command;
  return handle;
}

void flush(ProverHandle& h) {
  size_t sent = 0;
  while (sent < h.pending.size()) {
    ssize_t n = h.to_prover < 0
                    ? -1
                    : ::write(h.to_prover, h.pending.data() + sent, h.pending.size() - sent);
    if (n >= 0) {
      sent += static_cast<size_t>(n);
      continue;
    }
    int error = h.to_prover < 0 ? EBADF : errno;
    if (error == EINTR) continue;
    h.pending.erase(0, sent);
    throw Korvath::Failure("The termination prover `" + h.command +
                           "' could not be run or stopped reading (write failed: " +
                           std::strerror(error) + "); give its command with --cmd");
  }
  h.pending.clear();
}

void close_to_prover(ProverHandle& h) {
  close_fd(h.to_prover, h.slot, &LiveChild::to_fd);
}

std::string read_line(ProverHandle& h, const std::string& what) {
  size_t scanned = 0;
  while (true) {
    size_t end = h.received.find('\n', scanned);
    if (end != std::string::npos) {
      std::string line = h.received.substr(0, end);
      h.received.erase(0, end + 1);
      return line;
    }
    scanned = h.received.size();
    char chunk[4096];
    ssize_t n = h.from_prover < 0 ? 0 : ::read(h.from_prover, chunk, sizeof chunk);
    if (n > 0) {
      h.received.append(chunk, static_cast<size_t>(n));
    } else if (n == 0) {
      if (h.received.empty())
        throw Korvath::Failure(prover_label(h) + " ended its output while korvath was reading " +
                               what + "; is --cmd right?");
      std::string line = std::move(h.received);
      h.received.clear();
      return line;
    } else if (errno != EINTR) {
      throw Korvath::Failure("Could not read " + what + " from " + prover_label(h) + ": " +
                             std::strerror(errno));
    }
  }
}

void stop(ProverHandle& h) {
  close_fd(h.from_prover, h.slot, &LiveChild::from_fd);
  if (h.to_prover >= 0 && !h.pending.empty()) {
    // The prover may have stopped reading: never block on what is left.
    fcntl(h.to_prover, F_SETFL, fcntl(h.to_prover, F_GETFL) | O_NONBLOCK);
    try {
      flush(h);
    } catch (const Korvath::Error&) {
    }
  }
  h.pending.clear();
  close_to_prover(h);
  if (h.pid > 0) {
    reap(h.pid);
    // Whatever the shell left behind in the prover's group goes too.
    kill(-h.pid, SIGKILL);
    if (h.slot >= 0) live_children[h.slot].pid = -1;
    h.pid = -1;
  }
  h.slot = -1;
}

void stop_all_provers_from_signal() {
  const int saved_errno = errno;
  for (LiveChild& child : live_children) {
    int fd = child.to_fd;
    child.to_fd = -1;
    if (fd >= 0) ::close(fd);
    fd = child.from_fd;
    child.from_fd = -1;
    if (fd >= 0) ::close(fd);
  }
  // About 200 ms for the provers to see the end of their input and exit.
  for (int round = 0; round < 40; ++round) {
    bool running = false;
    for (LiveChild& child : live_children) {
      if (child.pid <= 0) continue;
      int status = 0;
      pid_t r = waitpid(child.pid, &status, WNOHANG);
      if (r == 0 || (r < 0 && errno == EINTR))
        running = true;
      else
        child.pid = -1;
    }
    if (!running) break;
    sleep_for(5000000);
  }
  for (LiveChild& child : live_children) {
    if (child.pid <= 0) continue;
    kill(-child.pid, SIGKILL);
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    child.pid = -1;
  }
  errno = saved_errno;
}

// ---- the AProVE client -----------------------------------------------------------------------

ProverHandle& set_handle(const std::string& command, ProverHandle handle) {
  aprove_process.emplace(Process{command, std::move(handle)});
  return aprove_process->handle;
}

ProverHandle& get_handle(const std::string& command) {
  if (aprove_process && aprove_process->command == command) return aprove_process->handle;
  const bool restart = aprove_process.has_value();
  if (Prefs::debug_checker)
    Debug::debug_l(Debug::Level::trace, [&] {
      return (restart ? "Restarting AProVE (" : "Starting AProVE (") + command + ") ...";
    });
  if (restart) {
    stop(aprove_process->handle);
    aprove_process.reset();
  }
  return set_handle(command, start(command, "AProVE"));
}

void tell(ProverHandle& h, const std::string& text) {
  if (Prefs::debug_checker) Debug::maybe_debug(Debug::Level::trace, text);
  h.pending += text;
  h.pending += '\n';
}

std::string read_answer(ProverHandle& h) {
  h.pending += ".\n";
  flush(h);
  std::string verdict = read_line(h, "the first answer line");
  read_line(h, "the second answer line");
  read_line(h, "the third answer line");
  return verdict;
}

Status::CheckerStatus ask(ProverHandle& h) {
  const std::string line = read_answer(h);
  if (line == "true") return Status::CheckerStatus::YES;
  if (line == "false") return Status::CheckerStatus::NO;
  if (line == "maybe" || line == "timed out") return Status::CheckerStatus::UNKNOWN;
  throw Korvath::Failure("Error communicating with AProVE: responded with " + line);
}

void shutdown() {
  if (!aprove_process) return;
  stop(aprove_process->handle);
  aprove_process.reset();
}

}  // namespace Aprove
