// The characters of an ASCII-compatible code page as tables built from its
// converter, so that steps which only look for line ends, blanks and control
// codes can run on the bytes, and the page can be decoded without the
// converter: a cache of what the converter says, never a second opinion.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sorrel::platform {

// One entry per character code: the UTF-16 unit it decodes to, and flags.
using PageEntry = uint32_t;

struct BytePage {
  // The entry of a code the converter decodes strictly.
  static constexpr PageEntry kValid = 1u << 16;
  // A valid code that decodes to one unit, which is neither a control code,
  // a space nor a surrogate (but for a byte below 0x80, which is itself),
  // and that the converter encodes back to the very same bytes: a step over
  // the text treats it as a step over the bytes treats those bytes, and
  // encoding the text gives them back.
  static constexpr PageEntry kPlain = 1u << 17;
  // A valid code that decodes to more than one unit (the tables hold the
  // first only): decoding it needs the converter.
  static constexpr PageEntry kSeveralUnits = 1u << 18;

  static char16_t Unit(PageEntry entry) { return static_cast<char16_t>(entry & 0xFFFF); }

  uint32_t code_page = 0;
  // UTF-8 has no tables: its layout is Unicode's own, with every well-formed
  // character plain.
  bool utf8 = false;
  // The length of the character a byte starts: 1, 2 or 3, or 0 for a byte
  // that starts none. Every byte below 0x80 is a character of one byte that
  // decodes to itself, every longer character starts with a byte of 0x80 or
  // more, and none of its bytes is a control code or a space: a line end, a
  // tab, a space or a control code in the bytes is always that character and
  // never part of another.
  std::array<uint8_t, 256> length{};
  // The entries of one-byte characters, by byte.
  std::array<PageEntry, 256> single{};
  // The entries of two-byte characters, by lead << 8 | trail (65,536 of
  // them, or none when the page has no such character).
  std::vector<PageEntry> pairs;
  // The entries of three-byte characters, all of which begin with
  // triple_lead, by second << 8 | third.
  uint8_t triple_lead = 0;
  std::vector<PageEntry> triples;

  // The UTF-8 of the character that starts with a byte of 0x80 or more,
  // by (first byte - 0x80) << 8 | the byte after it: its UTF-8 bytes from
  // the lowest byte on, their count in bits 24 to 27, and the count of the
  // character's own bytes in bits 28 to 31; 0 where the character is not
  // valid, is a unit that is a surrogate or several units, or has three
  // bytes. Made by AddUtf8Tables.
  std::vector<uint32_t> high_utf8;

  // The entry of the character of length len at p (len from length[]).
  PageEntry Entry(const unsigned char* p, size_t len) const {
    if (len == 1) return single[p[0]];
    if (len == 2) return pairs[p[0] << 8 | p[1]];
    return triples[p[1] << 8 | p[2]];
  }
};

// The page of UTF-8 (code page 65001), which has no tables.
const BytePage& Utf8BytePage();

// Fills single_utf8 and pairs_utf8 from the entries.
void AddUtf8Tables(BytePage* page);

// What a scan of bytes in a page found.
struct PageScan {
  bool valid = false;  // every byte belongs to a valid character
  bool plain = false;  // and every character is plain
};

// Scans bytes of page: whether they decode strictly, and whether every
// character is plain.
PageScan ScanPage(const BytePage& page, std::string_view bytes);

enum class Transcoding {
  Ok,
  Invalid,    // the bytes do not decode strictly
  NeedsText,  // a character of several units, or a surrogate: only the
              // converter decodes it whole
};

// Decodes bytes of page (one with tables) and encodes the text as UTF-8
// into out, which is replaced on Ok: the very bytes that the converters'
// decoding and encoding give.
Transcoding TranscodeToUtf8(const BytePage& page, std::string_view bytes, std::string* out);

}  // namespace sorrel::platform
