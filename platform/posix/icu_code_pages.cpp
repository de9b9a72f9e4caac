// The code-page service on ICU's C API.
#include "platform/posix/icu_code_pages.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string_view>
#include <utility>

#include "platform/posix/byte_pages.h"
#include "platform/posix/code_page_names.h"
#include "platform/posix/detect.h"
#include "platform/posix/iconv_conversion.h"
#include "platform/posix/jis_code_pages.h"
#include "platform/posix/large_buffer.h"
#include "platform/program.h"

namespace sorrel::platform {
namespace {

// ICU refuses one call over 2 GiB of input or 1 Gi units of output, so long
// texts go through in pieces of this many elements.
constexpr size_t kMaxPiece = size_t{1} << 28;

constexpr uint32_t kUtf8 = 65001;
constexpr uint32_t kUtf7 = 65000;
constexpr uint32_t kUtf16LittleEndian = 1200;
constexpr uint32_t kUtf16BigEndian = 1201;

// Runs a converter over the whole of in, growing out from initial elements as
// needed; step is ucnv_toUnicode or ucnv_fromUnicode. The last piece flushes,
// so that a truncated sequence is reported and a shift state is closed. False
// on any conversion error; out then holds what was converted before it.
template <typename In, typename Out, typename Step>
bool RunConverter(std::basic_string_view<In> in, size_t initial, std::basic_string<Out>* out,
                  Step step) {
  ResizeLargeBuffer(out, std::min(initial, kMaxPiece) + 16);
  size_t written = 0;
  const In* source = in.data();
  const In* const end = in.data() + in.size();
  UErrorCode error = U_ZERO_ERROR;
  do {
    const In* const limit =
        static_cast<size_t>(end - source) > kMaxPiece ? source + kMaxPiece : end;
    for (;;) {
      Out* target = out->data() + written;
      Out* const target_limit = target + std::min(out->size() - written, kMaxPiece);
      error = U_ZERO_ERROR;
      step(&target, target_limit, &source, limit, limit == end, &error);
      written = static_cast<size_t>(target - out->data());
      if (error != U_BUFFER_OVERFLOW_ERROR) break;
      if (out->size() - written < kMaxPiece) ResizeLargeBuffer(out, out->size() * 2);
    }
  } while (U_SUCCESS(error) && source != end);
  out->resize(written);
  return U_SUCCESS(error);
}

// Writes the substitution for every character the page lacks and counts it
// in the size_t that context points to. ICU's own substitution callback
// drops default-ignorable units (U+00AD, U+200B, U+FEFF ...) instead, and a
// dropped character is lost without a trace.
void U_CALLCONV SubstituteEveryUnit(const void* context, UConverterFromUnicodeArgs* args,
                                    const UChar*, int32_t, UChar32, UConverterCallbackReason reason,
                                    UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;
  *error = U_ZERO_ERROR;
  ucnv_cbFromUWriteSub(args, 0, error);
  ++*static_cast<size_t*>(const_cast<void*>(context));
}

// Encodes text with converter, from its initial state, into out, with "?"
// for what the page lacks; adds those characters to *replaced.
bool EncodeWith(UConverter* converter, std::u16string_view text, std::string* out,
                size_t* replaced) {
  ucnv_reset(converter);
  // Fallbacks off: a unit without a round-trip mapping becomes "?", never
  // a look-alike.
  ucnv_setFallback(converter, false);
  UErrorCode error = U_ZERO_ERROR;
  ucnv_setSubstString(converter, u"?", 1, &error);
  ucnv_setFromUCallBack(converter, SubstituteEveryUnit, replaced, nullptr, nullptr, &error);
  if (U_FAILURE(error)) return false;
  // Room for the longest character of most pages (932 two bytes, EUC-JP
  // three); a page with longer ones grows the output as it goes.
  const size_t per_unit = std::min<size_t>(ucnv_getMaxCharSize(converter), 3);
  const bool ok = RunConverter(
      text, text.size() * per_unit, out,
      [converter](char** target, char* target_limit, const char16_t** source, const char16_t* limit,
                  bool flush, UErrorCode* error) {
        ucnv_fromUnicode(converter, target, target_limit, source, limit, nullptr, flush, error);
      });
  if (!ok) out->clear();
  return ok;
}

// UTF-16 keeps every unit as it is: a lone surrogate, such as one half of a
// pair that a line end was put between, is written back unchanged.
void EncodeUtf16(std::u16string_view text, bool big_endian, std::string* out) {
  ResizeLargeBuffer(out, text.size() * 2);
  char* bytes = out->data();
  for (const char16_t unit : text) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    *bytes++ = big_endian ? high : low;
    *bytes++ = big_endian ? low : high;
  }
}

// UTF-8 goes through ICU's string functions rather than a converter: about
// twice as fast, with the converter's strict view of what is well-formed and
// its "?" for a lone surrogate (the tests hold the two side by side). The
// output is sized exactly up front, so that it is neither grown nor filled
// beyond what the text needs.

// Both lengths are summed a block at a time in 32 bits, which the compiler
// turns into vector code about four times as fast as a 64-bit sum.
constexpr size_t kCountBlock = 4096;

// The UTF-16 length of well-formed UTF-8: a unit for every byte that is not
// a continuation byte, two for a four-byte sequence. For ill-formed bytes it
// bounds what decodes before the first error.
size_t Utf16Length(std::string_view bytes) {
  size_t units = 0;
  for (size_t begin = 0; begin < bytes.size(); begin += kCountBlock) {
    uint32_t block_units = 0;
    for (const char c : bytes.substr(begin, kCountBlock)) {
      const auto byte = static_cast<unsigned char>(c);
      block_units += ((byte & 0xC0) != 0x80) + (byte >= 0xF0);
    }
    units += block_units;
  }
  return units;
}

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The end of the piece of bytes that begins at begin: at most kMaxPiece
// bytes, cut before a byte that is not a continuation byte, which splits no
// well-formed sequence. Four continuation bytes in a row are ill-formed
// wherever they are cut.
size_t Utf8PieceEnd(std::string_view bytes, size_t begin) {
  size_t end = begin + std::min(bytes.size() - begin, kMaxPiece);
  for (int back = 0; back < 3 && end < bytes.size() && IsContinuationByte(bytes[end]); ++back) {
    --end;
  }
  return end;
}

bool DecodeUtf8(std::string_view bytes, std::u16string* out) {
  ResizeLargeBuffer(out, Utf16Length(bytes));
  size_t written = 0;
  for (size_t begin = 0; begin < bytes.size();) {
    const size_t end = Utf8PieceEnd(bytes, begin);
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    // A piece never decodes to more units than it has bytes.
    u_strFromUTF8(out->data() + written,
                  static_cast<int32_t>(std::min(out->size() - written, kMaxPiece)), &length,
                  bytes.data() + begin, static_cast<int32_t>(end - begin), &error);
    if (U_FAILURE(error)) {
      out->clear();
      return false;
    }
    written += static_cast<size_t>(length);
    begin = end;
  }
  out->resize(written);
  return true;
}

// The most bytes text takes in UTF-8: a pair takes 4 of the 6 counted for
// it, a lone surrogate 1 ("?").
size_t Utf8LengthBound(std::u16string_view text) {
  size_t bytes = 0;
  for (size_t begin = 0; begin < text.size(); begin += kCountBlock) {
    uint32_t block_bytes = 0;
    for (const char16_t unit : text.substr(begin, kCountBlock)) {
      block_bytes += 1 + (unit >= 0x80) + (unit >= 0x800);
    }
    bytes += block_bytes;
  }
  return bytes;
}

bool EncodeUtf8(std::u16string_view text, std::string* out, size_t* replaced) {
  ResizeLargeBuffer(out, Utf8LengthBound(text));
  size_t written = 0;
  for (size_t begin = 0; begin < text.size();) {
    size_t end = begin + std::min(text.size() - begin, kMaxPiece);
    if (end < text.size() && U16_IS_LEAD(text[end - 1])) --end;  // a pair stays whole
    int32_t length = 0;
    int32_t substitutions = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strToUTF8WithSub(out->data() + written,
                       static_cast<int32_t>(std::min(out->size() - written, 3 * kMaxPiece)),
                       &length, text.data() + begin, static_cast<int32_t>(end - begin), u'?',
                       &substitutions, &error);
    if (U_FAILURE(error)) {
      out->clear();
      return false;
    }
    written += static_cast<size_t>(length);
    *replaced += static_cast<size_t>(substitutions);
    begin = end;
  }
  out->resize(written);
  return true;
}

enum class TableDecoding { Ok, Invalid, NeedsConverter };

bool AsciiWord(const char* p) {
  uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return (word & 0x8080808080808080u) == 0;
}

// Decodes bytes by the tables of page into out: Invalid where the converter
// would fail, NeedsConverter for a character of several units, which only
// the converter gives whole. out is left as it is unless Ok.
TableDecoding DecodeByTable(const BytePage& page, std::string_view bytes, std::u16string* out) {
  std::u16string text;
  ResizeLargeBuffer(&text, bytes.size());  // never more than a unit a byte
  char16_t* to = text.data();
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while (p < end) {
    while (end - p >= 8 && AsciiWord(p)) {
      for (int i = 0; i < 8; ++i) to[i] = static_cast<unsigned char>(p[i]);
      to += 8;
      p += 8;
    }
    if (p == end) break;
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    if (*u < 0x80) {
      *to++ = *u;
      ++p;
      continue;
    }
    const size_t length = page.length[*u];
    if (length == 0 || static_cast<size_t>(end - p) < length) return TableDecoding::Invalid;
    const PageEntry entry = page.Entry(u, length);
    if ((entry & BytePage::kValid) == 0) return TableDecoding::Invalid;
    if ((entry & BytePage::kSeveralUnits) != 0) return TableDecoding::NeedsConverter;
    *to++ = BytePage::Unit(entry);
    p += length;
  }
  text.resize(static_cast<size_t>(to - text.data()));
  out->swap(text);
  return TableDecoding::Ok;
}

// Decodes strictly with converter, from its initial state, into out.
bool DecodeWith(UConverter* converter, std::string_view bytes, std::u16string* out) {
  ucnv_reset(converter);
  UErrorCode error = U_ZERO_ERROR;
  ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  if (U_FAILURE(error)) return false;
  // A byte rarely decodes to more than one unit.
  const bool ok = RunConverter(
      bytes, bytes.size(), out,
      [converter](char16_t** target, char16_t* target_limit, const char** source, const char* limit,
                  bool flush, UErrorCode* error) {
        ucnv_toUnicode(converter, target, target_limit, source, limit, nullptr, flush, error);
      });
  if (!ok) out->clear();
  return ok;
}

// The 7-bit bytes that ICU's UTF-7 refuses as direct characters (the
// controls but TAB, LF and CR, "\", "~" and DEL) and other decoders take as
// themselves.
bool IsLooseUtf7Byte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') || byte == '\\' ||
         byte == '~' || byte == 0x7F;
}

