// Scanning the bytes of a page by its tables.
#include "base/byte_page.h"

#include <cstring>

#include "base/utf.h"

namespace sorrel::platform {

const BytePage& Utf8BytePage() {
  static const BytePage page = [] {
    BytePage utf8;
    utf8.code_page = 65001;
    utf8.utf8 = true;
    return utf8;
  }();
  return page;
}

namespace {

bool AsciiWord(const unsigned char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return (word & 0x8080808080808080u) == 0;
}

// The UTF-8 of an entry as high_utf8 holds it, without the count of the
// character's bytes.
uint32_t PackedUtf8(PageEntry entry) {
  const uint32_t unit = BytePage::Unit(entry);
  if ((entry & BytePage::kValid) == 0 || (entry & BytePage::kSeveralUnits) != 0 ||
      (unit >= 0xD800 && unit <= 0xDFFF)) {
    return 0;
  }
  if (unit < 0x80) return 1u << 24 | unit;
  if (unit < 0x800) return 2u << 24 | (0x80 | (unit & 0x3F)) << 8 | (0xC0 | unit >> 6);
  return 3u << 24 | (0x80 | (unit & 0x3F)) << 16 | (0x80 | ((unit >> 6) & 0x3F)) << 8 |
         (0xE0 | unit >> 12);
}

// The UTF-8 of the character at p (whose first byte is 0x80 or more) as
// high_utf8 holds it, for the characters the table leaves out.
uint32_t SlowUtf8(const BytePage& page, const unsigned char* p, const unsigned char* end) {
  const size_t length = page.length[*p];
  if (length == 0 || static_cast<size_t>(end - p) < length) return 0;
  const uint32_t utf8 = PackedUtf8(page.Entry(p, length));
  return utf8 == 0 ? 0 : utf8 | static_cast<uint32_t>(length) << 28;
}

// Why the character at p has no UTF-8.
Transcoding Status(const BytePage& page, const unsigned char* p, const unsigned char* end) {
  const size_t length = page.length[*p];
  if (length == 0 || static_cast<size_t>(end - p) < length) return Transcoding::Invalid;
  const PageEntry entry = page.Entry(p, length);
  return (entry & BytePage::kValid) == 0 ? Transcoding::Invalid : Transcoding::NeedsText;
}

// Writes the UTF-8 of bytes (a page with tables) into utf8, which grows as
// it must; or tells why it cannot be had.
Transcoding WriteUtf8(const BytePage& page, std::string_view bytes, std::string* utf8) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const unsigned char* const end = p + bytes.size();
  const uint32_t* const high = page.high_utf8.data();
  // Most characters of two bytes take three in UTF-8; only the room for the
  // next eight bytes is looked at each time.
  utf8->resize(bytes.size() + bytes.size() / 2 + 16);
  char* to = utf8->data();
  char* limit = to + utf8->size();
  while (p < end) {
    if (limit - to < 8) {
      const size_t written = static_cast<size_t>(to - utf8->data());
      utf8->resize(utf8->size() + utf8->size() / 2);
      to = utf8->data() + written;
      limit = utf8->data() + utf8->size();
    }
    const unsigned b = *p;
    if (b < 0x80) {
      *to++ = static_cast<char>(b);
      ++p;
      while (end - p >= 8 && limit - to >= 8 && AsciiWord(p)) {
        std::memcpy(to, p, 8);
        to += 8;
        p += 8;
      }
      continue;
    }
    uint32_t packed = end - p >= 2 ? high[(b - 0x80) << 8 | p[1]] : 0;
    if (packed == 0) packed = SlowUtf8(page, p, end);
    if (packed == 0) return Status(page, p, end);
    // Three bytes always; the ones beyond the length are written over next.
    to[0] = static_cast<char>(packed & 0xFF);
    to[1] = static_cast<char>(packed >> 8 & 0xFF);
    to[2] = static_cast<char>(packed >> 16 & 0xFF);
    to += packed >> 24 & 0x0F;
    p += packed >> 28;
  }
  utf8->resize(static_cast<size_t>(to - utf8->data()));
  return Transcoding::Ok;
}

}  // namespace

void AddUtf8Tables(BytePage* page) {
  page->high_utf8.assign(size_t{0x80} << 8, 0);
  for (uint32_t first = 0x80; first < 0x100; ++first) {
    for (uint32_t next = 0; next < 0x100; ++next) {
      PageEntry entry = 0;
      if (page->length[first] == 1) entry = page->single[first];
      if (page->length[first] == 2) entry = page->pairs[first << 8 | next];
      const uint32_t utf8 = PackedUtf8(entry);
      if (utf8 != 0) {
        page->high_utf8[(first - 0x80) << 8 | next] = utf8 | uint32_t{page->length[first]} << 28;
      }
    }
  }
}

Transcoding TranscodeToUtf8(const BytePage& page, std::string_view bytes, std::string* out) {
  std::string utf8;
  const Transcoding result = WriteUtf8(page, bytes, &utf8);
  if (result == Transcoding::Ok) out->swap(utf8);
  return result;
}

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
