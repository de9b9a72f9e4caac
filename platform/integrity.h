// The start-up check that a program's code is intact. Each sealed program or
// library carries one seal in its read-only data; after linking, the build's
// sealing tool writes into it the digest of every byte of the object that is
// loaded and never written (its code and constant data, the ELF header
// without its section-table fields). Tools that strip symbols or debugging
// sections change none of those bytes, so a stripped program still passes;
// one damaged in its code or constant data does not. The check reads the
// object as it is mapped in memory, so it needs no read permission on the
// file. It tells damage apart, not tampering: whoever can change the code
// can change the digest too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel {

struct Seal {
  char marker[16];  // kSealMarker, by which the tool finds the seal
  uint64_t digest;  // 0 until the tool has sealed the object
};

inline constexpr char kSealMarker[16] = "SORREL-SEAL-V2:";

// Defines the seal of the object being built, among its constant data, with
// external linkage so that a library can export it.
#define SORREL_DEFINE_SEAL(name)                                                          \
  [[gnu::used, gnu::section(".rodata.sorrel_seal")]] extern const ::sorrel::Seal name = { \
      "SORREL-SEAL-V2:", 0}

// True when the loaded object that holds seal is intact: its read-only
// segments as mapped now give the digest the seal holds. The digest is read
// from memory, never taken as the 0 the source gives it.
bool IsSealIntact(const Seal& seal);

// Where seals begin in bytes: every place of the marker with room for a
// whole seal after it (the sealing tool's search).
inline std::vector<size_t> SealsIn(std::string_view bytes) {
  const std::string_view marker(kSealMarker, sizeof kSealMarker);
  std::vector<size_t> places;
  for (size_t at = bytes.find(marker); at != std::string_view::npos;
       at = bytes.find(marker, at + 1)) {
    if (bytes.size() - at >= sizeof(Seal)) places.push_back(at);
  }
  return places;
}

// The build's sealing tool: writes into the program or library file at path
// the digest that its seal must hold. False, with what went wrong in
// *problem, when the file cannot be read or written or does not hold exactly
// one seal where the check looks.
bool SealFile(const std::string& path, std::string* problem);

}  // namespace sorrel
