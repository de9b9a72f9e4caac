// The program's version block: the texts the About box shows, embedded in the
// program file as a section of its own and read back from that file. The
// block is found through the file's section table, so bytes appended after
// linking (the integrity seal) do not disturb it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sorrel {

// The name of the section that holds the block.
inline constexpr std::string_view kVersionSectionName = ".sorrel_version";

// The first bytes of the block: "SORRELVB" and a NUL. Then pairs of NUL-ended
// UTF-8 texts (a name, its value), ended by an empty name.
inline constexpr std::string_view kVersionBlockMagic{"SORRELVB\0", 9};

struct VersionStrings {
  std::u16string file_version;  // four dotted numbers
  std::u16string special_build;
  std::u16string private_build;
  std::u16string legal_copyright;
  std::u16string file_description;
};

// The contents of the section called name in the ELF64 little-endian image
// bytes; nullopt when bytes are no such image, when the section table or the
// section lies outside bytes, or when there is no such section.
std::optional<std::string_view> FindElfSection(std::string_view bytes, std::string_view name);

// The texts of a block. nullopt when block does not begin with the magic or
// has no FileVersion; other missing names give empty texts, unknown names
// are skipped, and a block cut short keeps the pairs before the cut.
std::optional<VersionStrings> ParseVersionBlock(std::string_view block);

// The version block of the program file at path; nullopt when the file
// cannot be read or carries no readable block with a FileVersion.
std::optional<VersionStrings> ReadVersionBlock(const std::string& path);

}  // namespace sorrel
