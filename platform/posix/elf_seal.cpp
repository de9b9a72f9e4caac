// The sealed bytes of an ELF object.
#include "platform/posix/elf_seal.h"

#include <elf.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "base/digest64.h"

namespace sorrel::platform {
namespace {

struct ZeroRange {
  uint64_t begin;
  uint64_t end;
};

// The digest of one segment: of each run of its bytes that no range covers,
// with its place, so that what the ranges cover counts as nothing. Nothing
// is copied, so the bytes may be the object as it is mapped.
uint64_t SegmentDigest(const SealedSegment& segment, std::span<const ZeroRange> ranges) {
  const uint64_t begin = segment.offset;
  const uint64_t end = begin + segment.bytes.size();
  std::vector<ZeroRange> skipped;
  for (const ZeroRange& range : ranges) {
    if (range.end > begin && range.begin < end) {
      skipped.push_back({std::max(range.begin, begin), std::min(range.end, end)});
    }
  }
  std::sort(skipped.begin(), skipped.end(),
            [](const ZeroRange& a, const ZeroRange& b) { return a.begin < b.begin; });
  std::string summary;
  uint64_t at = begin;
  auto add_run = [&](uint64_t run_end) {
    if (run_end <= at) return;
    const uint64_t fields[] = {at, run_end - at,
                               Digest64(segment.bytes.substr(at - begin, run_end - at))};
    summary.append(reinterpret_cast<const char*>(fields), sizeof fields);
  };
  for (const ZeroRange& range : skipped) {
    add_run(range.begin);
    at = std::max(at, range.end);
  }
  add_run(end);
  return Digest64(summary);
}

}  // namespace

uint64_t SealDigest(std::span<const SealedSegment> segments, uint64_t digest_offset) {
  const ZeroRange ranges[] = {
      {offsetof(Elf64_Ehdr, e_shoff), offsetof(Elf64_Ehdr, e_shoff) + sizeof(Elf64_Off)},
      {offsetof(Elf64_Ehdr, e_shentsize), sizeof(Elf64_Ehdr)},
      {digest_offset, digest_offset + sizeof(uint64_t)},
  };
  // Each segment's place and digest, digested together.
  std::string summary;
  for (const SealedSegment& segment : segments) {
    const uint64_t fields[] = {segment.offset, segment.bytes.size(),
                               SegmentDigest(segment, ranges)};
    summary.append(reinterpret_cast<const char*>(fields), sizeof fields);
  }
  // 0 marks a seal that was never written, so no digest is 0.
  const uint64_t digest = Digest64(summary);
  return digest != 0 ? digest : 1;
}

bool ReadOnlySegments(std::string_view image, std::vector<SealedSegment>* segments) {
  segments->clear();
  Elf64_Ehdr header;
  if (image.size() < sizeof header) return false;
  std::memcpy(&header, image.data(), sizeof header);
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
      header.e_ident[EI_DATA] != ELFDATA2LSB || header.e_phentsize != sizeof(Elf64_Phdr)) {
    return false;
  }
  for (uint16_t i = 0; i < header.e_phnum; ++i) {
    const uint64_t at = header.e_phoff + uint64_t{i} * sizeof(Elf64_Phdr);
    if (at > image.size() || image.size() - at < sizeof(Elf64_Phdr)) return false;
    Elf64_Phdr program;
    std::memcpy(&program, image.data() + at, sizeof program);
    if (program.p_type != PT_LOAD || (program.p_flags & PF_W) != 0) continue;
    if (program.p_offset > image.size() || image.size() - program.p_offset < program.p_filesz) {
      return false;
    }
    segments->push_back({program.p_offset, image.substr(program.p_offset, program.p_filesz)});
  }
  return true;
}

}  // namespace sorrel::platform
