#include <gtest/gtest.h>
#include <iconv.h>
#include <unicode/ucnv.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <sstream>
#include <vector>

#include "base/utf.h"
#include "platform/posix/code_page_names.h"
#include "platform/posix/iconv_conversion.h"
#include "platform/posix/icu_code_pages.h"
#include "platform/program.h"

namespace sorrel::platform {
namespace {

std::string ReadDataFile(const char* name) {
  std::ifstream in(std::string(SORREL_DATA_SOURCE_DIR) + "/" + name, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// glibc's own conversion from UTF-8, the independent oracle.
std::string IconvFromUtf8(const char* charset, const std::string& text) {
  iconv_t cd = iconv_open(charset, "UTF-8");
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  size_t in_left = text.size();
  char* target = out.data();
  size_t target_left = out.size();
  EXPECT_NE(iconv(cd, &in, &in_left, &target, &target_left), static_cast<size_t>(-1)) << charset;
  iconv(cd, nullptr, nullptr, &target, &target_left);
  iconv_close(cd);
  out.resize(out.size() - target_left);
  return out;
}

// Microsoft's 932 table: code (one byte, or lead * 256 + trail) -> unit for
// decoding, unit -> code for encoding with best fit.
struct Table932 {
  std::map<uint32_t, uint32_t> decode;
  std::map<uint32_t, uint32_t> encode;
};

// Reads each table's counted records, a DBCSTABLE's under the lead byte its
// comment names. A record for U+30FB other than 81 45 only marks a lead byte
// without codes.
Table932 ReadTable932() {
  Table932 table;
  std::istringstream in(ReadDataFile("bestfit932.txt"));
  std::string section;
  uint32_t lead = 0, remaining = 0;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string first, second;
    fields >> first >> second;
    if (first == "MBTABLE" || first == "WCTABLE" || first == "DBCSTABLE") {
      section = first;
      remaining = std::stoul(second);
      if (first == "DBCSTABLE") lead = std::stoul(line.substr(line.find("0x")), nullptr, 16);
    }
    if (remaining == 0 || first.rfind("0x", 0) != 0) continue;
    --remaining;
    const uint32_t key = std::stoul(first, nullptr, 16), value = std::stoul(second, nullptr, 16);
    if (section == "MBTABLE") table.decode[key] = value;
    if (section == "DBCSTABLE" && (value != 0x30FB || lead * 256 + key == 0x8145))
      table.decode[lead * 256 + key] = value;
    if (section == "WCTABLE") table.encode[key] = value;
  }
  return table;
}

std::string Bytes932(uint32_t code) {
  return code < 0x100 ? std::string(1, static_cast<char>(code))
                      : std::string{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

class CodePageServiceTest : public testing::Test {
 protected:
  void SetUp() override {
    CreateStatus status = CreateStatus::Other;
    converter_ = service_.Create(&status);
    ASSERT_NE(converter_, nullptr);
    ASSERT_EQ(status, CreateStatus::Ok);
  }
  std::string Encode(uint32_t code_page, std::u16string_view text) {
    std::string out;
    EXPECT_EQ(converter_->Encode(code_page, text, &out, &losses_), EncodeStatus::Ok) << code_page;
    return out;
  }
  std::u16string Decode(uint32_t code_page, std::string_view bytes) {
    std::u16string out;
    EXPECT_TRUE(converter_->Decode(code_page, bytes, &out)) << code_page;
    return out;
  }
  IcuCodePageService service_{ProgramFolder()};
  std::unique_ptr<CodePageConverter> converter_;
  EncodeLosses losses_;  // of the last Encode
};

TEST(CodePageNamesTest, AvoidsIcuAliasesThatOpenOtherTables) {
  const auto canonical = [](uint32_t code_page) {
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(IcuConverterName(code_page).c_str(), &error);
    std::string name = U_SUCCESS(error) ? ucnv_getName(converter, &error) : "";
    ucnv_close(converter);
    return name;
  };
  EXPECT_EQ(IcuConverterName(932), kOwn932ConverterName);
  EXPECT_EQ(canonical(1200), "UTF-16LE");  // cp1200 would open UTF-16BE
  EXPECT_EQ(canonical(949), "windows-949-2000");
  EXPECT_EQ(canonical(20290), "ibm-290_P100-1995");
  EXPECT_EQ(canonical(20273), "ibm-273_P100-1995");
  EXPECT_EQ(canonical(37), "ibm-37_P100-1995");
  EXPECT_EQ(IcuConverterName(1361), "");
  EXPECT_EQ(IconvCharsetName(51932), "EUC-JP");
  EXPECT_EQ(IconvCharsetName(20273), "IBM273");
  EXPECT_EQ(IconvCharsetName(37), "CP037");
  EXPECT_EQ(IconvCharsetName(52936), "");
}

TEST(CodePageServiceCreateTest, FailsWithoutOur932Converter) {
  IcuCodePageService service("/nonexistent");
  CreateStatus status = CreateStatus::Ok;
  EXPECT_EQ(service.Create(&status), nullptr);
  EXPECT_EQ(status, CreateStatus::ClassNotRegistered);
}

TEST_F(CodePageServiceTest, Own932DecodesEveryCodeAsMicrosoftsTable) {
  const Table932 table = ReadTable932();
  ASSERT_EQ(table.decode.size(), 9800u);
  const auto is_lead = [](uint32_t byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
  };
  for (uint32_t code = 0; code < 0x10000; ++code) {
    if (code < 0x100 ? is_lead(code) : !is_lead(code >> 8)) continue;
    std::u16string out;
    const auto it = table.decode.find(code);
    ASSERT_EQ(converter_->Decode(932, Bytes932(code), &out), it != table.decode.end()) << code;
    if (it != table.decode.end()) {
      ASSERT_EQ(out, std::u16string(1, it->second)) << code;
    }
  }
  std::u16string out;
  ASSERT_TRUE(converter_->Decode(932, "\x1A\x1C\x7F\x80\xA0\xFD\xFE\xFF", &out));
  EXPECT_EQ(out, u"\x001A\x001C\x007F\x0080\xF8F0\xF8F1\xF8F2\xF8F3");
}

TEST_F(CodePageServiceTest, Own932EncodesRoundTripsAndNoBestFit) {
  const Table932 table = ReadTable932();
  for (const auto& [unit, code] : table.encode) {
    const auto back = table.decode.find(code);
    const bool round_trip = back != table.decode.end() && back->second == unit;
    ASSERT_EQ(Encode(932, std::u16string(1, unit)), round_trip ? Bytes932(code) : "?") << unit;
  }
}

TEST_F(CodePageServiceTest, DoubleByteUnitsAre932WithBestFit) {
  const Table932 table = ReadTable932();
  const std::bitset<65536>& units = service_.DoubleByteUnits932();
  EXPECT_EQ(units.count(), 9216u);
  for (uint32_t unit = 0; unit < 0x10000; ++unit) {
    const auto it = table.encode.find(unit);
    ASSERT_EQ(units[unit], it != table.encode.end() && it->second > 0xFF) << unit;
  }
  EXPECT_TRUE(units[0xA2]);  // two bytes by best fit only
  EXPECT_EQ(Encode(932, u"\u00A2"), "?");
  EXPECT_EQ(&units, &service_.DoubleByteUnits932());
}

TEST_F(CodePageServiceTest, DecodingIsStrict) {
  const std::pair<uint32_t, std::string_view> bad[] = {
      {932, "\x82\x20"},
      {932, "AB\x82"},
      {932, "\x85\x40"},
      {51932, "A\xA4"},
      {51932, "\xA4\x20"},
      {50220, "A\x82\xA0"},
      {50220, "\x1B$B\x24"},
      {65001, "\xC3\x28"},
      {65001, "\xED\xA0\x80"},
      {65001, "A\xE3\x81"},
      {1200, {"A\0B", 3}},
      {1200,
       {"\0\xD8"
        "A\0",
        4}},
      {1201, {"\0A\xD8\0", 4}},
      {20290, "\x57"},
      {1361, "A\x84"},  // through iconv: a lead byte at the end
      {20880, "\x41"},  // through iconv: unassigned
  };
  for (const auto& [code_page, bytes] : bad) {
    std::u16string out = u"old";
    EXPECT_FALSE(converter_->Decode(code_page, bytes, &out)) << code_page << " " << bytes;
    EXPECT_EQ(out, u"");
  }
}

TEST_F(CodePageServiceTest, EveryPageTheWriterWritesIsRead) {
  // The writer encodes through the service, or through the system
  // conversion where the service cannot.
  IconvSystemConversion system;
  int through_iconv = 0;
  for (uint32_t code_page = 1; code_page <= 65535; ++code_page) {
    std::string bytes;
    EncodeLosses losses;
    bool used_default = false;
    int error = 0;
    if (converter_->Encode(code_page, u"Abc 123", &bytes, &losses) != EncodeStatus::Ok) {
      if (!system.Encode(code_page, u"Abc 123", &bytes, &used_default, &error)) continue;
      ++through_iconv;
    }
    std::u16string text;
    ASSERT_TRUE(converter_->Decode(code_page, bytes, &text)) << code_page;
    if (!used_default && losses.replaced == 0) {
      EXPECT_EQ(text, u"Abc 123") << code_page;
    }
  }
  EXPECT_GT(through_iconv, 20);
  EXPECT_EQ(Decode(1361, "\xD9\x31"), u"\u3000");    // Johab
  EXPECT_EQ(Decode(20880, "\xC1\xB1"), u"A\u044B");  // EBCDIC Cyrillic
}

TEST_F(CodePageServiceTest, DosPagesKeepEveryByteThroughARoundTrip) {
  // The controls, the end-of-file mark 0x1A among them, are themselves.
  IconvSystemConversion system;
  for (const uint32_t code_page : {437u, 850u, 852u, 866u}) {
    std::string bytes;
    for (int byte = 1; byte < 256; ++byte) bytes.push_back(static_cast<char>(byte));
    const std::u16string text = Decode(code_page, bytes);
    ASSERT_EQ(text.size(), bytes.size()) << code_page;
    for (char16_t unit = 1; unit < 0x80; ++unit) EXPECT_EQ(text[unit - 1], unit) << code_page;
    std::string back;
    bool used_default = true;
    int error = 0;
    ASSERT_TRUE(system.Encode(code_page, text, &back, &used_default, &error)) << code_page;
    EXPECT_FALSE(used_default) << code_page;
    EXPECT_EQ(back, bytes) << code_page;
  }
}

TEST_F(CodePageServiceTest, Utf7TakesEveryAsciiByteOutsideAShiftAsItself) {
  // Python's decoder and Windows' read these as themselves; so do we.
  const std::pair<std::string_view, std::u16string_view> good[] = {
      {"a~b\\c", u"a~b\\c"},
      {"C:\\tmp\\+ZeVnLIqe-.txt", u"C:\\tmp\\\u65E5\u672C\u8A9E.txt"},
      {"+AGE~x", u"a~x"},  // "~" ends the shift as any non-base64 byte does
      {"\x0C\x1A\x7F", u"\x0C\x1A\x7F"},
      {"~", u"~"},
  };
  for (const auto& [bytes, text] : good) {
    std::u16string out;
    EXPECT_TRUE(converter_->Decode(65000, bytes, &out)) << bytes;
    EXPECT_EQ(out, text) << bytes;
    EXPECT_EQ(Decode(65000, Encode(65000, text)), text) << bytes;
  }
  for (const std::string_view bytes : {"+AGEx~", "~\x80", "+AGEx-\\"}) {
    std::u16string out;
    EXPECT_FALSE(converter_->Decode(65000, bytes, &out)) << bytes;
  }
}

TEST_F(CodePageServiceTest, EncodingPutsQuestionMarksWithoutBestFit) {
  const std::u16string text = u"A\u00A5\u301C\u00E9\U0001F600\xD800\u3042";
  EXPECT_EQ(Encode(932, text), "A?????\x82\xA0");
  EXPECT_EQ(losses_.replaced, 5u);                                      // the pair is one character
  EXPECT_EQ(Encode(51932, text), "A??\x8F\xAB\xB1??\xA4\xA2");          // JIS X 0212 for U+00E9
  EXPECT_EQ(Encode(50220, text), "A\x1B(J\\????\x1B$B\x24\x22\x1B(B");  // JIS X 0201 yen
  // ICU's own substitution would drop these default-ignorable units.
  EXPECT_EQ(Encode(932, u"\u00AD\u200B\uFEFF"), "???");
  EXPECT_EQ(Encode(20290, u"A\u3042"), "\xC1\x6F");
  EXPECT_EQ(Encode(1252, u"\u20AC\uFF21"), "\x80?");
  EXPECT_EQ(Encode(65001, u"\xD800\u3042"), "?\xE3\x81\x82");
  EXPECT_EQ(losses_.replaced, 1u);
  EXPECT_EQ(Encode(1200, u"\xDC00"), std::string("\0\xDC", 2));  // UTF-16 keeps every unit
  EXPECT_EQ(losses_.replaced, 0u);
  std::string out = "old";
  EXPECT_EQ(converter_->Encode(1361, u"A", &out, nullptr), EncodeStatus::CannotConvert);
  EXPECT_EQ(out, "");
}

TEST_F(CodePageServiceTest, JisPagesWriteHalfWidthKanaEachInItsOwnWay) {
  const std::u16string kana = u"ｱｲｳ ｶﾀｶﾅ";
  EXPECT_EQ(Encode(50221, kana), "\x1B(I123\x1B(B \x1B(I6@6E\x1B(B");
  EXPECT_EQ(Encode(50222, kana),
            "\x0E"
            "123\x0F \x0E"
            "6@6E\x0F");
  EXPECT_EQ(losses_.replaced + losses_.widened, 0u);
  EXPECT_EQ(Encode(50220, kana), "\x1B$B%\"%$%&\x1B(B \x1B$B%+%?%+%J\x1B(B");
  EXPECT_EQ(losses_.widened, 7u);
  // Kana beside kanji and beside a character the page lacks.
  EXPECT_EQ(Encode(50221, u"漢ｱ€\n"), "\x1B$B4A\x1B(I1\x1B(B?\n");
  EXPECT_EQ(Encode(50222, u"漢ｱ€\n"),
            "\x1B$B4A\x1B(B\x0E"
            "1\x0F?\n");
  EXPECT_EQ(losses_.replaced, 1u);
  for (const uint32_t code_page : {50220u, 50221u, 50222u}) {
    EXPECT_EQ(Decode(code_page,
                     "\x0E"
                     "123\x0F"
                     "abc"),
              u"ｱｲｳabc");
    EXPECT_EQ(Decode(code_page,
                     "\x1B$B4A\x0E"
                     "1\x0F"
                     "4A\x1B(B"),
              u"漢ｱ漢");
    EXPECT_EQ(Decode(code_page, "\x1B(I123\x1B(Babc"), u"ｱｲｳabc");
  }
}

// ICU's plain ISO-2022-JP with its fallbacks: the full-width forms of the
// half-width katakana, an oracle for 50220.
std::string IcuIso2022JpWithFallbacks(std::u16string_view text) {
  UErrorCode error = U_ZERO_ERROR;
  UConverter* converter = ucnv_open("ISO-2022-JP", &error);
  ucnv_setFallback(converter, true);
  std::string out(64, '\0');
  const int32_t length = ucnv_fromUChars(converter, out.data(), static_cast<int32_t>(out.size()),
                                         text.data(), static_cast<int32_t>(text.size()), &error);
  ucnv_close(converter);
  out.resize(U_SUCCESS(error) ? static_cast<size_t>(length) : 0);
  return out;
}

TEST_F(CodePageServiceTest, JisPagesRoundTripShiftJisOfJisX0208AndX0201) {
  const Table932 table = ReadTable932();
  int tried = 0;
  for (const auto& [code, unit] : table.decode) {
    const uint32_t lead = code >> 8;
    const bool x0201 =
        code < 0x80 ? code != 0x0E && code != 0x0F && code != 0x1B : code >= 0xA1 && code <= 0xDF;
    const bool x0208 = (lead >= 0x81 && lead <= 0x84) || (lead >= 0x88 && lead <= 0x9F) ||
                       (lead >= 0xE0 && lead <= 0xEA);  // rows 1-8 and 16-84
    if (!x0201 && !x0208) continue;
    ++tried;
    const std::string sjis = Bytes932(code);
    const std::u16string text = Decode(932, sjis);
    for (const uint32_t code_page : {50221u, 50222u}) {
      const std::string jis = Encode(code_page, text);
      ASSERT_EQ(losses_.replaced + losses_.widened, 0u) << code << " " << code_page;
      ASSERT_EQ(Decode(code_page, jis), text) << code << " " << code_page;
      ASSERT_EQ(Encode(932, Decode(code_page, jis)), sjis) << code << " " << code_page;
    }
    const bool kana = code >= 0xA1 && code <= 0xDF;
    const std::string jis = Encode(50220, text);
    ASSERT_EQ(losses_.widened, kana ? 1u : 0u) << code;
    if (kana) {
      ASSERT_EQ(jis, IcuIso2022JpWithFallbacks(text)) << code;
    } else {
      ASSERT_EQ(Encode(932, Decode(50220, jis)), sjis) << code;
    }
  }
  EXPECT_GT(tried, 7000);
}

// Every character that code_page reads is written back as itself, or the
// encoding reports what it changed.
class RepertoireCheck {
 public:
  RepertoireCheck(CodePageConverter* converter, uint32_t code_page)
      : converter_(converter), code_page_(code_page) {}
  void Bytes(std::string_view bytes) {
    std::u16string text;
    if (converter_->Decode(code_page_, bytes, &text) && !text.empty()) Text(text);
  }
  void Text(const std::u16string& text) {
    ++characters;
    std::string bytes;
    EncodeLosses losses;
    ASSERT_EQ(converter_->Encode(code_page_, text, &bytes, &losses), EncodeStatus::Ok);
    std::u16string back;
    if (losses.replaced + losses.widened > 0) {
      ++reported;
    } else {
      ASSERT_TRUE(converter_->Decode(code_page_, bytes, &back) && back == text)
          << code_page_ << " " << testing::PrintToString(text) << " came back as "
          << testing::PrintToString(back);
    }
  }
  int characters = 0;
  int reported = 0;

 private:
  CodePageConverter* converter_;
  uint32_t code_page_;
};

TEST_F(CodePageServiceTest, EveryPageOfTheListsKeepsOrReportsItsWholeRepertoire) {
  // The Unicode pages: every scalar value of the first plane and a sample
  // of the others.
  for (const uint32_t code_page : {1200u, 1201u, 65001u, 65000u}) {
    RepertoireCheck check(converter_.get(), code_page);
    for (char32_t c = 0; c <= 0x10FFFF; c += c < 0x10000 ? 1 : 97) {
      if (c >= 0xD800 && c <= 0xDFFF) continue;
      std::u16string text;
      if (c < 0x10000) {
        text.push_back(static_cast<char16_t>(c));
      } else {
        text = {static_cast<char16_t>(0xD7C0 + (c >> 10)),
                static_cast<char16_t>(0xDC00 | (c & 0x3FF))};
      }
      check.Text(text);
    }
    EXPECT_EQ(check.reported, 0) << code_page;
  }
  // The pages of one and two bytes: every byte and pair; EUC-JP's three
  // bytes of JIS X 0212 too.
  for (const uint32_t code_page : {932u, 51932u, 20290u}) {
    RepertoireCheck check(converter_.get(), code_page);
    for (uint32_t first = 0; first < 0x100; ++first) {
      check.Bytes(std::string(1, static_cast<char>(first)));
      for (uint32_t second = 0x21; second < 0x100; ++second) {
        const std::string pair{static_cast<char>(first), static_cast<char>(second)};
        check.Bytes(pair);
        if (code_page == 51932 && first == 0x8F) {
          for (uint32_t third = 0xA1; third < 0xFF; ++third) check.Bytes(pair + char(third));
        }
      }
    }
    EXPECT_GT(check.characters, code_page == 20290 ? 150 : 7000) << code_page;
  }
  // JIS: every character of every set that it reads; half-width katakana
  // come back in full width and the sets of other languages as "?", both
  // reported.
  RepertoireCheck jis(converter_.get(), 50220);
  for (const char* designation :
       {"\x1B(B", "\x1B(J", "\x1B(I", "\x1B$@", "\x1B$B", "\x1B$A", "\x1B$(C", "\x1B$(D"}) {
    for (char first = 0x21; first < 0x7F; ++first) {
      jis.Bytes(std::string(designation) + first);
      for (char second = 0x21; second < 0x7F; ++second) {
        jis.Bytes(std::string(designation) + first + second);
      }
    }
  }
  EXPECT_GT(jis.reported, 63);
  EXPECT_GT(jis.characters - jis.reported, 7000);
}

TEST_F(CodePageServiceTest, RoundTripsJapaneseTextAsIconvDoes) {
  const std::string utf8 = ReadDataFile("japanese-prose.txt");
  std::u16string text;
  ASSERT_TRUE(Utf8ToUtf16Strict(utf8, &text));
  const std::pair<uint32_t, const char*> pages[] = {{932, "CP932"},         {51932, "EUC-JP"},
                                                    {50220, "ISO-2022-JP"}, {65001, "UTF-8"},
                                                    {1200, "UTF-16LE"},     {1201, "UTF-16BE"}};
  for (const auto& [code_page, charset] : pages) {
    const std::string bytes = IconvFromUtf8(charset, utf8);
    std::u16string decoded;
    EXPECT_TRUE(converter_->Decode(code_page, bytes, &decoded)) << charset;
    EXPECT_EQ(decoded, text) << charset;
    EXPECT_EQ(Encode(code_page, text), bytes) << charset;
  }
}

// ICU's own UTF-8 converter with the settings the service gives every other
// page, which the service's faster UTF-8 path must match: decoding stops at
// the first ill-formed sequence, encoding puts "?" for a lone surrogate.
bool Utf8ConverterDecodes(const std::string& bytes, std::u16string* out) {
  UErrorCode error = U_ZERO_ERROR;
  UConverter* converter = ucnv_open("UTF-8", &error);
  ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  out->assign(bytes.size() + 1, u'\0');
  const int32_t length = ucnv_toUChars(converter, out->data(), static_cast<int32_t>(out->size()),
                                       bytes.data(), static_cast<int32_t>(bytes.size()), &error);
  ucnv_close(converter);
  out->resize(U_SUCCESS(error) ? static_cast<size_t>(length) : 0);
  return U_SUCCESS(error);
}

std::string Utf8ConverterEncodes(const std::u16string& text) {
  UErrorCode error = U_ZERO_ERROR;
  UConverter* converter = ucnv_open("UTF-8", &error);
  ucnv_setSubstString(converter, u"?", 1, &error);
  std::string out(text.size() * 3 + 1, '\0');
  const int32_t length = ucnv_fromUChars(converter, out.data(), static_cast<int32_t>(out.size()),
                                         text.data(), static_cast<int32_t>(text.size()), &error);
  ucnv_close(converter);
  EXPECT_TRUE(U_SUCCESS(error));
  out.resize(static_cast<size_t>(length));
  return out;
}

TEST_F(CodePageServiceTest, Utf8DecodesAsIcusConverter) {
  // Sequences at and beyond every edge of well-formed UTF-8, then random
  // strings of them.
  const std::vector<std::string> pieces = {
      "A", "\x7F", std::string(1, '\0'), "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xEF\xBF\xBF",
      "\xEF\xBB\xBF", "\xED\x9F\xBF", "\xEE\x80\x80", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF",
      "\xE3\x81\x82", "\r\n",
      // ill-formed: overlong, surrogates, beyond U+10FFFF, stray and cut
      "\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x80\x80\x80",
      "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
      "\xF8\x88\x80\x80\x80", "\xFE", "\xFF", "\x80", "\xBF", "\xE3\x81", "\xF0\x9F\x98", "\xC3"};
  std::vector<std::string> inputs(pieces);
  std::mt19937 random(932);
  for (int i = 0; i < 5000; ++i) {
    std::string bytes;
    const size_t count = random() % 6;
    for (size_t k = 0; k < count; ++k) bytes += pieces[random() % 14];  // well-formed ones
    if (random() % 2 == 0)
      bytes.insert(random() % (bytes.size() + 1), pieces[random() % pieces.size()]);
    inputs.push_back(bytes);
  }
  int accepted = 0;
  for (const std::string& bytes : inputs) {
    std::u16string expected;
    std::u16string out = u"old";
    const bool ok = Utf8ConverterDecodes(bytes, &expected);
    ASSERT_EQ(converter_->Decode(65001, bytes, &out), ok) << testing::PrintToString(bytes);
    ASSERT_EQ(IsUtf8(bytes), ok) << testing::PrintToString(bytes);
    ASSERT_EQ(out, expected) << testing::PrintToString(bytes);
    accepted += ok;
  }
  // Both kinds were met often.
  EXPECT_GT(accepted, 1000);
  EXPECT_LT(accepted, 4000);
}

// The converter the service uses for code_page, from its initial state, with
// the reader's strict callback; ICU itself, not the tables.
class RawConverter {
 public:
  explicit RawConverter(uint32_t code_page) {
    UErrorCode error = U_ZERO_ERROR;
    converter_ = code_page == 932 ? ucnv_openPackage((ProgramFolder() + "/").c_str(),
                                                     kOwn932ConverterName, &error)
                                  : ucnv_open(IcuConverterName(code_page).c_str(), &error);
    ucnv_setToUCallBack(converter_, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    ucnv_setFromUCallBack(converter_, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    EXPECT_TRUE(U_SUCCESS(error)) << code_page;
  }
  ~RawConverter() { ucnv_close(converter_); }
  bool Decode(std::string_view bytes, std::u16string* out) {
    UErrorCode error = U_ZERO_ERROR;
    out->assign(bytes.size() * 2 + 1, u'\0');
    const int32_t length = ucnv_toUChars(converter_, out->data(), static_cast<int32_t>(out->size()),
                                         bytes.data(), static_cast<int32_t>(bytes.size()), &error);
    out->resize(U_SUCCESS(error) ? static_cast<size_t>(length) : 0);
    return U_SUCCESS(error);
  }
  std::string Encode(std::u16string_view text) {
    UErrorCode error = U_ZERO_ERROR;
    std::string out(text.size() * 4 + 1, '\0');
    const int32_t length = ucnv_fromUChars(converter_, out.data(), static_cast<int32_t>(out.size()),
                                           text.data(), static_cast<int32_t>(text.size()), &error);
    out.resize(U_SUCCESS(error) ? static_cast<size_t>(length) : 0);
    return out;
  }

 private:
  UConverter* converter_ = nullptr;
};

// Every code of one, two and (after a lead of three-byte characters) three
// bytes, and random runs of valid and broken ones, decode through the tables
// exactly as through the converter, and plain ones encode back to their
// bytes. The pages without tables are the ones that cannot have
// them.
TEST_F(CodePageServiceTest, TablesDecodeEveryCodeAsTheirConverters) {
  for (const uint32_t code_page : {932u, 51932u, 1252u, 936u, 28591u}) {
    const BytePage* page = service_.BytePageFor(code_page);
    ASSERT_NE(page, nullptr) << code_page;
    EXPECT_EQ(page, service_.BytePageFor(code_page));
    RawConverter raw(code_page);
    std::vector<std::string> codes;
    std::vector<std::string> valid;
    for (uint32_t code = 0; code < 0x10000; ++code) {
      codes.push_back(code < 0x100 ? std::string(1, static_cast<char>(code)) : Bytes932(code));
    }
    if (page->triple_lead != 0) {
      for (uint32_t rest = 0; rest < 0x10000; ++rest) {
        codes.push_back({static_cast<char>(page->triple_lead), static_cast<char>(rest >> 8),
                         static_cast<char>(rest & 0xFF)});
      }
    }
    for (const std::string& bytes : codes) {
      std::u16string expected, got = u"old";
      const bool ok = raw.Decode(bytes, &expected);
      ASSERT_EQ(converter_->Decode(code_page, bytes, &got), ok)
          << code_page << testing::PrintToString(bytes);
      ASSERT_EQ(ScanPage(*page, bytes).valid, ok) << code_page << testing::PrintToString(bytes);
      if (!ok) continue;
      ASSERT_EQ(got, expected) << code_page << testing::PrintToString(bytes);
      if (ScanPage(*page, bytes).plain) {
        ASSERT_EQ(raw.Encode(expected), bytes) << code_page << testing::PrintToString(bytes);
      }
      valid.push_back(bytes);
    }
    std::mt19937 random(code_page);
    for (int i = 0; i < 20000; ++i) {
      std::string bytes;
      for (size_t k = random() % 8; k > 0; --k) {
        bytes +=
            random() % 4 == 0 ? codes[random() % codes.size()] : valid[random() % valid.size()];
      }
      std::u16string expected, got;
      const bool ok = raw.Decode(bytes, &expected);
      ASSERT_EQ(converter_->Decode(code_page, bytes, &got), ok) << testing::PrintToString(bytes);
      ASSERT_EQ(got, ok ? expected : u"") << testing::PrintToString(bytes);
    }
  }
  EXPECT_TRUE(service_.BytePageFor(65001)->utf8);
  for (const uint32_t code_page : {1200u, 1201u, 65000u, 50220u, 20290u, 37u, 54936u, 1361u}) {
    EXPECT_EQ(service_.BytePageFor(code_page), nullptr) << code_page;
  }
}

TEST_F(CodePageServiceTest, Utf8EncodesAsIcusConverter) {
  const char16_t units[] = {u'A',      u'\0',     u'\x7F', u'\x80', u'\x7FF', u'\x800', u'\x3042',
                            u'\xFFFF', u'\xFEFF', 0xD800,  0xDBFF,  0xDC00,   0xDFFF};
  std::mt19937 random(65001);
  for (int i = 0; i < 5000; ++i) {
    std::u16string text;
    for (size_t k = random() % 8; k > 0; --k) text += units[random() % std::size(units)];
    ASSERT_EQ(Encode(65001, text), Utf8ConverterEncodes(text)) << testing::PrintToString(text);
  }
}

TEST_F(CodePageServiceTest, Utf8BeyondOnePieceKeepsTheSequenceAtTheCutWhole) {
  // ICU takes at most 2^28 bytes or units a call; here a four-byte sequence
  // and the pair it decodes to both straddle that cut.
  const size_t cut = size_t{1} << 28;
  const std::string bytes = std::string(cut - 1, 'a') + "\xF0\x9F\x98\x80" + "b";
  std::u16string text;
  ASSERT_TRUE(converter_->Decode(65001, bytes, &text));
  ASSERT_EQ(text.size(), cut + 2);
  EXPECT_EQ(text.substr(cut - 2), u"a\U0001F600b");
  std::string back;
  ASSERT_EQ(converter_->Encode(65001, text, &back, nullptr), EncodeStatus::Ok);
  EXPECT_TRUE(back == bytes);
  EXPECT_FALSE(converter_->Decode(65001, std::string(cut - 1, 'a') + "\xF0\x9F\x98", &text));
}

class IconvSystemConversionTest : public testing::Test {
 protected:
  std::string out_;
  bool used_default_ = false;
  int error_ = 0;
  IconvSystemConversion conversion_;
};

TEST_F(IconvSystemConversionTest, ReplacesWhatThePageLacksAndSaysSo) {
  ASSERT_TRUE(conversion_.Encode(932, u"A\u3042\u20AC\U0001F600\u00E9Z\xD800\u3044", &out_,
                                 &used_default_, &error_));
  EXPECT_EQ(out_, "A\x82\xA0???Z?\x82\xA2");
  EXPECT_TRUE(used_default_);
  ASSERT_TRUE(conversion_.Encode(50220, u"\u3042\u20AC\u3044", &out_, &used_default_, &error_));
  EXPECT_EQ(out_, "\x1B$B\x24\x22\x1B(B?\x1B$B\x24\x24\x1B(B");
  ASSERT_TRUE(conversion_.Encode(20932, u"A\xD800", &out_, &used_default_, &error_));
  EXPECT_EQ(out_, "A?");
  EXPECT_TRUE(used_default_);
}

TEST_F(IconvSystemConversionTest, CleanTextUsesNoDefault) {
  used_default_ = true;
  ASSERT_TRUE(conversion_.Encode(20932, u"\u65E5\u672C", &out_, &used_default_, &error_));
  EXPECT_EQ(out_, "\xC6\xFC\xCB\xDC");
  EXPECT_FALSE(used_default_);
  ASSERT_TRUE(conversion_.Encode(65001, u"", &out_, nullptr, &error_));
  EXPECT_EQ(out_, "");
}

TEST_F(IconvSystemConversionTest, FailsForAPageWithoutCharset) {
  for (const uint32_t code_page : {52936u, 1u}) {
    out_ = "old";
    EXPECT_FALSE(conversion_.Encode(code_page, u"A", &out_, &used_default_, &error_));
    EXPECT_EQ(error_, EINVAL);
    EXPECT_EQ(out_, "");
  }
}

}  // namespace
}  // namespace sorrel::platform
