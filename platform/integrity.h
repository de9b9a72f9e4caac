// The start-up check that the program file is intact.
#pragma once

#include <string>
#include <string_view>

namespace sorrel {

// The seal the build appends to the program: a marker and the SHA-256 digest
// of every byte before it.
inline constexpr std::string_view kSealMarker = "SORREL-SEAL-SHA256:";
inline constexpr size_t kDigestBytes = 32;
inline constexpr size_t kSealBytes = kSealMarker.size() + kDigestBytes;

// True when bytes end in a seal whose digest matches what it follows.
bool IsSealIntact(std::string_view bytes);

// The SHA-256 digest of bytes.
std::string Sha256(std::string_view bytes);

// Reads the running program's own file and checks its seal.
bool IsRunningProgramIntact();

}  // namespace sorrel
