// Seals a program or library after linking: finds its seal among its
// read-only loaded bytes and writes into it the digest that its start-up
// checks (see platform/integrity.h). Sealing again gives the same digest.
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/integrity.h"
#include "platform/posix/elf_seal.h"

namespace {

// The file offset of the only seal in segments; false when there is none or
// more than one.
bool FindSeal(const std::vector<sorrel::platform::SealedSegment>& segments, uint64_t* offset) {
  const std::string_view marker(sorrel::kSealMarker, sizeof sorrel::kSealMarker);
  int found = 0;
  for (const auto& segment : segments) {
    for (size_t at = segment.bytes.find(marker); at != std::string_view::npos;
         at = segment.bytes.find(marker, at + 1)) {
      if (segment.bytes.size() - at < sizeof(sorrel::Seal)) continue;
      *offset = segment.offset + at;
      ++found;
    }
  }
  return found == 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: seal FILE\n";
    return 2;
  }
  std::string image;
  {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
      std::cerr << "seal: cannot read " << argv[1] << "\n";
      return 1;
    }
    image.assign(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<sorrel::platform::SealedSegment> segments;
  uint64_t seal = 0;
  if (!sorrel::platform::ReadOnlySegments(image, &segments) || !FindSeal(segments, &seal)) {
    std::cerr << "seal: " << argv[1] << " holds no single seal in its read-only segments\n";
    return 1;
  }
  const uint64_t digest_offset = seal + offsetof(sorrel::Seal, digest);
  uint64_t digest = sorrel::platform::SealDigest(segments, digest_offset);
  // The digest is stored little-endian, as the machine reads it.
  const int fd = open(argv[1], O_WRONLY | O_CLOEXEC);
  const bool ok =
      fd >= 0 && pwrite(fd, &digest, sizeof digest, static_cast<off_t>(digest_offset)) ==
                     static_cast<ssize_t>(sizeof digest);
  if (fd >= 0) close(fd);
  if (!ok) {
    std::cerr << "seal: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
