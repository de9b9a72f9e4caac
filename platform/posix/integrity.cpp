// The seal checked over the object as the loader mapped it.
#include "platform/integrity.h"

#include <link.h>

#include <cstddef>
#include <vector>

#include "platform/posix/elf_seal.h"

namespace sorrel {
namespace {

struct Search {
  uintptr_t seal;
  bool found = false;
  bool intact = false;
  uint64_t expected = 0;
};

int CheckObject(dl_phdr_info* info, size_t, void* data) {
  auto* search = static_cast<Search*>(data);
  std::vector<platform::SealedSegment> segments;
  uint64_t digest_offset = 0;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& program = info->dlpi_phdr[i];
    if (program.p_type != PT_LOAD) continue;
    const uintptr_t start = info->dlpi_addr + program.p_vaddr;
    if (search->seal >= start && search->seal < start + program.p_filesz) {
      search->found = true;
      digest_offset = program.p_offset + (search->seal - start) + offsetof(Seal, digest);
    }
    if ((program.p_flags & PF_W) != 0) continue;
    segments.push_back({program.p_offset,
                        std::string_view(reinterpret_cast<const char*>(start), program.p_filesz)});
  }
  if (!search->found) return 0;
  search->intact =
      search->expected != 0 && platform::SealDigest(segments, digest_offset) == search->expected;
  return 1;
}

}  // namespace

bool IsSealIntact(const Seal& seal) {
  Search search{reinterpret_cast<uintptr_t>(&seal)};
  // The tool wrote the digest after compiling: read what memory holds.
  search.expected = *static_cast<const volatile uint64_t*>(&seal.digest);
  dl_iterate_phdr(CheckObject, &search);
  return search.found && search.intact;
}

}  // namespace sorrel
