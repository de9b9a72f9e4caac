// The process seam: start another program and wait until it has ended.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/settings_files.h"

namespace sorrel::platform {

struct RunResult {
  bool started = false;  // false: the program could not be started
  int error = 0;         // the system's error code when it could not be started
  // How the program ended: its exit code, or 128 + the signal that ended it.
  int exit_code = 0;
};

struct StartOptions {
  // Variables set in the program's environment over the caller's own.
  std::vector<std::pair<std::string, std::string>> environment;
  // A settings lock that the program holds on from its start until it lets
  // go of it (ReleaseHandedOnLock) or ends; null for none.
  const SettingsLock* hand_on = nullptr;
  // Called once the caller's own hold on the lock may go, and the caller
  // lets go of it there: where a lock passes to the started program (POSIX)
  // as soon as it has started; where it cannot (a Windows mutex belongs to
  // its thread) once the program has let go of it or ended. Called without
  // a lock too, after the start; not called when the start fails.
  std::function<void()> started;
};

class ProcessRunner {
 public:
  virtual ~ProcessRunner() = default;

  // Starts program (a path, not looked up in PATH) with args as its argument
  // list (args[0] is the name it is started under), inheriting standard input,
  // output and error, the environment (with options' changes) and the
  // current directory, and waits without time-out until it has ended.
  // Interrupt and quit from the terminal reach only the started program while
  // the caller waits. Gives started = false and the error code when it
  // cannot be started.
  virtual RunResult RunAndWait(const std::string& program, const std::vector<std::string>& args,
                               const StartOptions& options) = 0;
};

// The platform's way of starting programs.
std::unique_ptr<ProcessRunner> NewProcessRunner();

// When exit_code tells that a stop signal ended the program that was run
// (128 + SIGINT, SIGQUIT, SIGHUP or SIGTERM), ends the caller by the same
// signal, so that a shell sees the interrupt and stops its loop or script
// as well; returns otherwise. On Windows it always returns.
void PassOnStopSignal(int exit_code);

}  // namespace sorrel::platform