// UTF-7 as other tools write it: such a byte is never part of a shift
// sequence and ends one that is open, so the pieces between them decode on
// their own, each from the initial state, and the byte goes in between.
bool DecodeUtf7(UConverter* converter, std::string_view bytes, std::u16string* out) {
  const auto loose = std::find_if(bytes.begin(), bytes.end(), IsLooseUtf7Byte);
  if (loose == bytes.end()) return DecodeWith(converter, bytes, out);
  std::u16string piece;
  for (size_t begin = 0; begin <= bytes.size();) {
    const auto end_it = std::find_if(bytes.begin() + begin, bytes.end(), IsLooseUtf7Byte);
    const size_t end = static_cast<size_t>(end_it - bytes.begin());
    if (!DecodeWith(converter, bytes.substr(begin, end - begin), &piece)) {
      out->clear();
      return false;
    }
    out->append(piece);
    if (end < bytes.size()) out->push_back(static_cast<unsigned char>(bytes[end]));
    begin = end + 1;
  }
  return true;
}

UConverter* OpenNamed(const char* name) {
  UErrorCode error = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(name, &error);
  return U_SUCCESS(error) ? converter : nullptr;
}

UConverter* Open(uint32_t code_page) {
  const std::string name = IcuConverterName(code_page);
  return name.empty() ? nullptr : OpenNamed(name.c_str());
}

