// The user-interaction seam: message boxes, the abort key, the console and the
// result dialog of a run.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/ui_language.h"

namespace sorrel::platform {

enum class Buttons { Ok, YesNo };
enum class Icon { Error, Warning, Question, Information };
enum class Answer { Ok, Yes, No };

class UserInteraction {
 public:
  virtual ~UserInteraction() = default;
  // Shows a box owned by the main dialog and waits for the answer.
  virtual Answer MessageBox(std::u16string_view text, std::u16string_view caption, Buttons buttons,
                            Icon icon) = 0;
  // Is the main dialog the foreground window?
  virtual bool IsForeground() = 0;
  // Is the abort key (Esc, or an interrupt) pending at this moment?
  virtual bool IsAbortKeyDown() = 0;
  // Shows the result of a run modally; on_close runs when the user closes it.
  virtual void ShowResult(std::u16string_view summary, std::u16string_view log,
                          const std::function<void()>& on_close) = 0;
};

class Console {
 public:
  virtual ~Console() = default;
  // Writes the text as it is (no newline is added).
  virtual void Write(std::u16string_view text) = 0;
  // True once a write has failed (the reader went away, the disk is full):
  // the rest of the report is lost, and the run must not pass for a success.
  virtual bool lost() const = 0;
};

// The console of CUI mode: report lines on standard output at once (UTF-8
// on POSIX; on Windows wide text to a console window and the ANSI code
// page's bytes to a file or a pipe, attached to the parent's console when
// the program has no standard output of its own).
std::unique_ptr<Console> NewReportConsole();

// The user of CUI mode, in language: on POSIX a box is a line on standard
// error and a question is asked on the terminal; on Windows a box is the
// system's message box. From its making on, the console's interrupt
// (Ctrl+C, and on POSIX the other stop signals) is its abort key.
std::unique_ptr<UserInteraction> NewConsoleUser(UiLanguage language);

// Ends the process by the stop signal that came to the console user (on
// POSIX, with the signal's default action and without a core dump), so
// that whoever started it sees the run as interrupted; returns when none
// came, and always on Windows. Called once the run has ended cleanly.
void EndByStopSignal();

enum class StandardStream { Output, Error };

// Writes bytes to standard output or standard error at once: unchanged on
// POSIX; on Windows the text they hold (UTF-8, or a name's bytes as
// BytesToUtf16 reads them), wide to a console window and in the ANSI code
// page to a file or a pipe. False when they could not all be written.
bool WriteToStream(StandardStream stream, std::string_view bytes);

}  // namespace sorrel::platform
