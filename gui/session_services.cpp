// The warning about a settings file that was not loaded as it is.
#include "gui/session_services.h"

#include "base/text_format.h"
#include "base/utf.h"
#include "gui/startup_texts.h"

namespace sorrel {

void WarnAboutSettings(const settings::SettingsStore& store, settings::StoreState state,
                       platform::UserInteraction* user, std::u16string_view title) {
  const TextPair* text = nullptr;
  switch (state) {
    case settings::StoreState::Ok:
      return;
    case settings::StoreState::Damaged:
      text = &startup_texts::kSettingsDamaged;
      break;
    case settings::StoreState::NotRegular:
      text = &startup_texts::kSettingsNotRegular;
      break;
    case settings::StoreState::Unreadable:
      text = &startup_texts::kSettingsUnreadable;
      break;
  }
  const UiLanguage lang = store.language();
  user->MessageBox(FormatText(text->In(lang), {std::u16string_view(Utf8ToUtf16(store.path()))}),
                   title, platform::Buttons::Ok, platform::Icon::Warning);
}

}  // namespace sorrel