class IcuCodePageConverter : public CodePageConverter {
 public:
  IcuCodePageConverter(UConverter* converter_932, CodePageService* service) : service_(service) {
    converters_[932] = converter_932;
  }
  ~IcuCodePageConverter() override {
    for (const auto& [code_page, converter] : converters_) ucnv_close(converter);
    ucnv_close(jis_writer_);
  }
  IcuCodePageConverter(const IcuCodePageConverter&) = delete;
  IcuCodePageConverter& operator=(const IcuCodePageConverter&) = delete;

  bool Detect(std::string_view bytes, uint32_t* code_page) override {
    *code_page = DetectCodePage(bytes, *this);
    return true;
  }

  bool Decode(uint32_t code_page, std::string_view bytes, std::u16string* out) override {
    out->clear();
    if (code_page == kUtf8) return DecodeUtf8(bytes, out);
    UConverter* converter = Converter(code_page);
    // A page ICU lacks may still be one the writer can write through the
    // system conversion; it is read through the same library.
    if (converter == nullptr) return iconv_.Decode(code_page, bytes, out);
    if (code_page == kUtf7) return DecodeUtf7(converter, bytes, out);
    if (const BytePage* page = service_->BytePageFor(code_page)) {
      switch (DecodeByTable(*page, bytes, out)) {
        case TableDecoding::Ok:
          return true;
        case TableDecoding::Invalid:
          return false;
        case TableDecoding::NeedsConverter:
          break;
      }
    }
    return DecodeWith(converter, bytes, out);
  }

