// The sealing tool's half of the seal on Windows: the digest of a program's
// sealed sections written into its seal. Kept apart from the check, so that
// no program holds the seal's marker but in its seal.
#include "platform/win32/windows_api.h"

#include <cstddef>
#include <string>
#include <vector>

#include "platform/integrity.h"
#include "platform/win32/pe_seal.h"
#include "platform/win32/wide.h"

namespace sorrel {
namespace {

struct SealPlace {
  uint32_t rva = 0;
  uint64_t file_offset = 0;
};

// Where the only seal of sections is; false when there is none or more.
bool FindSeal(const std::vector<platform::PeSection>& sections, SealPlace* place) {
  size_t found = 0;
  for (const platform::PeSection& section : sections) {
    const std::vector<size_t> seals = SealsIn(section.bytes);
    found += seals.size();
    if (seals.size() == 1) place->rva = section.rva + static_cast<uint32_t>(seals[0]);
    if (seals.size() == 1) place->file_offset = section.file_offset + seals[0];
  }
  return found == 1;
}

}  // namespace

bool SealFile(const std::string& path, std::string* problem) {
  HANDLE file = CreateFileW(platform::Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size{};
  std::string image;
  DWORD done = 0;
  if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size) || size.QuadPart > (1 << 30) ||
      (image.resize(static_cast<size_t>(size.QuadPart)),
       !ReadFile(file, image.data(), static_cast<DWORD>(image.size()), &done, nullptr)) ||
      done != image.size()) {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    *problem = "cannot read " + path;
    return false;
  }
  std::vector<platform::PeSection> sections;
  SealPlace seal;
  bool ok = platform::SealedSections(image, &sections) && FindSeal(sections, &seal);
  if (!ok) *problem = path + " holds no single seal in its sealed sections";
  if (ok) {
    const uint64_t digest =
        platform::PeSealDigest(sections, seal.rva + static_cast<uint32_t>(offsetof(Seal, digest)));
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(seal.file_offset + offsetof(Seal, digest));
    ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
         WriteFile(file, &digest, sizeof digest, &done, nullptr) && done == sizeof digest;
    if (!ok) *problem = "cannot write " + path;
  }
  CloseHandle(file);
  return ok;
}

}  // namespace sorrel
