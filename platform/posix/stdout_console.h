// The console of CUI mode: report lines go to standard output as UTF-8.
#pragma once

#include "platform/user_interaction.h"

namespace sorrel::platform {

class StdoutConsole : public Console {
 public:
  void Write(std::u16string_view text) override;
};

}  // namespace sorrel::platform
