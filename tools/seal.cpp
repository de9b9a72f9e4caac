// Appends (or renews) the seal that sorrel checks at start-up: a marker and
// the SHA-256 digest of the program file before it.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "platform/integrity.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: seal PROGRAM\n";
    return 2;
  }
  const std::filesystem::path path = argv[1];
  std::string bytes;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::cerr << "seal: cannot read " << path << "\n";
      return 1;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  if (sorrel::IsSealIntact(bytes)) {
    bytes.resize(bytes.size() - sorrel::kSealBytes);
    std::filesystem::resize_file(path, bytes.size());
  }
  const std::string digest = sorrel::Sha256(bytes);
  if (digest.size() != sorrel::kDigestBytes) return 1;
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << sorrel::kSealMarker << digest;
  return out ? 0 : 1;
}
