// Detection: a few rules of our own around uchardet and ICU's detector.
#include "platform/posix/detect.h"

#include <uchardet.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <functional>
#include <string>
#include <vector>

#include "platform/posix/japanese_text.h"

namespace sorrel::platform {
namespace {

// Enough text for the detectors to be sure, and a bound on uchardet's cost
// for Latin text, where it never becomes sure.
constexpr size_t kDetectorBytes = size_t{1} << 20;

// How much the Japanese readings are weighed on: the evidence is plain long
// before this, and each reading is a decode.
constexpr size_t kWeighedBytes = size_t{1} << 16;

// How much of the ASCII before the first high byte the detectors see.
constexpr size_t kDetectorLead = 1024;

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

// The single-byte pages of Latin script, among which ICU's detector tells
// better than uchardet (windows-1252 from ISO-8859-1 and its neighbours);
// uchardet's answers for other scripts stand.
bool IsLatinSingleByte(uint32_t code_page) {
  constexpr std::array<uint32_t, 17> kPages = {437,   850,   852,   1250,  1252,  1254,
                                               1257,  1258,  10000, 10029, 28591, 28592,
                                               28593, 28594, 28599, 28603, 28605};
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

// The pages whose readings are weighed as Japanese text, in the order
// that settles a tie.
constexpr uint32_t kUtf8 = 65001;
constexpr uint32_t kEucJp = 51932;
constexpr std::array<uint32_t, 5> kJapanesePages = {kUtf8, 932, kEucJp, 1200, 1201};
constexpr double kSequenceWeight = 2;

bool IsWeighed(uint32_t code_page) {
  return std::find(kJapanesePages.begin(), kJapanesePages.end(), code_page) != kJapanesePages.end();
}

bool IsUtf16(uint32_t code_page) {
  return code_page == 1200 || code_page == 1201;
}

bool IsUnicode(uint32_t code_page) {
  return IsUtf16(code_page) || code_page == kUtf8 || code_page == 12000 || code_page == 12001;
}

// The part of bytes that a reading in code_page is tried on: all of it, or
// its first kWeighedBytes cut where no character of the page is split. In
// UTF-16 that is between units, but not between the halves of a pair; in
// the other pages before a byte below 0x40, which is never inside a
// character of Shift-JIS, EUC-JP or UTF-8.
std::string_view Window(std::string_view bytes, uint32_t code_page) {
  if (bytes.size() <= kWeighedBytes) return bytes;
  size_t end = kWeighedBytes;
  if (IsUtf16(code_page)) {
    const size_t high_byte = code_page == 1201 ? end - 2 : end - 1;
    const auto lead = static_cast<unsigned char>(bytes[high_byte]);
    if (lead >= 0xD8 && lead <= 0xDB) end -= 2;
    return bytes.substr(0, end);
  }
  while (end > 0 && static_cast<unsigned char>(bytes[end]) >= 0x40) --end;
  return bytes.substr(0, end);
}

// What the byte structure of code_page tells for a reading of text, on top
// of the characters it reads as: well-formed UTF-8 sequences, and the
// half-width katakana of EUC-JP after their 0x8E, are unlikely in bytes of
// other pages.
double StructureWeight(uint32_t code_page, std::u16string_view text,
                       const JapaneseEvidence& evidence) {
  if (code_page == kUtf8) return kSequenceWeight * static_cast<double>(evidence.characters);
  if (code_page != kEucJp) return 0;
  const auto kana = std::count_if(text.begin(), text.end(),
                                  [](char16_t unit) { return unit >= 0xFF61 && unit <= 0xFF9F; });
  return kSequenceWeight * static_cast<double>(kana);
}

struct Reading {
  uint32_t code_page;
  JapaneseEvidence evidence;
  double weight;  // the evidence's, and that of the page's own structure
  bool whole;     // the reading was tried on all the bytes it stands for
};

// Whether a reading is UTF-8 of multi-byte sequences that read as letters
// and symbols, not as controls or private use. Bytes of other pages are
// seldom well-formed UTF-8, while every two-byte sequence of UTF-8 reads in
// Shift-JIS as a pair of half-width katakana and in EUC-JP as a kanji: a
// letter such as "\u00E9" is ﾃｩ. So such a reading goes before those of
// Shift-JIS and EUC-JP unless they are mostly kana.
bool IsPlainUtf8(const Reading& reading) {
  return reading.code_page == kUtf8 && reading.evidence.characters > 0 && reading.weight >= 0;
}

// Whether at least half the characters of a reading are full-width kana and
// punctuation. Misread UTF-8 makes a few (Cyrillic "\u0442\u0430" is D1 82
// D0 B0, a hiragana in Shift-JIS between two half-width katakana), but
// not as many as Japanese text has.
bool IsMostlyKana(const JapaneseEvidence& evidence) {
  return evidence.kana > 0 && 2 * evidence.kana >= evidence.characters;
}

// Whether a reading is Japanese enough to go before the answer of uchardet,
// which knows Japanese less well in short texts: it must hold characters
// that only Japanese text is made of, and more so against an answer of
// uchardet for another language. When uchardet itself names a Japanese
// page, any reading with more for it than against it will do.
bool LooksJapanese(const Reading& reading, uint32_t uchardet) {
  if (IsWeighed(uchardet)) return reading.weight > 0;
  const double least_mean = uchardet == 0 ? 1.0 : 1.25;
  return reading.evidence.japanese > 0 &&
         reading.weight >= least_mean * static_cast<double>(reading.evidence.characters);
}

using Decodes = std::function<bool(uint32_t code_page, std::string_view bytes)>;

// The Japanese readings of bytes that decode, best first. Each is tried on
// a window: for the pages of one byte at a time from the first byte of 0x80
// or more (first_high), which always begins a character, so that a long
// ASCII preamble does not hide the text; for UTF-16 from the start. Bytes
// before the first high byte are ASCII, which these pages all read alike.
// decodes leaves its text in *decoded.
std::vector<Reading> WeighReadings(std::string_view bytes, size_t first_high,
                                   const Decodes& decodes, const std::u16string* decoded) {
  std::vector<Reading> readings;
  for (const uint32_t code_page : kJapanesePages) {
    const std::string_view whole = IsUtf16(code_page) ? bytes : bytes.substr(first_high);
    const std::string_view part = Window(whole, code_page);
    if (!decodes(code_page, part)) continue;
    const JapaneseEvidence evidence = WeighJapanese(*decoded);
    readings.push_back({code_page, evidence,
                        evidence.weight + StructureWeight(code_page, *decoded, evidence),
                        part.size() == whole.size()});
  }
  std::stable_sort(readings.begin(), readings.end(),
                   [](const Reading& a, const Reading& b) { return a.weight > b.weight; });
  const auto utf8 = std::find_if(readings.begin(), readings.end(), IsPlainUtf8);
  if (utf8 != readings.end()) {
    const double utf8_weight = utf8->weight;
    std::stable_partition(readings.begin(), readings.end(), [utf8_weight](const Reading& r) {
      return r.code_page == kUtf8 ||
             ((IsMostlyKana(r.evidence) || IsUtf16(r.code_page)) && r.weight > utf8_weight);
    });
  }
  return readings;
}

// The answers in the order they are to be tried: the Japanese readings
// first when the best holds what Japanese text is made of, or UTF-8 first
// when the best is a plain UTF-8 reading; then uchardet's
// answer, after ICU's where uchardet names a Latin page or none that we
// know; then the other readings with more for them than against them. The
// detectors see a little of the ASCII before the first high byte, for the
// words of a short text. May hold 0 and repeats.
std::vector<uint32_t> RankAnswers(std::string_view bytes, size_t first_high,
                                  const std::vector<Reading>& readings) {
  const std::string_view text =
      bytes.substr(first_high - std::min(first_high, kDetectorLead), kDetectorBytes);
  // Its "ASCII" for bytes of 0x80 and more is no answer.
  const std::string label = Uchardet(text);
  const uint32_t uchardet = label == "ASCII" ? 0 : CodePageForCharset(label);
  std::vector<uint32_t> ranked;
  if (!readings.empty() && LooksJapanese(readings.front(), uchardet)) {
    for (const Reading& reading : readings) ranked.push_back(reading.code_page);
  } else if (!readings.empty() && IsPlainUtf8(readings.front())) {
    ranked.push_back(kUtf8);
  }
  if (uchardet == 0 || IsLatinSingleByte(uchardet)) {
    // Among the single-byte pages: ICU's UTF-16 and Japanese answers for
    // bytes whose readings were weighed already are noise.
    const uint32_t icu = CodePageForCharset(IcuDetector(text));
    if (!IsWeighed(icu) && !IsUnicode(icu)) ranked.push_back(icu);
  }
  ranked.push_back(uchardet);
  for (const Reading& reading : readings) {
    if (reading.weight > 0) ranked.push_back(reading.code_page);
  }
  return ranked;
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
      {"ISO-8859-8-I", 28598},  // the order of the text is no matter to decoding
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

uint32_t DetectCodePage(std::string_view bytes, CodePageConverter& converter) {
  std::u16string scratch;
  const Decodes decodes = [&converter, &scratch](uint32_t code_page, std::string_view part) {
    return converter.Decode(code_page, part, &scratch);
  };
  const size_t first_high = FirstHighByte(bytes);
  const bool high = first_high < bytes.size();
  const bool escaped = !high && HasIso2022JpEscape(bytes);
  const uint32_t seven_bit = escaped && decodes(50220, bytes) ? 50220 : 932;
  // NUL bytes are the mark of UTF-16 with ASCII in it; without them UTF-16
  // is only weighed below, among the Japanese readings, so that ASCII full
  // of digits stays ASCII.
  if (bytes.find('\0') != std::string_view::npos) {
    const uint32_t utf16 = DetectUtf16(bytes.substr(0, kDetectorBytes));
    if (utf16 != 0 && decodes(utf16, bytes)) return utf16;
  }
  if (!high) return seven_bit;

  const std::vector<Reading> readings = WeighReadings(bytes, first_high, decodes, &scratch);
  const std::vector<uint32_t> ranked = RankAnswers(bytes, first_high, readings);
  // The first answer that the whole of the bytes decode in.
  for (const uint32_t code_page : ranked) {
    const auto reading =
        std::find_if(readings.begin(), readings.end(),
                     [code_page](const Reading& r) { return r.code_page == code_page; });
    if (reading != readings.end()) {
      if (reading->whole ||
          decodes(code_page, IsUtf16(code_page) ? bytes : bytes.substr(first_high)))
        return code_page;
    } else if (code_page != 0 && !IsWeighed(code_page) && decodes(code_page, bytes)) {
      return code_page;
    }
  }
  return 932;
}

}  // namespace sorrel::platform
