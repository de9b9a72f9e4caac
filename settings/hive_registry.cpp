// The registry over a hive in memory.
#include "settings/hive_registry.h"

namespace sorrel::settings {
namespace {

std::u16string FullPath(std::u16string_view path) {
  return std::u16string(kHiveRoot) + u"\\" + std::u16string(path);
}

// Names and paths the export text cannot hold on one line.
bool FitsOnALine(std::u16string_view s) {
  return s.find_first_of(std::u16string_view(u"\r\n\0", 3)) == std::u16string_view::npos;
}

class HiveMemoryKey : public RegistryKey {
 public:
  HiveMemoryKey(Hive* hive, std::u16string path, bool writable)
      : hive_(hive), path_(std::move(path)), writable_(writable) {}

  bool QueryValue(std::u16string_view name, uint32_t* type, std::string* data) override {
    const HiveKey* key = FindHiveKey(*hive_, path_);
    const HiveValue* value = key == nullptr ? nullptr : FindHiveValue(*key, name);
    if (value == nullptr) return false;
    *type = value->type;
    *data = value->data;
    return true;
  }

  bool SetValue(std::u16string_view name, uint32_t type, std::string_view data) override {
    if (!writable_ || !FitsOnALine(name)) return false;
    SetHiveValue(FindOrAddHiveKey(hive_, path_), name, type, data);
    return true;
  }

  bool Close() override { return true; }

 private:
  Hive* hive_;
  std::u16string path_;
  bool writable_;
};

}  // namespace

std::unique_ptr<RegistryKey> HiveRegistry::OpenKey(std::u16string_view path, Access access) {
  const std::u16string full = FullPath(path);
  if (FindHiveKey(*hive_, full) == nullptr) return nullptr;
  return std::make_unique<HiveMemoryKey>(hive_, full, access == Access::All);
}

std::unique_ptr<RegistryKey> HiveRegistry::CreateKey(std::u16string_view path) {
  if (!FitsOnALine(path)) return nullptr;
  const std::u16string full = FullPath(path);
  FindOrAddHiveKey(hive_, full);
  return std::make_unique<HiveMemoryKey>(hive_, full, true);
}

}  // namespace sorrel::settings
