// What one run of sorrel asks of the program around it, the same for the
// window and for CUI mode: the settings store and the services of a
// conversion job. The program builds them (app/sorrel/) and hands them in.
#pragma once

#include <memory>

#include "base/control_store.h"
#include "engine/job_context.h"
#include "platform/user_interaction.h"
#include "settings/settings_store.h"

namespace sorrel {

class SessionServices {
 public:
  virtual ~SessionServices() = default;

  // The store of this run; user shows the key wrappers' guard messages.
  virtual std::unique_ptr<settings::SettingsStore> OpenSettings(
      platform::UserInteraction* user) = 0;

  // A job over dialog with these services; console may be null outside CUI
  // mode. save_settings is left for the caller.
  virtual JobContext Job(ControlStore* dialog, bool cui_mode, platform::UserInteraction* user,
                         platform::Console* console) = 0;
};

// Shows how the settings file was found when it was loaded, when that was
// not as it should be, as a warning box captioned title (in CUI mode a line
// on standard error).
void WarnAboutSettings(const settings::SettingsStore& store, settings::StoreState state,
                       platform::UserInteraction* user, std::u16string_view title);

}  // namespace sorrel
