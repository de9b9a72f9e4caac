// XXH64 as its author defines it: four lanes over 32-byte stripes, then the
// tail in 8-, 4- and 1-byte steps, then the avalanche.
#include "base/digest64.h"

#include <cstring>

namespace sorrel {
namespace {

constexpr uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr uint64_t kPrime3 = 0x165667B19E3779F9ULL;
constexpr uint64_t kPrime4 = 0x85EBCA77C2B2AE63ULL;
constexpr uint64_t kPrime5 = 0x27D4EB2F165667C5ULL;

uint64_t RotateLeft(uint64_t x, int r) {
  return (x << r) | (x >> (64 - r));
}

// Not checked by the address sanitizer (see the header).
#define SORREL_UNCHECKED_READS __attribute__((no_sanitize_address))

// Little-endian reads, whatever the machine's order.
SORREL_UNCHECKED_READS uint64_t Read64(const unsigned char* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

SORREL_UNCHECKED_READS uint32_t Read32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint64_t Round(uint64_t acc, uint64_t input) {
  acc += input * kPrime2;
  return RotateLeft(acc, 31) * kPrime1;
}

uint64_t Merge(uint64_t acc, uint64_t lane) {
  acc ^= Round(0, lane);
  return acc * kPrime1 + kPrime4;
}

}  // namespace

SORREL_UNCHECKED_READS uint64_t Digest64(std::string_view bytes, uint64_t seed) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* const end = p + bytes.size();
  uint64_t h;
  if (bytes.size() >= 32) {
    uint64_t v1 = seed + kPrime1 + kPrime2;
    uint64_t v2 = seed + kPrime2;
    uint64_t v3 = seed;
    uint64_t v4 = seed - kPrime1;
    for (; end - p >= 32; p += 32) {
      v1 = Round(v1, Read64(p));
      v2 = Round(v2, Read64(p + 8));
      v3 = Round(v3, Read64(p + 16));
      v4 = Round(v4, Read64(p + 24));
    }
    h = RotateLeft(v1, 1) + RotateLeft(v2, 7) + RotateLeft(v3, 12) + RotateLeft(v4, 18);
    h = Merge(h, v1);
    h = Merge(h, v2);
    h = Merge(h, v3);
    h = Merge(h, v4);
  } else {
    h = seed + kPrime5;
  }
  h += bytes.size();
  for (; end - p >= 8; p += 8) h = RotateLeft(h ^ Round(0, Read64(p)), 27) * kPrime1 + kPrime4;
  if (end - p >= 4) {
    h = RotateLeft(h ^ (Read32(p) * kPrime1), 23) * kPrime2 + kPrime3;
    p += 4;
  }
  for (; p < end; ++p) h = RotateLeft(h ^ (*p * kPrime5), 11) * kPrime1;
  h ^= h >> 33;
  h *= kPrime2;
  h ^= h >> 29;
  h *= kPrime3;
  h ^= h >> 32;
  return h;
}

}  // namespace sorrel
