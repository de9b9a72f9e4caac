// The sealed bytes of a PE32+ file, and the check of the running program.
#include "platform/win32/pe_seal.h"

#include "platform/win32/windows_api.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "base/digest64.h"
#include "platform/integrity.h"

namespace sorrel::platform {
namespace {

template <typename T>
bool Get(std::string_view image, uint64_t at, T* value) {
  if (at > image.size() || image.size() - at < sizeof(T)) return false;
  std::memcpy(value, image.data() + at, sizeof(T));
  return true;
}

}  // namespace

bool SealedSections(std::string_view image, std::vector<PeSection>* sections) {
  sections->clear();
  uint32_t pe = 0;
  uint32_t signature = 0;
  uint16_t count = 0;
  uint16_t optional_size = 0;
  uint16_t magic = 0;
  if (!Get(image, 0x3C, &pe) || !Get(image, pe, &signature) || signature != 0x4550 ||
      !Get(image, pe + 6, &count) || !Get(image, pe + 20, &optional_size) ||
      !Get(image, pe + 24, &magic) || magic != 0x20B) {
    return false;
  }
  const uint64_t table = uint64_t{pe} + 24 + optional_size;
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t at = table + uint64_t{i} * 40;
    uint32_t virtual_size = 0, rva = 0, raw_size = 0, raw_offset = 0, flags = 0;
    if (!Get(image, at + 8, &virtual_size) || !Get(image, at + 12, &rva) ||
        !Get(image, at + 16, &raw_size) || !Get(image, at + 20, &raw_offset) ||
        !Get(image, at + 36, &flags)) {
      return false;
    }
    if ((flags & (IMAGE_SCN_MEM_WRITE | IMAGE_SCN_MEM_DISCARDABLE)) != 0) continue;
    const uint32_t size = virtual_size != 0 && virtual_size < raw_size ? virtual_size : raw_size;
    if (raw_offset > image.size() || image.size() - raw_offset < size) return false;
    sections->push_back({rva, raw_offset, image.substr(raw_offset, size)});
  }
  return true;
}

uint64_t PeSealDigest(const std::vector<PeSection>& sections, uint32_t digest_rva) {
  std::string summary;
  for (const PeSection& section : sections) {
    std::string bytes(section.bytes);
    if (digest_rva >= section.rva && digest_rva - section.rva < bytes.size()) {
      const size_t at = digest_rva - section.rva;
      bytes.replace(at, std::min<size_t>(8, bytes.size() - at),
                    std::min<size_t>(8, bytes.size() - at), '\0');
    }
    const uint64_t fields[] = {section.rva, bytes.size(), Digest64(bytes)};
    summary.append(reinterpret_cast<const char*>(fields), sizeof fields);
  }
  const uint64_t digest = Digest64(summary);
  return digest != 0 ? digest : 1;
}

}  // namespace sorrel::platform

namespace sorrel {

// The program file of the module that holds seal, read whole: its code and
// constant data as the loader maps them are relocated, the file's are not.
bool IsSealIntact(const Seal& seal) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&seal), &module)) {
    return false;
  }
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return false;
  path.resize(length);
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  std::string image;
  DWORD got = 0;
  const bool read = GetFileSizeEx(file, &size) && size.QuadPart < (LONGLONG{1} << 31) &&
                    (image.resize(static_cast<size_t>(size.QuadPart)), true) &&
                    ReadFile(file, image.data(), static_cast<DWORD>(image.size()), &got, nullptr) &&
                    got == image.size();
  CloseHandle(file);
  std::vector<platform::PeSection> sections;
  if (!read || !platform::SealedSections(image, &sections)) return false;
  const auto digest_rva = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&seal.digest) -
                                                reinterpret_cast<uintptr_t>(module));
  // The tool wrote the digest after compiling: read what memory holds.
  const uint64_t expected = *static_cast<const volatile uint64_t*>(&seal.digest);
  return expected != 0 && platform::PeSealDigest(sections, digest_rva) == expected;
}

}  // namespace sorrel
