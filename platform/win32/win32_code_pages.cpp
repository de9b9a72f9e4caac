// The code-page seam on Windows: the MultiLanguage service (IMultiLanguage2)
// for detection and for the pages only it converts, the system conversion
// (MultiByteToWideChar with MB_ERR_INVALID_CHARS) for strict decoding of the
// pages the system knows, UTF-16 in both byte orders by hand (every unit
// kept, a lone surrogate too), and WideCharToMultiByte as the writer's
// system conversion. COM is initialised for the thread that makes the
// service, and released with it; the converters are made on that thread.
#include "platform/code_pages.h"

#include "platform/win32/windows_api.h"
// After <windows.h>, whose types they use.
#include <mlang.h>
#include <objbase.h>

#include <algorithm>
#include <bitset>
#include <climits>
#include <mutex>
#include <vector>

namespace sorrel::platform {
namespace {

// MinGW's import library has the class id but not this interface id.
constexpr IID kIidIMultiLanguage2 = {
    0xDCCFC164, 0x2B38, 0x11d2, {0xB7, 0xEC, 0x00, 0xC0, 0x4F, 0x8F, 0x5D, 0x9A}};

constexpr uint32_t kUtf16Le = 1200;
constexpr uint32_t kUtf16Be = 1201;
constexpr uint32_t kUtf7 = 65000;
constexpr uint32_t kUtf8 = 65001;
constexpr uint32_t kShiftJis = 932;
constexpr uint32_t kEucJp = 51932;
constexpr uint32_t kJis = 50220;

// Pages that the system converts without flags (so never strictly), and
// pages that only the service converts.
bool ServiceConverts(uint32_t code_page) {
  if (code_page == kUtf7 || code_page == 42) return true;
  if (code_page >= 50220 && code_page <= 50229) return true;
  if (code_page >= 57002 && code_page <= 57011) return true;
  return IsValidCodePage(code_page) == FALSE;
}

// UTF-16 of either byte order; false for an odd byte count or a lone
// surrogate.
bool DecodeUtf16(bool big_endian, std::string_view bytes, std::u16string* out) {
  if (bytes.size() % 2 != 0) return false;
  out->resize(bytes.size() / 2);
  for (size_t i = 0; i < out->size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    (*out)[i] = static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  }
  // Strict: a lone surrogate is not UTF-16.
  for (size_t i = 0; i < out->size(); ++i) {
    const char16_t unit = (*out)[i];
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      if (i + 1 == out->size() || (*out)[i + 1] < 0xDC00 || (*out)[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

void EncodeUtf16(bool big_endian, std::u16string_view text, std::string* out) {
  out->resize(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    const auto high = static_cast<char>(text[i] >> 8);
    const auto low = static_cast<char>(text[i] & 0xFF);
    (*out)[2 * i] = big_endian ? high : low;
    (*out)[2 * i + 1] = big_endian ? low : high;
  }
}

bool SystemDecode(uint32_t code_page, std::string_view bytes, std::u16string* out) {
  if (bytes.size() > INT_MAX) return false;
  const int size = static_cast<int>(bytes.size());
  const int units =
      MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (units <= 0) return false;
  out->resize(static_cast<size_t>(units));
  return MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, bytes.data(), size,
                             reinterpret_cast<wchar_t*>(out->data()), units) == units;
}

// The code points of text, a lone surrogate as itself.
std::u32string CodePoints(std::u16string_view text) {
  std::u32string points;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      points.push_back(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      points.push_back(unit);
    }
  }
  return points;
}

// Hiragana, katakana or half-width katakana: what Japanese text is made of
// and a European text read in a Japanese page is not.
bool HasKana(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) {
    return (c >= 0x3041 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9D);
  });
}

bool IsSingleByte(uint32_t code_page) {
  CPINFO info;
  return GetCPInfo(code_page, &info) && info.MaxCharSize == 1;
}

bool IsHalfWidthKatakana(char32_t c) {
  return c >= 0xFF61 && c <= 0xFF9F;
}

// What the encoding of text changed, from what its bytes read back as: each
// character that reads back otherwise was written as "?" or as a look-alike
// (counted as replaced), or, in 50220, a half-width katakana in full width.
EncodeLosses Losses(uint32_t code_page, std::u16string_view text, std::u16string_view back) {
  EncodeLosses losses;
  if (text == back) return losses;
  const std::u32string before = CodePoints(text);
  const std::u32string after = CodePoints(back);
  if (before.size() != after.size()) {
    losses.replaced = 1;  // the characters no longer line up: something was lost
    return losses;
  }
  for (size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    if (code_page == kJis && IsHalfWidthKatakana(before[i])) {
      ++losses.widened;
    } else {
      ++losses.replaced;
    }
  }
  return losses;
}

class MLangConverter : public CodePageConverter {
 public:
  explicit MLangConverter(IMultiLanguage2* service) : service_(service) {}
  ~MLangConverter() override { service_->Release(); }
  MLangConverter(const MLangConverter&) = delete;
  MLangConverter& operator=(const MLangConverter&) = delete;

