// The digest of an ELF object's sealed bytes, the same whether the bytes come
// from the file (the sealing tool) or from memory (the check at start-up).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::platform {

// One loadable segment that is never written: its offset in the file and its
// p_filesz bytes.
struct SealedSegment {
  uint64_t offset = 0;
  std::string_view bytes;
};

// The digest of segments in their order, leaving out the eight bytes at file
// offset digest_offset (the seal's own digest) and the ELF header's
// section-table fields (e_shoff, e_shentsize, e_shnum, e_shstrndx: what
// stripping changes).
uint64_t SealDigest(std::span<const SealedSegment> segments, uint64_t digest_offset);

// The segments of the ELF64 little-endian file image, by its program
// headers: every PT_LOAD without write permission. False when image is no
// such file or a segment lies outside it.
bool ReadOnlySegments(std::string_view image, std::vector<SealedSegment>* segments);

}  // namespace sorrel::platform
