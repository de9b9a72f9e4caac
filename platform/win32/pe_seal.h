// The digest of a Windows program's sealed bytes, the same whether it is
// worked out by the sealing tool or by the check at start-up, both from the
// program file: the raw data of every section that the loader neither
// writes nor discards (code and constant data), each with its address. What
// strip, a debug-information tool or a signature changes (the symbol table,
// debug sections, the checksum, the certificate) does not count.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace sorrel::platform {

struct PeSection {
  uint32_t rva = 0;          // where the loader puts it
  uint64_t file_offset = 0;  // where its bytes are in the file
  std::string_view bytes;
};

// The sealed sections of the PE32+ image; false when image is no such file
// or a section lies outside it.
bool SealedSections(std::string_view image, std::vector<PeSection>* sections);

// The digest of sections, leaving out the eight bytes at digest_rva (the
// seal's own digest); never 0, which marks a seal never written.
uint64_t PeSealDigest(const std::vector<PeSection>& sections, uint32_t digest_rva);

}  // namespace sorrel::platform
