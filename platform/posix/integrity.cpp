// The seal's digest, computed with libcrypto.
#include "platform/integrity.h"

#include <openssl/evp.h>

#include <fstream>
#include <iterator>

namespace sorrel {

std::string Sha256(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1) {
    return {};
  }
  return std::string(reinterpret_cast<const char*>(digest), length);
}

bool IsSealIntact(std::string_view bytes) {
  if (bytes.size() < kSealBytes) return false;
  const std::string_view body = bytes.substr(0, bytes.size() - kSealBytes);
  const std::string_view seal = bytes.substr(body.size());
  if (seal.substr(0, kSealMarker.size()) != kSealMarker) return false;
  const std::string digest = Sha256(body);
  return digest.size() == kDigestBytes && seal.substr(kSealMarker.size()) == digest;
}

bool IsRunningProgramIntact() {
  std::ifstream in("/proc/self/exe", std::ios::binary);
  if (!in) return false;
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  return IsSealIntact(bytes);
}

}  // namespace sorrel
