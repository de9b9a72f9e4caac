// Detection: a few rules of our own around uchardet and ICU's detector.
#include "platform/posix/detect.h"

#include <uchardet.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <string>

namespace sorrel::platform {
namespace {

// Enough text for the detectors to be sure, and a bound on uchardet's cost
// for Latin text, where it never becomes sure.
constexpr size_t kDetectorBytes = size_t{1} << 20;

// Below this share of text-like units, bytes are not taken for UTF-16.
constexpr double kUtf16MinShare = 0.25;

// Where the first byte of 0x80 or more is; the size when there is none.
size_t FirstHighByte(std::string_view bytes) {
  const auto it = std::find_if(bytes.begin(), bytes.end(),
                               [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; });
  return static_cast<size_t>(it - bytes.begin());
}

// An escape that designates a Japanese set: JIS X 0208 (ESC $ @, ESC $ B),
// JIS X 0201 Roman and kana (ESC ( J, ESC ( I), JIS X 0212 (ESC $ ( D).
bool HasIso2022JpEscape(std::string_view bytes) {
  constexpr std::array<std::string_view, 5> kEscapes = {"\x1b$@", "\x1b$B", "\x1b(J", "\x1b(I",
                                                        "\x1b$(D"};
  for (size_t at = bytes.find('\x1b'); at != std::string_view::npos;
       at = bytes.find('\x1b', at + 1)) {
    const std::string_view rest = bytes.substr(at);
    if (std::any_of(kEscapes.begin(), kEscapes.end(),
                    [rest](std::string_view e) { return rest.starts_with(e); }))
      return true;
  }
  return false;
}

// Units that Japanese or ASCII text is made of. CJK ideographs are left out:
// ASCII read as UTF-16 is made of them ("ab" is U+6261). So are U+3020-U+3040,
// which pairs of ASCII digits and "0" produce ("10" is U+3031 little-endian).
bool IsTextUnit(uint32_t unit) {
  return unit == 0x09 || unit == 0x0A || unit == 0x0D || (unit >= 0x20 && unit <= 0x7E) ||
         (unit >= 0x3000 && unit <= 0x301F) || (unit >= 0x3041 && unit <= 0x30FF) ||
         (unit >= 0xFF01 && unit <= 0xFF9F);
}

// The share of text units when bytes are read as UTF-16 in the given order;
// -1 when they are not well-formed UTF-16 without U+0000.
double Utf16TextShare(std::string_view bytes, bool big_endian) {
  if (bytes.empty() || bytes.size() % 2 != 0) return -1;
  const auto unit_at = [bytes, big_endian](size_t i) {
    const uint32_t first = static_cast<unsigned char>(bytes[i]);
    const uint32_t second = static_cast<unsigned char>(bytes[i + 1]);
    return big_endian ? first << 8 | second : second << 8 | first;
  };
  size_t text_units = 0;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    const uint32_t unit = unit_at(i);
    if (unit == 0 || (unit >= 0xDC00 && unit <= 0xDFFF)) return -1;
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      i += 2;
      if (i >= bytes.size() || unit_at(i) < 0xDC00 || unit_at(i) > 0xDFFF) return -1;
    } else if (IsTextUnit(unit)) {
      ++text_units;
    }
  }
  return static_cast<double>(text_units) / static_cast<double>(bytes.size() / 2);
}

// 1200 or 1201 when bytes look like UTF-16 text without a byte-order mark,
// else 0.
uint32_t DetectUtf16(std::string_view bytes) {
  const double little = Utf16TextShare(bytes, false);
  const double big = Utf16TextShare(bytes, true);
  if (std::max(little, big) < kUtf16MinShare) return 0;
  return little >= big ? 1200 : 1201;
}

std::string Uchardet(std::string_view bytes) {
  uchardet_t detector = uchardet_new();
  if (detector == nullptr) return {};
  std::string label;
  if (uchardet_handle_data(detector, bytes.data(), bytes.size()) == 0) {
    uchardet_data_end(detector);
    label = uchardet_get_charset(detector);
  }
  uchardet_delete(detector);
  return label;
}

std::string IcuDetector(std::string_view bytes) {
  UErrorCode error = U_ZERO_ERROR;
  UCharsetDetector* detector = ucsdet_open(&error);
  if (U_FAILURE(error)) return {};
  std::string label;
  ucsdet_setText(detector, bytes.data(), static_cast<int32_t>(bytes.size()), &error);
  const UCharsetMatch* match = ucsdet_detect(detector, &error);
  if (U_SUCCESS(error) && match != nullptr) {
    const char* name = ucsdet_getName(match, &error);
    if (U_SUCCESS(error) && name != nullptr) label = name;
  }
  ucsdet_close(detector);
  return label;
}

