#include "fuzz/fuzz_units.h"

#include <stdlib.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace sorrel::fuzz {
namespace {

constexpr std::array<char16_t, 16> kInterestingUnits = {
    u'\u3000', u'\u3042', u'\u4E00', u'\uFF61', 0xD83D,    0xDE00,    u'\uFEFF', u'\uFFFD',
    u'\u00A0', u'\u0085', u'\u2028', u'\uFF21', u'\u00E9', u'\u007F', u'\u001A', u'\u0000',
};

// The scratch folder, never destroyed, so that the removal at exit can
// still use its name.
const std::string& ScratchFolder() {
  static const std::string* const folder = [] {
    auto* made =
        new std::string((std::filesystem::temp_directory_path() / "sorrel-fuzz-XXXXXX").string());
    if (mkdtemp(made->data()) == nullptr) {
      std::perror("no scratch folder");
      std::abort();
    }
    std::atexit([] { std::filesystem::remove_all(ScratchFolder()); });
    return made;
  }();
  return *folder;
}

}  // namespace

std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
  const std::string path = ScratchFolder() + "/" + name;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    std::fprintf(stderr, "cannot write the scratch file %s\n", path.c_str());
    std::abort();
  }
  return path;
}

std::vector<std::string_view> SplitFields(std::string_view bytes) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t i = 0; i <= bytes.size(); ++i) {
    if (i == bytes.size() || bytes[i] == kFieldSeparator) {
      fields.push_back(bytes.substr(start, i - start));
      start = i + 1;
    }
  }
  return fields;
}

std::u16string UnitsFromBytes(std::string_view bytes) {
  std::u16string units;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    if (b < 0x80) {
      units.push_back(b);
    } else if (b < 0xC0) {
      units.push_back(kInterestingUnits[b % kInterestingUnits.size()]);
    } else {
      const auto high = i + 1 < bytes.size() ? static_cast<uint8_t>(bytes[i + 1]) : 0;
      const auto low = i + 2 < bytes.size() ? static_cast<uint8_t>(bytes[i + 2]) : 0;
      units.push_back(static_cast<char16_t>(high << 8 | low));
      i += 2;
    }
  }
  return units;
}

std::string_view Field(const std::vector<std::string_view>& fields, size_t index) {
  return index < fields.size() ? fields[index] : std::string_view();
}

}  // namespace sorrel::fuzz
