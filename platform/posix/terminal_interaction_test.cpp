#include "platform/posix/terminal_interaction.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace sorrel::platform {
namespace {

// Asks the question in a child whose controlling terminal is a new pseudo
// terminal; feed runs in the parent while the child waits for its answer.
// The child's exit code: 0 for No, 1 for Yes, 2 when it could not ask.
int AskInChild(void (*feed)(int master, pid_t child)) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    if (setsid() < 0) _exit(2);
    const int slave = open(ptsname(master), O_RDWR);  // becomes the terminal
    if (slave < 0) _exit(2);
    TerminalInteraction::InstallInterruptHandler();
    TerminalInteraction user(UiLanguage::English);
    _exit(user.MessageBox(u"Go on?", u"Q", Buttons::YesNo, Icon::Question) == Answer::Yes ? 1 : 0);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  feed(master, child);
  int status = 0;
  for (int i = 0; i < 100 && waitpid(child, &status, WNOHANG) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (waitpid(child, &status, WNOHANG) == 0) {  // still waiting: the signal was lost
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    close(master);
    return -2;
  }
  close(master);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
}

TEST(TerminalInteractionTest, AStopSignalEndsTheQuestionAsNo) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    static int sent;
    sent = signal;
    EXPECT_EQ(AskInChild([](int, pid_t child) { kill(child, sent); }), 0) << signal;
  }
  EXPECT_EQ(AskInChild([](int master, pid_t) { EXPECT_EQ(write(master, "y\n", 2), 2); }), 1);
}

}  // namespace
}  // namespace sorrel::platform
