// The user-interaction seam: message boxes, the abort key, the console and the
// result dialog of a run.
#pragma once

#include <functional>
#include <string>
#include <string_view>

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
};

}  // namespace sorrel::platform
