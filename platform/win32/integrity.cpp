// The seal's digest through the system's cryptography (CNG), and the check
// of the running program's own file.
#include "platform/integrity.h"

#include "platform/win32/windows_api.h"
// After <windows.h>, whose types it uses.
#include <bcrypt.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/win32/program_folder.h"
#include "platform/win32/wide.h"

namespace sorrel {

std::string Sha256(std::string_view bytes) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(
          BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    return {};
  }
  std::string digest(kDigestBytes, '\0');
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
  size_t done = 0;
  while (ok && done < bytes.size()) {
    const ULONG chunk = static_cast<ULONG>(std::min<size_t>(bytes.size() - done, 1u << 30));
    ok = BCRYPT_SUCCESS(BCryptHashData(
        hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + done)), chunk, 0));
    done += chunk;
  }
  ok = ok && BCRYPT_SUCCESS(BCryptFinishHash(hash, reinterpret_cast<PUCHAR>(digest.data()),
                                             static_cast<ULONG>(digest.size()), 0));
  if (hash != nullptr) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return ok ? digest : std::string();
}

bool IsRunningProgramIntact() {
  const std::string path = platform::ProgramPath();
  if (path.empty()) return false;
  std::ifstream in(std::filesystem::path(platform::Wide(path)), std::ios::binary);
  if (!in) return false;
  const std::string bytes(std::istreambuf_iterator<char>(in), {});
  return IsSealIntact(bytes);
}

}  // namespace sorrel
