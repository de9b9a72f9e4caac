// Starts a program with posix_spawn and waits for it with waitpid.
#include "platform/posix/posix_process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "platform/posix/posix_settings_files.h"

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

// The caller's environment with the changes of options.
std::vector<std::string> Environment(const StartOptions& options) {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    bool replaced = false;
    for (const auto& [name, value] : options.environment) {
      replaced = replaced || (std::strncmp(*entry, name.c_str(), name.size()) == 0 &&
                              (*entry)[name.size()] == '=');
    }
    if (!replaced) variables.emplace_back(*entry);
  }
  for (const auto& [name, value] : options.environment) variables.push_back(name + "=" + value);
  return variables;
}

std::vector<char*> Pointers(const std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  pointers.reserve(strings.size() + 1);
  for (const std::string& s : strings) pointers.push_back(const_cast<char*>(s.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// Puts the handed-on lock at its agreed descriptor in the program (dup2
// there clears close-on-exec); a lock already at that number is first moved,
// since dup2 of a descriptor onto itself would leave the flag set.
int AddHandOn(const SettingsLock& lock, posix_spawn_file_actions_t* actions, int* moved) {
  int fd = static_cast<int>(lock.Handle());
  if (fd == kHandedOnLockDescriptor) {
    fd = fcntl(fd, F_DUPFD_CLOEXEC, kHandedOnLockDescriptor + 1);
    if (fd < 0) return errno;
    *moved = fd;
  }
  return posix_spawn_file_actions_adddup2(actions, fd, kHandedOnLockDescriptor);
}

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
                                         const std::vector<std::string>& args,
                                         const StartOptions& options) {
  std::vector<char*> argv = Pointers(args);
  const std::vector<std::string> variables = Environment(options);
  std::vector<char*> envp = Pointers(variables);

  const TerminalSignalsIgnored ignored;
  posix_spawnattr_t attr;
  int error = posix_spawnattr_init(&attr);
  if (error != 0) return {false, error};
  posix_spawn_file_actions_t actions;
  error = posix_spawn_file_actions_init(&actions);
  if (error != 0) {
    posix_spawnattr_destroy(&attr);
    return {false, error};
  }
  int moved = -1;
  if (options.hand_on != nullptr) error = AddHandOn(*options.hand_on, &actions, &moved);
  sigset_t to_default;
  ignored.SignalsToDefault(&to_default);
  if (error == 0) error = posix_spawnattr_setsigdefault(&attr, &to_default);
  if (error == 0) error = posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  if (error == 0) {
    error = posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), envp.data());
  }
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (moved >= 0) close(moved);
  if (error != 0) return {false, error};
  if (options.started) options.started();
  return {true, 0, WaitForEnd(pid)};
}

void DieBySignal(int signal) {
  if (signal == SIGQUIT) {
    const struct rlimit no_core = {0, 0};
    setrlimit(RLIMIT_CORE, &no_core);
  }
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  sigprocmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
}

void PassOnStopSignal(int exit_code) {
  for (const int signal : {SIGINT, SIGQUIT, SIGHUP, SIGTERM}) {
    if (exit_code == 128 + signal) DieBySignal(signal);
  }
}

std::unique_ptr<ProcessRunner> NewProcessRunner() {
  return std::make_unique<PosixProcessRunner>();
}

}  // namespace sorrel::platform
