// The facts of the environment report that come from the system: the
// kernel, the distribution, the processor, the user's country, an SSH
// session, and the local time with its standard time zone.
#pragma once

#include "gui/environment_report.h"

namespace sorrel::qt {

// Fills the system, locale, session and clock facts of facts; a fact that
// cannot be found stays empty.
void AddSystemFacts(EnvironmentFacts* facts);

// True when the program runs in an SSH session (SSH_CONNECTION, SSH_CLIENT
// or SSH_TTY is set).
bool IsRemoteSession();

}  // namespace sorrel::qt
