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

bool IsRunningProgramIntact() {
  std::ifstream in("/proc/self/exe", std::ios::binary);
  if (!in) return false;
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  return IsSealIntact(bytes);
}

}  // namespace sorrel
