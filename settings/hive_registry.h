// The registry of the current user as a hive held in memory: the store the key
// wrappers read and write during one run. The settings store reads the hive
// from its file once and writes it back once (settings_store.h).
#pragma once

#include <memory>
#include <string_view>

#include "settings/hive_format.h"
#include "settings/registry_store.h"

namespace sorrel::settings {

class HiveRegistry : public RegistryStore {
 public:
  // hive must outlive the registry and every key it opens.
  explicit HiveRegistry(Hive* hive) : hive_(hive) {}

  std::unique_ptr<RegistryKey> OpenKey(std::u16string_view path, Access access) override;
  // False for a path the export text cannot hold on one line.
  std::unique_ptr<RegistryKey> CreateKey(std::u16string_view path) override;

 private:
  Hive* hive_;
};

}  // namespace sorrel::settings