  EncodeStatus Encode(uint32_t code_page, std::u16string_view text, std::string* out,
                      EncodeLosses* losses) override {
    out->clear();
    EncodeLosses unused;
    if (losses == nullptr) losses = &unused;
    *losses = {};
    if (code_page == kUtf16LittleEndian || code_page == kUtf16BigEndian) {
      EncodeUtf16(text, code_page == kUtf16BigEndian, out);
      return EncodeStatus::Ok;
    }
    bool ok = false;
    if (code_page == kUtf8) {
      ok = EncodeUtf8(text, out, &losses->replaced);
    } else if (IsJisCodePage(code_page)) {
      UConverter* plain = JisWriter();
      if (plain == nullptr) return EncodeStatus::CannotConvert;
      const auto encode_plain = [plain](std::u16string_view piece, std::string* bytes,
                                        size_t* replaced) {
        return EncodeWith(plain, piece, bytes, replaced);
      };
      ok = EncodeJis(code_page, text, encode_plain, out, losses);
    } else {
      UConverter* converter = Converter(code_page);
      if (converter == nullptr) return EncodeStatus::CannotConvert;
      ok = EncodeWith(converter, text, out, &losses->replaced);
    }
    if (!ok) out->clear();
    return ok ? EncodeStatus::Ok : EncodeStatus::Failed;
  }

 private:
  // The converter for code_page, opened on first use; null when ICU has none.
  UConverter* Converter(uint32_t code_page) {
    const auto [it, inserted] = converters_.try_emplace(code_page, nullptr);
    if (inserted) it->second = Open(code_page);
    return it->second;
  }

  // The writer of the JIS pages' plain ISO-2022-JP, opened on first use.
  UConverter* JisWriter() {
    if (!jis_writer_opened_) jis_writer_ = OpenNamed(kJisWriterConverterName);
    jis_writer_opened_ = true;
    return jis_writer_;
  }

