// The wide-character key wrapper.
#include "settings/regw.h"

#include "settings/guard_message.h"
#include "settings/messages.h"
#include "settings/registry_value.h"

namespace sorrel::settings {

REGW::~REGW() {
  if (key_ == nullptr) return;
  key_->Close();
  key_.reset();
  ShowGuardMessage(user_, lang_, messages::kRegwAutoClose);
}

bool REGW::OpenKey(Mode mode) {
  if (key_ != nullptr) {
    key_->Close();
    key_.reset();
    ShowGuardMessage(user_, lang_, messages::kRegwOpenTwice);
  }
  if (mode == Mode::Read) {
    key_ = store_->OpenKey(kSettingsKeyPath, RegistryStore::Access::Read);
  } else {
    key_ = store_->OpenKey(kSettingsKeyPath, RegistryStore::Access::All);
    if (key_ == nullptr) key_ = store_->CreateKey(kSettingsKeyPath);
  }
  return key_ != nullptr;
}

bool REGW::CloseKey() {
  if (key_ == nullptr) {
    ShowGuardMessage(user_, lang_, messages::kRegwCloseTwice);
    return false;
  }
  const bool closed = key_->Close();
  key_.reset();
  return closed;
}

bool REGW::ReadStringW(const char16_t* name, std::u16string* buffer) {
  if (name == nullptr || buffer == nullptr) return false;
  buffer->clear();
  if (key_ == nullptr) {
    ShowGuardMessage(user_, lang_, messages::kReadStringWUnopened);
    return false;
  }
  uint32_t type;
  std::string data;
  if (!key_->QueryValue(name, &type, &data)) return false;
  *buffer = DecodeRegString(data);
  return true;
}

int32_t REGW::ReadIntegerW(const char16_t* name, int32_t default_value) {
  if (key_ == nullptr) {
    ShowGuardMessage(user_, lang_, messages::kReadIntegerWUnopened);
    return default_value;
  }
  uint32_t type;
  std::string data;
  if (name == nullptr || !key_->QueryValue(name, &type, &data)) return default_value;
  return RegValueToInteger(type, data, default_value);
}

bool REGW::WriteStringW(const char16_t* name, std::u16string_view text) {
  if (key_ == nullptr) {
    ShowGuardMessage(user_, lang_, messages::kWriteStringWUnopened);
    return false;
  }
  return name != nullptr && key_->SetValue(name, kRegSz, EncodeRegString(text));
}

bool REGW::WriteIntegerW(const char16_t* name, int32_t value) {
  if (key_ == nullptr) {
    ShowGuardMessage(user_, lang_, messages::kWriteIntegerWUnopened);
    return false;
  }
  return name != nullptr && key_->SetValue(name, kRegDword, EncodeRegDword(value));
}

}  // namespace sorrel::settings
