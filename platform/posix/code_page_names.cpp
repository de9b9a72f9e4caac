// Windows code-page numbers to ICU and iconv names: a table for the pages
// whose names follow no rule, and the rules for the rest.
#include "platform/posix/code_page_names.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <cstdio>

namespace sorrel::platform {
namespace {

struct CodePageNames {
  uint32_t code_page;
  const char* icu;    // null: ICU has no converter for it
  const char* iconv;  // null: glibc has no charset for it
};

// ICU's own aliases for these numbers are missing or lead to IBM's variants
// (cp1200 opens UTF-16BE, cp949 an IBM table), so they are named here. glibc
// lacks CP51932 and 20932; its EUC-JP is the same JIS X 0208 code set. The
// JIS pages are read with ICU's ISO-2022-JP that takes half-width katakana
// after ESC ( I and between SO and SI; jis_code_pages writes them.
constexpr std::array kNamedPages = {
    CodePageNames{932, kOwn932ConverterName, "CP932"},
    CodePageNames{1200, "UTF-16LE", "UTF-16LE"},
    CodePageNames{1201, "UTF-16BE", "UTF-16BE"},
    CodePageNames{12000, "UTF-32LE", "UTF-32LE"},
    CodePageNames{12001, "UTF-32BE", "UTF-32BE"},
    CodePageNames{65000, "UTF-7", "UTF-7"},
    CodePageNames{65001, "UTF-8", "UTF-8"},
    CodePageNames{20127, "US-ASCII", "ASCII"},
    CodePageNames{28591, "ISO-8859-1", "ISO-8859-1"},
    CodePageNames{51932, "EUC-JP", "EUC-JP"},
    CodePageNames{20932, "EUC-JP", "EUC-JP"},
    CodePageNames{50220, kJisReaderConverterName, "ISO-2022-JP"},
    CodePageNames{50221, kJisReaderConverterName, "ISO-2022-JP"},
    CodePageNames{50222, kJisReaderConverterName, "ISO-2022-JP"},
    CodePageNames{20290, "ibm-290", "IBM290"},
    CodePageNames{50225, "ISO-2022-KR", "ISO-2022-KR"},
    CodePageNames{50227, "ISO-2022-CN", "ISO-2022-CN"},
    CodePageNames{52936, "HZ-GB-2312", nullptr},
    CodePageNames{51936, "EUC-CN", "EUC-CN"},
    CodePageNames{20936, "GB2312", "GB2312"},
    CodePageNames{51949, nullptr, "EUC-KR"},
    CodePageNames{54936, nullptr, "GB18030"},
    CodePageNames{20866, nullptr, "KOI8-R"},
    CodePageNames{21866, nullptr, "KOI8-U"},
    CodePageNames{10000, nullptr, "MACINTOSH"},
    CodePageNames{10007, nullptr, "MAC-CYRILLIC"},
    CodePageNames{10029, nullptr, "MAC-CENTRALEUROPE"},
};

// Windows numbers its EBCDIC pages 20000 above IBM's.
constexpr std::array<uint32_t, 18> kEbcdic20000Pages = {20273, 20277, 20278, 20280, 20284, 20285,
                                                        20290, 20297, 20420, 20423, 20424, 20833,
                                                        20838, 20871, 20880, 20905, 20924, 21025};

// The DOS pages. ICU's ibm-N tables for them move 0x1A, 0x1C and 0x7F
// about (IBM's swap of the PC's graphic and control codes), so that the
// DOS end-of-file mark comes out as U+001C, and its 852 lacks 0xAA; glibc
// maps their control bytes one to one, as DOS and Windows do.
constexpr std::array<uint32_t, 16> kDosPages = {437, 737, 775, 850, 852, 855, 857, 858,
                                                860, 861, 862, 863, 864, 865, 866, 869};

bool IsDosPage(uint32_t code_page) {
  return std::find(kDosPages.begin(), kDosPages.end(), code_page) != kDosPages.end();
}

const CodePageNames* FindNamedPage(uint32_t code_page) {
  const auto it =
      std::find_if(kNamedPages.begin(), kNamedPages.end(),
                   [code_page](const CodePageNames& p) { return p.code_page == code_page; });
  return it == kNamedPages.end() ? nullptr : &*it;
}

bool IsEbcdic20000Page(uint32_t code_page) {
  return std::find(kEbcdic20000Pages.begin(), kEbcdic20000Pages.end(), code_page) !=
         kEbcdic20000Pages.end();
}

// Whether ICU opens the name. Its alias table also names converters whose
// data the installed ICU lacks, so only opening tells. ICU keeps the loaded
// data, so the converter opened next is cheap.
bool IcuOpens(const std::string& name) {
  UErrorCode error = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(name.c_str(), &error);
  ucnv_close(converter);
  return U_SUCCESS(error);
}

std::string Numbered(const char* format, uint32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, format, static_cast<unsigned>(number));
  return name;
}

}  // namespace

std::string IcuConverterName(uint32_t code_page) {
  if (IsDosPage(code_page)) return {};
  if (const CodePageNames* named = FindNamedPage(code_page); named != nullptr && named->icu)
    return named->icu;
  if (const std::string name = Numbered("windows-%u", code_page); IcuOpens(name)) return name;
  if (IsEbcdic20000Page(code_page)) {
    if (const std::string name = Numbered("ibm-%u", code_page - 20000); IcuOpens(name)) return name;
  }
  // The OEM and EBCDIC pages below 1200 carry IBM's numbers (37, 437, 500,
  // 850 ...); the higher ibm-N are IBM's own variants of Windows pages.
  if (code_page < 1200) {
    if (const std::string name = Numbered("ibm-%u", code_page); IcuOpens(name)) return name;
  }
  return {};
}

std::string IconvCharsetName(uint32_t code_page) {
  if (const CodePageNames* named = FindNamedPage(code_page); named != nullptr)
    return named->iconv != nullptr ? named->iconv : "";
  if (code_page >= 28591 && code_page <= 28599) return Numbered("ISO-8859-%u", code_page - 28590);
  if (code_page == 28603 || code_page == 28605) return Numbered("ISO-8859-%u", code_page - 28590);
  if (IsEbcdic20000Page(code_page)) return Numbered("IBM%03u", code_page - 20000);
  if (code_page == 0 || code_page >= 10000) return {};
  return Numbered("CP%03u", code_page);
}

}  // namespace sorrel::platform
