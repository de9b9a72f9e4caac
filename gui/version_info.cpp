// Finding and reading the version block.
#include "gui/version_info.h"

#include <cstdint>
#include <fstream>
#include <iterator>

#include "base/utf.h"

namespace sorrel {
namespace {

// The ELF64 fields the search reads, by their byte offsets.
constexpr size_t kElfHeaderBytes = 64;
constexpr size_t kSectionOffsetField = 0x28;  // e_shoff
constexpr size_t kSectionEntrySizeField = 0x3A;
constexpr size_t kSectionCountField = 0x3C;
constexpr size_t kNamesIndexField = 0x3E;  // e_shstrndx
constexpr size_t kSectionHeaderBytes = 64;
constexpr uint32_t kNoBits = 8;  // SHT_NOBITS: a section without file bytes

uint64_t Little(std::string_view bytes, size_t at, size_t width) {
  uint64_t value = 0;
  for (size_t i = width; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// The bytes of one section header's contents, or nullopt when they lie
// outside bytes or the section has none in the file.
std::optional<std::string_view> SectionBytes(std::string_view bytes, std::string_view header) {
  if (Little(header, 4, 4) == kNoBits) return std::nullopt;
  const uint64_t offset = Little(header, 24, 8);
  const uint64_t size = Little(header, 32, 8);
  if (offset > bytes.size() || size > bytes.size() - offset) return std::nullopt;
  return bytes.substr(offset, size);
}

// The NUL-ended text at at in table, or nullopt when at lies outside it.
std::optional<std::string_view> NameAt(std::string_view table, uint64_t at) {
  if (at >= table.size()) return std::nullopt;
  const std::string_view rest = table.substr(at);
  const size_t end = rest.find('\0');
  if (end == std::string_view::npos) return std::nullopt;
  return rest.substr(0, end);
}

}  // namespace

std::optional<std::string_view> FindElfSection(std::string_view bytes, std::string_view name) {
  if (bytes.size() < kElfHeaderBytes ||
      bytes.substr(0, 4) !=
          "\x7f"
          "ELF" ||
      bytes[4] != 2 || bytes[5] != 1) {
    return std::nullopt;
  }
  const uint64_t table = Little(bytes, kSectionOffsetField, 8);
  const uint64_t entry_size = Little(bytes, kSectionEntrySizeField, 2);
  const uint64_t count = Little(bytes, kSectionCountField, 2);
  const uint64_t names_index = Little(bytes, kNamesIndexField, 2);
  if (entry_size < kSectionHeaderBytes || names_index >= count || table > bytes.size() ||
      count * entry_size > bytes.size() - table) {
    return std::nullopt;
  }
  auto header = [&](uint64_t index) {
    return bytes.substr(table + index * entry_size, kSectionHeaderBytes);
  };
  const std::optional<std::string_view> names = SectionBytes(bytes, header(names_index));
  if (!names) return std::nullopt;
  for (uint64_t i = 0; i < count; ++i) {
    if (NameAt(*names, Little(header(i), 0, 4)) == name) return SectionBytes(bytes, header(i));
  }
  return std::nullopt;
}

std::optional<VersionStrings> ParseVersionBlock(std::string_view block) {
  if (!block.starts_with(kVersionBlockMagic)) return std::nullopt;
  std::string_view rest = block.substr(kVersionBlockMagic.size());
  auto next = [&rest]() -> std::optional<std::string_view> {
    const size_t end = rest.find('\0');
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view text = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return text;
  };
  VersionStrings strings;
  bool has_file_version = false;
  while (true) {
    const std::optional<std::string_view> key = next();
    if (!key || key->empty()) break;
    const std::optional<std::string_view> value = next();
    if (!value) break;
    const std::u16string text = Utf8ToUtf16(*value);
    if (*key == "FileVersion") {
      strings.file_version = text;
      has_file_version = true;
    } else if (*key == "SpecialBuild") {
      strings.special_build = text;
    } else if (*key == "PrivateBuild") {
      strings.private_build = text;
    } else if (*key == "LegalCopyright") {
      strings.legal_copyright = text;
    } else if (*key == "FileDescription") {
      strings.file_description = text;
    }
  }
  if (!has_file_version) return std::nullopt;
  return strings;
}

std::optional<VersionStrings> ReadVersionBlock(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) return std::nullopt;
  const std::optional<std::string_view> block = FindElfSection(bytes, kVersionSectionName);
  if (!block) return std::nullopt;
  return ParseVersionBlock(*block);
}

}  // namespace sorrel