// Pages that are not one byte per character; for these uchardet's answer
// stands.
bool IsMultiByte(uint32_t code_page) {
  constexpr std::array<uint32_t, 17> kPages = {932,   936,   949,   950,   1200,  1201,
                                               12000, 12001, 20932, 50220, 50225, 50227,
                                               51932, 51949, 52936, 54936, 65001};
  return std::find(kPages.begin(), kPages.end(), code_page) != kPages.end();
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// The number after prefix in label, or 0.
uint32_t NumberAfter(std::string_view label, std::string_view prefix) {
  if (!label.starts_with(prefix)) return 0;
  uint32_t number = 0;
  const char* end = label.data() + label.size();
  const auto [rest, error] = std::from_chars(label.data() + prefix.size(), end, number);
  return error == std::errc() && rest == end ? number : 0;
}

}  // namespace

uint32_t CodePageForCharset(std::string_view label) {
  struct Label {
    std::string_view name;
    uint32_t code_page;
  };
  // ASCII stands for 932, as 7-bit text does in DetectCodePage.
  constexpr std::array<Label, 32> kLabels = {{
      {"SHIFT_JIS", 932},
      {"ASCII", 932},
      {"EUC-JP", 51932},
      {"ISO-2022-JP", 50220},
      {"UTF-8", 65001},
      {"UTF-16LE", 1200},
      {"UTF-16BE", 1201},
      {"UTF-32LE", 12000},
      {"UTF-32BE", 12001},
      {"GB18030", 54936},
      {"GB2312", 936},
      {"BIG5", 950},
      {"EUC-KR", 51949},
      {"UHC", 949},
      {"ISO-2022-KR", 50225},
      {"ISO-2022-CN", 50227},
      {"HZ-GB-2312", 52936},
      {"KOI8-R", 20866},
      {"KOI8-U", 21866},
      {"IBM852", 852},
      {"IBM855", 855},
      {"IBM862", 862},
      {"IBM866", 866},
      {"MAC-CYRILLIC", 10007},
      {"MAC-CENTRALEUROPE", 10029},
      {"TIS-620", 874},
      {"ISO-8859-11", 874},
      {"ISO-8859-8-I", 38598},
      {"IBM420_LTR", 20420},
      {"IBM420_RTL", 20420},
      {"IBM424_LTR", 20424},
      {"IBM424_RTL", 20424},
  }};
  const std::string upper = Upper(label);
  for (const Label& known : kLabels) {
    if (upper == known.name) return known.code_page;
  }
  if (const uint32_t windows = NumberAfter(upper, "WINDOWS-"); windows != 0) return windows;
  const uint32_t part = NumberAfter(upper, "ISO-8859-");
  if ((part >= 1 && part <= 9) || part == 13 || part == 15) return 28590 + part;
  return 0;
}

uint32_t DetectCodePage(std::string_view bytes) {
  const size_t first_high = FirstHighByte(bytes);
  const bool high = first_high < bytes.size();
  const uint32_t seven_bit = high ? 0 : HasIso2022JpEscape(bytes) ? 50220 : 932;
  // NUL bytes in 7-bit data are the mark of UTF-16 ASCII; without them no
  // UTF-16 reading is tried, so that ASCII full of digits stays ASCII.
  if (!high && bytes.find('\0') == std::string_view::npos) return seven_bit;
  if (const uint32_t utf16 = DetectUtf16(bytes.substr(0, kDetectorBytes)); utf16 != 0) return utf16;
  if (!high) return seven_bit;

  // The detectors start at the first non-ASCII byte, which always begins a
  // character, so that a long ASCII preamble does not hide the text.
  const std::string_view text = bytes.substr(first_high, kDetectorBytes);
  const std::string label = Uchardet(text);
  if (label.empty()) return 932;
  const uint32_t answer = CodePageForCharset(label);
  if (IsMultiByte(answer)) return answer;
  // ICU only chooses among the single-byte pages: its UTF-16 answers for
  // text that failed the UTF-16 reading above are noise.
  const uint32_t icu = CodePageForCharset(IcuDetector(text));
  if (icu != 0 && !IsMultiByte(icu)) return icu;
  return answer != 0 ? answer : 932;
}

}  // namespace sorrel::platform
