// The narrow-string key wrapper.
#include "settings/rega.h"

#include "base/utf.h"
#include "settings/guard_message.h"
#include "settings/messages.h"
#include "settings/registry_value.h"

namespace sorrel::settings {

REGA::~REGA() {
  if (key_ == nullptr) return;
  key_->Close();
  key_.reset();
  ShowGuardMessage(user_, lang_, messages::kRegaAutoClose);
}

bool REGA::OpenKey() {
  if (key_ != nullptr) {
    key_->Close();
    key_.reset();
    ShowGuardMessage(user_, lang_, messages::kRegaOpenTwice);
  }
  key_ = store_->OpenKey(kSettingsKeyPath, RegistryStore::Access::All);
  if (key_ == nullptr) key_ = store_->CreateKey(kSettingsKeyPath);
  return key_ != nullptr;
}

bool REGA::CloseKey() {
  if (key_ == nullptr) {
    ShowGuardMessage(user_, lang_, messages::kRegaCloseTwice);
    return false;
  }
  const bool closed = key_->Close();
  key_.reset();
  return closed;
}

bool REGA::WriteStringA(const char* name, const char* text) {
  if (key_ == nullptr) {
    ShowGuardMessage(user_, lang_, messages::kWriteStringAUnopened);
    return false;
  }
  if (name == nullptr || text == nullptr) return false;
  // The registry keeps every string in UTF-16, as it does for the ANSI calls;
  // bytes that are not UTF-8 travel as escapes and come back exact.
  return key_->SetValue(Utf8ToUtf16(name), kRegSz, EncodeRegString(BytesToUtf16(text)));
}

bool REGA::WriteIntegerA(const char* name, int32_t value) {
  if (key_ == nullptr) {
    ShowGuardMessage(user_, lang_, messages::kWriteIntegerAUnopened);
    return false;
  }
  return name != nullptr && key_->SetValue(Utf8ToUtf16(name), kRegDword, EncodeRegDword(value));
}

}  // namespace sorrel::settings
