// The key wrappers' warning box.
#include "settings/guard_message.h"

#include "settings/messages.h"

namespace sorrel::settings {

void ShowGuardMessage(platform::UserInteraction* user, UiLanguage lang, const TextPair& message) {
  if (user == nullptr) return;
  user->MessageBox(message.In(lang), messages::kGuardCaption, platform::Buttons::Ok,
                   platform::Icon::Warning);
}

}  // namespace sorrel::settings