  // 7-bit text is JIS when it holds its escapes and reads in it, else
  // Shift-JIS (which reads ASCII as ASCII). Other bytes: the service's
  // answers, best first, then UTF-8, Shift-JIS and EUC-JP: the first that
  // all of the bytes decode in strictly; UTF-8 goes before Shift-JIS, which
  // reads many UTF-8 texts too. A single-byte answer gives way to Shift-JIS
  // or EUC-JP when the bytes read there as text with kana in it.
  bool Detect(std::string_view bytes, uint32_t* code_page) override {
    const bool seven_bit = std::all_of(bytes.begin(), bytes.end(),
                                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    std::vector<uint32_t> candidates;
    if (seven_bit) {
      if (bytes.find("\x1B$") != std::string_view::npos) candidates.push_back(kJis);
      candidates.push_back(kShiftJis);
    } else {
      candidates = ServiceAnswers(bytes);
      candidates.insert(candidates.end(), {kUtf8, kShiftJis, kEucJp});
    }
    std::u16string text;
    for (uint32_t candidate : candidates) {
      if (candidate == 0 || !Decode(candidate, bytes, &text)) continue;
      if (!seven_bit && IsSingleByte(candidate)) {
        for (uint32_t japanese : {kShiftJis, kEucJp}) {
          if (Decode(japanese, bytes, &text) && HasKana(text)) {
            candidate = japanese;
            break;
          }
        }
      }
      *code_page = candidate;
      return true;
    }
    return false;
  }

  bool Decode(uint32_t code_page, std::string_view bytes, std::u16string* out) override {
    out->clear();
    if (code_page == kUtf16Le || code_page == kUtf16Be) {
      return DecodeUtf16(code_page == kUtf16Be, bytes, out);
    }
    if (bytes.empty()) return true;
    if (!ServiceConverts(code_page)) return SystemDecode(code_page, bytes, out);
    return ServiceDecode(code_page, bytes, out);
  }

  EncodeStatus Encode(uint32_t code_page, std::u16string_view text, std::string* out,
                      EncodeLosses* losses) override {
    out->clear();
    if (losses != nullptr) *losses = {};
    if (code_page == kUtf16Le || code_page == kUtf16Be) {
      EncodeUtf16(code_page == kUtf16Be, text, out);
      return EncodeStatus::Ok;
    }
    if (text.empty()) return EncodeStatus::Ok;
    if (text.size() > UINT_MAX / 8) return EncodeStatus::Failed;
    wchar_t fallback[] = L"?";
    auto* source = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(text.data()));
    // A page takes at most 8 bytes per unit (UTF-7's shifts included), and
    // a stateful page its closing escape.
    out->resize(text.size() * 8 + 16);
    DWORD mode = 0;
    UINT source_size = static_cast<UINT>(text.size());
    UINT size = static_cast<UINT>(out->size());
    const HRESULT result = service_->ConvertStringFromUnicodeEx(
        &mode, code_page, source, &source_size, out->data(), &size,
        MLCONVCHARF_USEDEFCHAR | MLCONVCHARF_NOBESTFITCHARS, fallback);
    if (result == S_FALSE) return EncodeStatus::CannotConvert;
    if (result != S_OK || size > out->size()) return EncodeStatus::Failed;
    out->resize(size);
    if (losses != nullptr) {
      std::u16string back;
      // Bytes the page cannot read back lost everything they stood for.
      if (!Decode(code_page, *out, &back)) back.clear();
      *losses = Losses(code_page, text, back);
    }
    return EncodeStatus::Ok;
  }

 private:
  std::vector<uint32_t> ServiceAnswers(std::string_view bytes) {
    if (bytes.size() > INT_MAX) return {};
    INT size = static_cast<INT>(bytes.size());
    DetectEncodingInfo info[8] = {};
    INT scores = 8;
    if (service_->DetectInputCodepage(MLDETECTCP_NONE, 0, const_cast<CHAR*>(bytes.data()), &size,
                                      info, &scores) != S_OK) {
      return {};
    }
    std::vector<uint32_t> answers;
    for (INT i = 0; i < scores && i < 8; ++i) answers.push_back(info[i].nCodePage);
    return answers;
  }

