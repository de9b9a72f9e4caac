// A fast 64-bit digest of bytes (the XXH64 function), for telling whether
// bytes were damaged; it is no defence against someone who changes them on
// purpose, who can change the digest too.
#pragma once

#include <cstdint>
#include <string_view>

namespace sorrel {

// Reads nothing but bytes. It may be given a program's segments as they are
// mapped, which hold the guard zones an address sanitizer puts between
// objects: its reads are therefore not checked by that sanitizer.
uint64_t Digest64(std::string_view bytes, uint64_t seed = 0);

}  // namespace sorrel