  CodePageService* service_;
  // Null entries remember a page that ICU cannot open.
  std::map<uint32_t, UConverter*> converters_;
  UConverter* jis_writer_ = nullptr;
  bool jis_writer_opened_ = false;
  IconvDecoder iconv_;
};

// The units that the 932 converter, with best fit, encodes as two bytes.
std::bitset<65536> TwoByteUnits932(const UConverter* prototype) {
  std::bitset<65536> units;
  if (prototype == nullptr) return units;
  UErrorCode error = U_ZERO_ERROR;
  UConverter* converter = ucnv_clone(prototype, &error);
  if (U_FAILURE(error)) return units;
  ucnv_setFallback(converter, true);
  ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  for (uint32_t unit = 0; unit < units.size() && U_SUCCESS(error); ++unit) {
    const char16_t text = static_cast<char16_t>(unit);
    char bytes[8];
    UErrorCode unit_error = U_ZERO_ERROR;
    ucnv_reset(converter);
    const int32_t length = ucnv_fromUChars(converter, bytes, sizeof bytes, &text, 1, &unit_error);
    units[unit] = U_SUCCESS(unit_error) && length == 2;
  }
  ucnv_close(converter);
  return units;
}

}  // namespace

IcuCodePageService::IcuCodePageService(std::string data_folder)
    : data_folder_(std::move(data_folder)) {}

IcuCodePageService::~IcuCodePageService() {
  ucnv_close(prototype_932_);
}

UConverter* IcuCodePageService::Prototype932() {
  if (prototype_932_ == nullptr) {
    // ucnv_openPackage takes the folder as a path prefix: it reads
    // <folder>/ms932-bestfit.cnv. Plain ucnv_open would not look there.
    const std::string package = data_folder_ + "/";
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_openPackage(package.c_str(), kOwn932ConverterName, &error);
    if (U_SUCCESS(error)) prototype_932_ = converter;
  }
  return prototype_932_;
}

std::unique_ptr<CodePageConverter> IcuCodePageService::Create(CreateStatus* status) {
  std::lock_guard<std::mutex> lock(mutex_);
  const UConverter* prototype = Prototype932();
  if (prototype == nullptr) {
    *status = CreateStatus::ClassNotRegistered;
    return nullptr;
  }
  UErrorCode error = U_ZERO_ERROR;
  UConverter* converter_932 = ucnv_clone(prototype, &error);
  if (U_FAILURE(error)) {
    *status = CreateStatus::Other;
    return nullptr;
  }
  *status = CreateStatus::Ok;
  return std::make_unique<IcuCodePageConverter>(converter_932, this);
}

const BytePage* IcuCodePageService::BytePageFor(uint32_t code_page) {
  if (code_page == kUtf8) return &Utf8BytePage();
  std::lock_guard<std::mutex> lock(mutex_);
  const auto [it, inserted] = byte_pages_.try_emplace(code_page);
  if (!inserted) return it->second.get();
  UConverter* converter = nullptr;
  if (code_page == 932) {
    if (const UConverter* prototype = Prototype932()) {
      UErrorCode error = U_ZERO_ERROR;
      converter = ucnv_clone(prototype, &error);
      if (U_FAILURE(error)) converter = nullptr;
    }
  } else if (code_page != kUtf7) {
    converter = Open(code_page);
  }
  if (converter != nullptr) {
    it->second = BuildBytePage(converter, code_page);
    ucnv_close(converter);
  }
  return it->second.get();
}

const std::bitset<65536>& IcuCodePageService::DoubleByteUnits932() {
  static const std::bitset<65536> units = [this] {
    std::lock_guard<std::mutex> lock(mutex_);
    return TwoByteUnits932(Prototype932());
  }();
  return units;
}

// The converter data sit beside the program.
std::unique_ptr<CodePageService> NewCodePageService() {
  return std::make_unique<IcuCodePageService>(ProgramFolder());
}

}  // namespace sorrel::platform
