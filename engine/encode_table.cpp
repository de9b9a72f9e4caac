// The code-page choices and the rules that turn a list index into a page.
#include "engine/encode_table.h"

namespace sorrel {

const EncodeRow EncodeTable[kEncodeTableRows] = {
    {u"自動判別 (あまりお勧めしません)", 0},
    {u"SHIFT-JIS", 932},
    {u"UTF-16(Unicode) [LE]", 1200},
    {u"UTF-16(Unicode) [BE]", 1201},
    {u"UTF-8", 65001},
    {u"UTF-7", 65000},
    {u"EUC-JP", 51932},
    {u"JIS [iso-2022-jp]", 50220},
    {u"IBM EBCDIC [Katakana]", 20290},
    {u"その他 (右にコードページを指定)", 0},
    {nullptr, 0},
};

bool IsUtf16CodePage(uint32_t code_page) {
  return code_page == EncodeTable[2].code_page || code_page == EncodeTable[3].code_page;
}

bool IsUtf16BigEndianCodePage(uint32_t code_page) {
  return code_page == EncodeTable[3].code_page;
}

bool IsUtf8CodePage(uint32_t code_page) {
  return code_page == EncodeTable[4].code_page;
}

uint32_t OutputCodePage(const ConversionOptions& options, uint32_t input_code_page) {
  if (options.WriteEncode == kOtherIndex) return options.WriteEncodeOther;
  if (options.WriteEncode > kAutomaticIndex && options.WriteEncode < kOtherIndex) {
    return EncodeTable[options.WriteEncode].code_page;
  }
  return input_code_page;
}

}  // namespace sorrel
