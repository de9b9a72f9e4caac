// The process seam over posix_spawn and waitpid.
#pragma once

#include "platform/process.h"

namespace sorrel::platform {

class PosixProcessRunner : public ProcessRunner {
 public:
  // SIGINT and SIGQUIT are ignored by the caller from just before the start
  // until the program has ended, then given back their earlier handling; the
  // program gets them at their default unless the caller had them ignored
  // already (as a job started in the background has), which it then keeps.
  // A handed-on lock is at descriptor kHandedOnLockDescriptor in the program.
  RunResult RunAndWait(const std::string& program, const std::vector<std::string>& args,
                       const StartOptions& options) override;
};

// Ends the process by signal with its default action (for SIGQUIT without
// a core dump); returns only if the signal does not end it.
void DieBySignal(int signal);

}  // namespace sorrel::platform
