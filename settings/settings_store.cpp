// The settings store: one read, one parse, one replacement per run.
#include "settings/settings_store.h"

#include <algorithm>
#include <cerrno>

#include "base/text_format.h"
#include "base/utf.h"
#include "platform/paths.h"
#include "settings/load_save.h"
#include "settings/messages.h"
#include "settings/names.h"
#include "settings/profile.h"
#include "settings/settings_access.h"

namespace sorrel::settings {

namespace {

std::u16string SettingsKeyFullName() {
  return std::u16string(kHiveRoot) + u"\\" + kSettingsKeyPath;
}

bool SameValue(const platform::RegistryValue& a, const platform::RegistryValue& b) {
  return a.type == b.type && a.data == b.data && SameName(a.name, b.name);
}

}  // namespace

std::string RegistryStorePath(platform::SettingsFiles* files) {
  if (files->Registry() != nullptr) return Utf16ToUtf8(SettingsKeyFullName());
  const std::string folder = files->ConfigFolder();
  return folder.empty() ? std::string() : platform::JoinPath(folder, "registry.reg");
}

SettingsCopy::SettingsCopy(bool ini_mode, UiLanguage lang, platform::UserInteraction* user) {
  context_.ini_mode = ini_mode;
  context_.language = lang;
  context_.user = user;
  context_.registry = &registry_;
  context_.ini = &ini_;
}

bool SettingsCopy::Parse(std::string_view bytes, const AnsiDecoder& ansi) {
  if (context_.ini_mode) {
    ini_ = ParseIni(bytes);
    return true;
  }
  if (ParseHive(bytes, &hive_, ansi)) return true;
  hive_.keys.clear();
  return false;
}

std::string SettingsCopy::Serialize() const {
  return context_.ini_mode ? SerializeIni(ini_) : SerializeHive(hive_);
}

void SettingsCopy::SetRegistryValues(const std::vector<platform::RegistryValue>& values) {
  hive_.keys.clear();
  HiveKey* key = FindOrAddHiveKey(&hive_, SettingsKeyFullName());
  for (const platform::RegistryValue& value : values) {
    SetHiveValue(key, value.name, value.type, value.data);
  }
}

std::vector<platform::RegistryValue> SettingsCopy::RegistryValues() const {
  std::vector<platform::RegistryValue> values;
  if (const HiveKey* key = FindHiveKey(hive_, SettingsKeyFullName())) {
    for (const HiveValue& value : key->values)
      values.push_back({value.name, value.type, value.data});
  }
  return values;
}

SettingsTransaction::SettingsTransaction(std::unique_ptr<platform::LockedSettingsFile> lock,
                                         std::unique_ptr<SettingsCopy> copy, AnsiDecoder ansi)
    : file_(lock.get()), copy_(std::move(copy)), ansi_(std::move(ansi)) {
  lock_ = std::move(lock);
  copy_->context().written = &written_;
}

SettingsTransaction::SettingsTransaction(std::unique_ptr<platform::SettingsLock> lock,
                                         platform::SystemRegistry* registry,
                                         std::vector<platform::RegistryValue> read_values,
                                         std::unique_ptr<SettingsCopy> copy, AnsiDecoder ansi)
    : lock_(std::move(lock)),
      registry_(registry),
      read_values_(std::move(read_values)),
      copy_(std::move(copy)),
      ansi_(std::move(ansi)) {
  copy_->context().written = &written_;
}

std::vector<std::u16string> SettingsTransaction::ValuesNotKept() const {
  const SettingsContext& ctx = copy_->context();
  SettingsCopy stored(ctx.ini_mode, ctx.language, nullptr);
  stored.Parse(copy_->Serialize(), ansi_);
  std::vector<std::u16string> not_kept;
  for (size_t i = 0; i < written_.size(); ++i) {
    const auto& [key, text] = written_[i];
    bool written_again = false;
    for (size_t later = i + 1; later < written_.size(); ++later) {
      written_again = written_again || SameName(written_[later].first, key);
    }
    if (written_again) continue;
    if (ReadSettingString(stored.context(), key.c_str()) != text) not_kept.push_back(key);
  }
  return not_kept;
}

bool SettingsTransaction::Commit(int* error) {
  if (file_ != nullptr) return file_->Replace(copy_->Serialize(), error);
  std::vector<platform::RegistryValue> changed;
  for (platform::RegistryValue& value : copy_->RegistryValues()) {
    const bool as_read = std::any_of(read_values_.begin(), read_values_.end(),
                                     [&](const auto& read) { return SameValue(read, value); });
    if (!as_read) changed.push_back(std::move(value));
  }
  if (changed.empty()) return true;
  if (!registry_->WriteKey(kSettingsKeyPath, changed, error)) return false;
  read_values_ = copy_->RegistryValues();
  return true;
}

SettingsStore::SettingsStore(platform::SettingsFiles* files, bool ini_mode, std::string path,
                             UiLanguage lang, platform::UserInteraction* user, ReportLine report)
    : files_(files),
      ini_mode_(ini_mode),
      path_(std::move(path)),
      lang_(lang),
      user_(user),
      report_(std::move(report)) {}

std::unique_ptr<SettingsCopy> SettingsStore::NewCopy() const {
  return std::make_unique<SettingsCopy>(ini_mode_, lang_, user_);
}

platform::SystemRegistry* SettingsStore::SystemRegistry() const {
  return ini_mode_ ? nullptr : files_->Registry();
}

AnsiDecoder SettingsStore::Ansi() const {
  platform::SettingsFiles* files = files_;
  return [files](std::string_view bytes, std::u16string* text) {
    return files->DecodeAnsi(bytes, text);
  };
}

StoreState SettingsStore::Load(ControlStore* dialog) {
  std::string bytes;
  platform::SettingsReadStatus status = platform::SettingsReadStatus::Missing;
  int error = 0;
  std::vector<platform::RegistryValue> values;
  platform::SystemRegistry* registry = SystemRegistry();
  if (registry != nullptr) {
    status = registry->ReadKey(kSettingsKeyPath, &values, &error);
    registry->ReleaseHandedOnLock(kSettingsKeyPath);
  } else if (!path_.empty()) {
    if (ini_mode_) EnsureIniFile(files_, path_);
    status = files_->ReadFile(path_, &bytes, &error);
    files_->ReleaseHandedOnLock(path_);
  }
  StoreState state = StoreState::Ok;
  const std::unique_ptr<SettingsCopy> copy = NewCopy();
  switch (status) {
    case platform::SettingsReadStatus::Ok:
      if (registry != nullptr) {
        copy->SetRegistryValues(values);
      } else if (!copy->Parse(bytes, Ansi())) {
        state = StoreState::Damaged;
      }
      break;
    case platform::SettingsReadStatus::Missing:
      break;
    case platform::SettingsReadStatus::NotRegular:
      state = StoreState::NotRegular;
      break;
    case platform::SettingsReadStatus::Error:
      state = StoreState::Unreadable;
      break;
  }
  LoadSettings(copy->context(), dialog);
  return state;
}

std::unique_ptr<SettingsTransaction> SettingsStore::BeginInRegistry(
    platform::SystemRegistry* registry, StoreState* state, int* error) {
  std::unique_ptr<platform::SettingsLock> lock = registry->Lock(kSettingsKeyPath, error);
  if (lock == nullptr) return nullptr;
  std::vector<platform::RegistryValue> values;
  switch (registry->ReadKey(kSettingsKeyPath, &values, error)) {
    case platform::SettingsReadStatus::Ok:
    case platform::SettingsReadStatus::Missing:
      break;
    case platform::SettingsReadStatus::NotRegular:
    case platform::SettingsReadStatus::Error:
      return nullptr;
  }
  std::unique_ptr<SettingsCopy> copy = NewCopy();
  copy->SetRegistryValues(values);
  *state = StoreState::Ok;
  *error = 0;
  return std::make_unique<SettingsTransaction>(std::move(lock), registry, std::move(values),
                                               std::move(copy), Ansi());
}

std::unique_ptr<SettingsTransaction> SettingsStore::Begin(StoreState* state, int* error) {
  *state = StoreState::Unreadable;
  *error = ENOENT;
  if (platform::SystemRegistry* registry = SystemRegistry()) {
    return BeginInRegistry(registry, state, error);
  }
  if (path_.empty()) return nullptr;
  std::unique_ptr<platform::LockedSettingsFile> lock =
      files_->Lock(path_, /*make_folder=*/!ini_mode_, error);
  if (lock == nullptr) return nullptr;
  std::string bytes;
  std::unique_ptr<SettingsCopy> copy = NewCopy();
  switch (lock->Read(&bytes, error)) {
    case platform::SettingsReadStatus::Ok:
      break;
    case platform::SettingsReadStatus::Missing:
      // A new INI file starts as the header the profile functions create.
      if (ini_mode_) bytes.assign(kIniHeader, kIniHeaderSize);
      break;
    case platform::SettingsReadStatus::NotRegular:
      *state = StoreState::NotRegular;
      return nullptr;
    case platform::SettingsReadStatus::Error:
      return nullptr;
  }
  if (!copy->Parse(bytes, Ansi())) {
    std::string aside;
    if (!lock->SetAside(&aside, error)) {
      *state = StoreState::Damaged;
      return nullptr;
    }
    if (report_) {
      report_(FormatText(
          messages::kHiveKeptAside.In(lang_),
          {std::u16string_view(Utf8ToUtf16(path_)), std::u16string_view(Utf8ToUtf16(aside))}));
    }
  }
  *state = StoreState::Ok;
  *error = 0;
  return std::make_unique<SettingsTransaction>(std::move(lock), std::move(copy), Ansi());
}

bool SettingsStore::Save(const ControlStore& dialog) {
  StoreState state;
  int error = 0;
  const std::unique_ptr<SettingsTransaction> transaction = Begin(&state, &error);
  if (transaction == nullptr) return false;
  SaveSettings(transaction->context(), dialog);
  return transaction->Commit(&error);
}

}  // namespace sorrel::settings
