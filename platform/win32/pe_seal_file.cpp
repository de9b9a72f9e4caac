// The sealing tool's half of the seal on Windows: the digest of a program's
// sealed sections written into its seal. Kept apart from the check, so that
// no program holds the seal's marker but in its seal.
#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/integrity.h"
#include "platform/win32/pe_seal.h"

namespace sorrel {

bool SealFile(const std::string& path, std::string* problem) {
  std::string image;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      *problem = "cannot read " + path;
      return false;
    }
    image.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<platform::PeSection> sections;
  const std::string_view marker(kSealMarker, sizeof kSealMarker);
  int found = 0;
  uint32_t seal_rva = 0;
  uint64_t seal_offset = 0;
  if (platform::SealedSections(image, &sections)) {
    for (const platform::PeSection& section : sections) {
      for (size_t at = section.bytes.find(marker); at != std::string_view::npos;
           at = section.bytes.find(marker, at + 1)) {
        if (section.bytes.size() - at < sizeof(Seal)) continue;
        seal_rva = section.rva + static_cast<uint32_t>(at);
        seal_offset = section.file_offset + at;
        ++found;
      }
    }
  }
  if (found != 1) {
    *problem = path + " holds no single seal in its sealed sections";
    return false;
  }
  const uint64_t digest =
      platform::PeSealDigest(sections, seal_rva + static_cast<uint32_t>(offsetof(Seal, digest)));
  std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
  out.seekp(static_cast<std::streamoff>(seal_offset + offsetof(Seal, digest)));
  out.write(reinterpret_cast<const char*>(&digest), sizeof digest);
  if (!out) {
    *problem = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace sorrel
