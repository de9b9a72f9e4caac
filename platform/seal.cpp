// The seal check, the same on every platform; the digest is the platform's.
#include "platform/integrity.h"

namespace sorrel {

bool IsSealIntact(std::string_view bytes) {
  if (bytes.size() < kSealBytes) return false;
  const std::string_view body = bytes.substr(0, bytes.size() - kSealBytes);
  const std::string_view seal = bytes.substr(body.size());
  if (seal.substr(0, kSealMarker.size()) != kSealMarker) return false;
  const std::string digest = Sha256(body);
  return digest.size() == kDigestBytes && seal.substr(kSealMarker.size()) == digest;
}

}  // namespace sorrel
