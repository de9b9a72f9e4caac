// The warning box of the key wrappers, shown when their open/close order is
// broken.
#pragma once

#include "base/ui_language.h"
#include "platform/user_interaction.h"

namespace sorrel::settings {

// Shows message in lang with the guard caption and the warning icon; nothing
// when user is null.
void ShowGuardMessage(platform::UserInteraction* user, UiLanguage lang, const TextPair& message);

}  // namespace sorrel::settings