  // The service replaces what it cannot decode; strict decoding takes a
  // replacement character in its answer for such a sequence.
  bool ServiceDecode(uint32_t code_page, std::string_view bytes, std::u16string* out) {
    if (bytes.size() > UINT_MAX / 2) return false;
    out->resize(bytes.size() + 1);
    DWORD mode = 0;
    UINT source_size = static_cast<UINT>(bytes.size());
    UINT size = static_cast<UINT>(out->size());
    const HRESULT result = service_->ConvertStringToUnicodeEx(
        &mode, code_page, const_cast<CHAR*>(bytes.data()), &source_size,
        reinterpret_cast<WCHAR*>(out->data()), &size, 0, nullptr);
    if (result != S_OK || size > out->size()) return false;
    out->resize(size);
    return out->find(u'\uFFFD') == std::u16string::npos;
  }

  IMultiLanguage2* service_;
};

class MLangService : public CodePageService {
 public:
  MLangService() : com_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~MLangService() override {
    if (com_) CoUninitialize();
  }
  MLangService(const MLangService&) = delete;
  MLangService& operator=(const MLangService&) = delete;

  // One IMultiLanguage2 object per converter, released with it; the reason
  // for a failed CoCreateInstance is passed on in status.
  std::unique_ptr<CodePageConverter> Create(CreateStatus* status) override {
    IMultiLanguage2* service = nullptr;
    const HRESULT result =
        CoCreateInstance(CLSID_CMultiLanguage, nullptr, CLSCTX_INPROC_SERVER, kIidIMultiLanguage2,
                         reinterpret_cast<void**>(&service));
    if (SUCCEEDED(result) && service != nullptr) {
      *status = CreateStatus::Ok;
      return std::make_unique<MLangConverter>(service);
    }
    *status = result == E_NOINTERFACE           ? CreateStatus::NoInterface
              : result == CLASS_E_NOAGGREGATION ? CreateStatus::NoAggregation
              : result == REGDB_E_CLASSNOTREG   ? CreateStatus::ClassNotRegistered
                                                : CreateStatus::Other;
    return nullptr;
  }

  // The units that WideCharToMultiByte (with best fit) writes as two bytes
  // in code page 932. Built once.
  const std::bitset<65536>& DoubleByteUnits932() override {
    std::call_once(once_, [this] {
      for (unsigned unit = 1; unit < 0x10000; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;
        const auto wide = static_cast<wchar_t>(unit);
        char bytes[4];
        if (WideCharToMultiByte(kShiftJis, 0, &wide, 1, bytes, sizeof bytes, nullptr, nullptr) ==
            2) {
          double_byte_.set(unit);
        }
      }
    });
    return double_byte_;
  }

  // The converters are COM objects of the apartment that made the service.
  bool ConvertsOnAnyThread() const override { return false; }

  // UTF-8 only: the other pages keep to the converters here.
  const BytePage* BytePageFor(uint32_t code_page) override {
    return code_page == kUtf8 ? &Utf8BytePage() : nullptr;
  }

 private:
  bool com_;
  std::once_flag once_;
  std::bitset<65536> double_byte_;
};

class Win32SystemConversion : public SystemConversion {
 public:
  bool Encode(uint32_t code_page, std::u16string_view text, std::string* out, bool* used_default,
              int* error) override {
    out->clear();
    if (used_default != nullptr) *used_default = false;
    if (text.empty()) return true;
    if (text.size() > INT_MAX / 4) {
      *error = ERROR_NOT_ENOUGH_MEMORY;
      return false;
    }
    const auto* source = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    // UTF-7 and UTF-8 have no default character and take no flag for it.
    const bool unicode = code_page == CP_UTF7 || code_page == CP_UTF8;
    BOOL used = FALSE;
    BOOL* used_flag = unicode ? nullptr : &used;
    const int size =
        WideCharToMultiByte(code_page, 0, source, length, nullptr, 0, nullptr, used_flag);
    if (size <= 0) {
      *error = static_cast<int>(GetLastError());
      return false;
    }
    out->resize(static_cast<size_t>(size));
    if (WideCharToMultiByte(code_page, 0, source, length, out->data(), size, nullptr, used_flag) !=
        size) {
      *error = static_cast<int>(GetLastError());
      out->clear();
      return false;
    }
    if (used_default != nullptr) *used_default = used != FALSE;
    return true;
  }
};

}  // namespace

std::unique_ptr<CodePageService> NewCodePageService() {
  return std::make_unique<MLangService>();
}

std::unique_ptr<SystemConversion> NewSystemConversion() {
  return std::make_unique<Win32SystemConversion>();
}

}  // namespace sorrel::platform
