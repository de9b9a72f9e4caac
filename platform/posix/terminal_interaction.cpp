// CUI mode's boxes and abort key on a terminal.
#include "platform/posix/terminal_interaction.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <string>

#include "base/text_format.h"
#include "base/utf.h"
#include "platform/posix/posix_process.h"

namespace sorrel::platform {
namespace {

// The stop signal that came first, or 0.
volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int signal) {
  if (interrupted == 0) interrupted = signal;
}

constexpr TextPair kNoTerminal{u"sorrel: 問い合わせる端末がないため「いいえ」と答えました - %s\n",
                               u"sorrel: No terminal to ask; answered No - %s\n"};
constexpr TextPair kPrompt{u" [y/N] ", u" [y/N] "};

void WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

// The signals that stop a run.
constexpr int kStopSignals[] = {SIGINT, SIGQUIT, SIGHUP, SIGTERM};

// Reads one answer line from the terminal; true for yes. A stop signal ends
// the question as No: the signals are held back while the flag is looked at
// and let through only inside ppoll, so that one cannot slip in between and
// leave the question waiting.
bool ReadYes(int fd) {
  sigset_t stops;
  sigset_t before;
  sigemptyset(&stops);
  for (int signal : kStopSignals) sigaddset(&stops, signal);
  sigprocmask(SIG_BLOCK, &stops, &before);
  std::string line;
  bool answered = false;
  while (!answered && interrupted == 0) {
    struct pollfd wait = {fd, POLLIN, 0};
    const int ready = ppoll(&wait, 1, nullptr, &before);
    if (ready < 0 && errno == EINTR) continue;
    char c;
    if (ready < 0 || read(fd, &c, 1) != 1 || c == '\n') {
      answered = true;
    } else {
      line.push_back(c);
    }
  }
  sigprocmask(SIG_SETMASK, &before, nullptr);
  if (interrupted != 0) return false;
  return line == "y" || line == "Y" || line == "yes" || line == "Yes" || line == "YES";
}

}  // namespace

Answer TerminalInteraction::MessageBox(std::u16string_view text, std::u16string_view caption,
                                       Buttons buttons, Icon) {
  if (buttons == Buttons::Ok) {
    std::u16string line(caption);
    line.append(u": ");
    line.append(text);
    line.push_back(u'\n');
    WriteAll(STDERR_FILENO, Utf16ToUtf8(line));
    return Answer::Ok;
  }
  const int tty = open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
  if (tty < 0) {
    WriteAll(STDERR_FILENO, Utf16ToUtf8(FormatText(kNoTerminal.In(language_), {text})));
    return Answer::No;
  }
  WriteAll(tty, Utf16ToUtf8(std::u16string(text) + kPrompt.In(language_)));
  const bool yes = ReadYes(tty);
  close(tty);
  return yes ? Answer::Yes : Answer::No;
}

bool TerminalInteraction::IsAbortKeyDown() {
  return interrupted != 0;
}

void TerminalInteraction::InstallInterruptHandler() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  // Ctrl+C, and the other ways a terminal or a user ends a run: each stops it
  // at its next check, so that no rewrite is cut off half-way.
  for (int signal : kStopSignals) sigaction(signal, &action, nullptr);
  // A closed output is seen as a failed write, not as a death half-way.
  signal(SIGPIPE, SIG_IGN);
}

void EndByStopSignal() {
  if (interrupted != 0) DieBySignal(interrupted);
}

std::unique_ptr<UserInteraction> NewConsoleUser(UiLanguage language) {
  TerminalInteraction::InstallInterruptHandler();
  return std::make_unique<TerminalInteraction>(language);
}

}  // namespace sorrel::platform
