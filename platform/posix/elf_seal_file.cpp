// The sealing tool's half of the seal on POSIX: the digest of an ELF
// object's read-only segments written into its seal. Kept apart from the
// check, so that no program holds the seal's marker but in its seal.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/integrity.h"
#include "platform/posix/elf_seal.h"

namespace sorrel {
namespace {

// The file offset of the only seal in segments; false when there is none or
// more than one.
bool FindSeal(const std::vector<platform::SealedSegment>& segments, uint64_t* offset) {
  size_t found = 0;
  for (const auto& segment : segments) {
    const std::vector<size_t> seals = SealsIn(segment.bytes);
    if (!seals.empty()) *offset = segment.offset + seals.front();
    found += seals.size();
  }
  return found == 1;
}

}  // namespace

bool SealFile(const std::string& path, std::string* problem) {
  std::string image;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      *problem = "cannot read " + path;
      return false;
    }
    image.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<platform::SealedSegment> segments;
  uint64_t seal = 0;
  if (!platform::ReadOnlySegments(image, &segments) || !FindSeal(segments, &seal)) {
    *problem = path + " holds no single seal in its read-only segments";
    return false;
  }
  const uint64_t digest_offset = seal + offsetof(Seal, digest);
  const uint64_t digest = platform::SealDigest(segments, digest_offset);
  // The digest is stored little-endian, as the machine reads it.
  const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  const bool ok =
      fd >= 0 && pwrite(fd, &digest, sizeof digest, static_cast<off_t>(digest_offset)) ==
                     static_cast<ssize_t>(sizeof digest);
  if (fd >= 0) close(fd);
  if (!ok) *problem = "cannot write " + path;
  return ok;
}

}  // namespace sorrel
