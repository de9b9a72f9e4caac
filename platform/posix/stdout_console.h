// The console of CUI mode: report lines go to standard output as UTF-8.
#pragma once

#include "platform/user_interaction.h"

namespace sorrel::platform {

// A write that fails (the reader went away, the disk is full) loses the rest
// of the report, but not the run: it goes on, and lost() tells the caller to
// end with a failure.
class StdoutConsole : public Console {
 public:
  void Write(std::u16string_view text) override;
  bool lost() const override { return lost_; }

 private:
  bool lost_ = false;
};

}  // namespace sorrel::platform
