// Exit codes both programs share beyond 0 (done) and 1 (a wrong command line).
#pragma once

namespace sorrel {

// What a program gives when its output was closed before everything it had to
// say was written (`sorrelc ... | head`): the run itself still went to its
// end, but its report did not reach anyone and must not pass for success.
inline constexpr int kOutputLostExitCode = 3;

}  // namespace sorrel
