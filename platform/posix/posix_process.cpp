// Starts a program with posix_spawn and waits for it with waitpid.
#include "platform/posix/posix_process.h"

#include <errno.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

extern char** environ;

namespace sorrel::platform {

namespace {

constexpr int kTerminalSignals[] = {SIGINT, SIGQUIT};
constexpr size_t kSignalCount = sizeof(kTerminalSignals) / sizeof(kTerminalSignals[0]);

// Ignores the terminal's signals while the program runs, so that Ctrl+C stops
// only the program, which decides itself what an interrupt means; the old
// handling comes back when the guard goes.
class TerminalSignalsIgnored {
 public:
  TerminalSignalsIgnored() {
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (size_t i = 0; i < kSignalCount; ++i) {
      saved_[i] = sigaction(kTerminalSignals[i], &ignore, &old_[i]) == 0;
    }
  }
  ~TerminalSignalsIgnored() {
    for (size_t i = 0; i < kSignalCount; ++i) {
      if (saved_[i]) sigaction(kTerminalSignals[i], &old_[i], nullptr);
    }
  }
  TerminalSignalsIgnored(const TerminalSignalsIgnored&) = delete;
  TerminalSignalsIgnored& operator=(const TerminalSignalsIgnored&) = delete;

  // The signals the started program must get at their default handling: the
  // ones that were not ignored before the guard.
  void SignalsToDefault(sigset_t* set) const {
    sigemptyset(set);
    for (size_t i = 0; i < kSignalCount; ++i) {
      if (!saved_[i] || old_[i].sa_handler != SIG_IGN) sigaddset(set, kTerminalSignals[i]);
    }
  }

 private:
  struct sigaction old_[kSignalCount] = {};
  bool saved_[kSignalCount] = {};
};

// The program's exit code, or 128 + the signal that ended it, as a shell
// tells them.
int WaitForEnd(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) == -1) {
    if (errno != EINTR) return 0;
  }
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 0;
}

}  // namespace

RunResult PosixProcessRunner::RunAndWait(const std::string& program,
                                         const std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  const TerminalSignalsIgnored ignored;
  posix_spawnattr_t attr;
  int error = posix_spawnattr_init(&attr);
  if (error != 0) return {false, error};
  sigset_t to_default;
  ignored.SignalsToDefault(&to_default);
  error = posix_spawnattr_setsigdefault(&attr, &to_default);
  if (error == 0) error = posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  if (error == 0) error = posix_spawn(&pid, program.c_str(), nullptr, &attr, argv.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (error != 0) return {false, error};
  return {true, 0, WaitForEnd(pid)};
}

}  // namespace sorrel::platform
