// Scanning the bytes of a page by its tables.
#include "platform/byte_page.h"

#include <cstring>

#include "platform/utf.h"

namespace sorrel::platform {
namespace {

bool AsciiWord(const unsigned char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return (word & 0x8080808080808080u) == 0;
}

}  // namespace

PageScan ScanPage(const BytePage& page, std::string_view bytes) {
  if (page.utf8) {
    const bool valid = IsUtf8(bytes);
    return {valid, valid};
  }
  PageScan scan{true, true};
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* const end = p + bytes.size();
  while (p < end) {
    while (end - p >= 16 && AsciiWord(p) && AsciiWord(p + 8)) p += 16;
    if (p == end) break;
    const size_t length = page.length[*p];
    if (length == 0 || static_cast<size_t>(end - p) < length) return {};
    const PageEntry entry = page.Entry(p, length);
    if ((entry & BytePage::kValid) == 0) return {};
    if ((entry & BytePage::kPlain) == 0) scan.plain = false;
    p += length;
  }
  return scan;
}

}  // namespace sorrel::platform
