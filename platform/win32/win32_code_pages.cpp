// Code pages through the MultiLanguage service and the system conversion.
#include "platform/win32/win32_code_pages.h"

#include "platform/win32/windows_api.h"
// After <windows.h>, whose types it uses.
#include <mlang.h>

#include <climits>

namespace sorrel::platform {
namespace {

// MinGW's import library has the class id but not this interface id.
constexpr IID kIidIMultiLanguage2 = {
    0xDCCFC164, 0x2B38, 0x11d2, {0xB7, 0xEC, 0x00, 0xC0, 0x4F, 0x8F, 0x5D, 0x9A}};

constexpr uint32_t kUtf16Le = 1200;
constexpr uint32_t kUtf16Be = 1201;
constexpr uint32_t kUtf7 = 65000;

// Pages whose MultiByteToWideChar takes no flags (so cannot be strict), and
// pages that only the service converts.
bool ServiceDecodes(uint32_t code_page) {
  if (code_page == kUtf7 || code_page == 42) return true;
  if (code_page >= 50220 && code_page <= 50229) return true;
  if (code_page >= 57002 && code_page <= 57011) return true;
  return IsValidCodePage(code_page) == FALSE;
}

// UTF-16 of either byte order; false for an odd byte count or an unpaired
// surrogate.
bool DecodeUtf16(bool big_endian, std::string_view bytes, std::u16string* out) {
  if (bytes.size() % 2 != 0) return false;
  out->resize(bytes.size() / 2);
  for (size_t i = 0; i < out->size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    (*out)[i] = static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  }
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

class MLangConverter : public CodePageConverter {
 public:
  explicit MLangConverter(IMultiLanguage2* service) : service_(service) {}
  ~MLangConverter() override { service_->Release(); }
  MLangConverter(const MLangConverter&) = delete;
  MLangConverter& operator=(const MLangConverter&) = delete;

  bool Detect(std::string_view bytes, uint32_t* code_page) override {
    if (bytes.size() > INT_MAX) return false;
    INT size = static_cast<INT>(bytes.size());
    DetectEncodingInfo info{};
    INT scores = 1;
    const HRESULT result = service_->DetectInputCodepage(
        MLDETECTCP_NONE, 0, const_cast<CHAR*>(bytes.data()), &size, &info, &scores);
    if (result != S_OK || scores < 1) return false;
    *code_page = info.nCodePage;
    return true;
  }

  bool Decode(uint32_t code_page, std::string_view bytes, std::u16string* out) override {
    out->clear();
    if (code_page == kUtf16Le || code_page == kUtf16Be) {
      return DecodeUtf16(code_page == kUtf16Be, bytes, out);
    }
    if (bytes.empty()) return true;
    if (!ServiceDecodes(code_page)) return SystemDecode(code_page, bytes, out);
    return ServiceDecode(code_page, bytes, out);
  }

  EncodeStatus Encode(uint32_t code_page, std::u16string_view text, std::string* out) override {
    out->clear();
    if (code_page == kUtf16Le || code_page == kUtf16Be) {
      EncodeUtf16(code_page == kUtf16Be, text, out);
      return EncodeStatus::Ok;
    }
    if (text.empty()) return EncodeStatus::Ok;
    if (text.size() > UINT_MAX / 8) return EncodeStatus::Failed;
    wchar_t fallback[] = L"?";
    auto* source = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(text.data()));
    // A page takes at most 8 bytes per unit (UTF-7's shifts included).
    out->resize(text.size() * 8);
    DWORD mode = 0;
    UINT source_size = static_cast<UINT>(text.size());
    UINT size = static_cast<UINT>(out->size());
    const HRESULT result = service_->ConvertStringFromUnicodeEx(
        &mode, code_page, source, &source_size, out->data(), &size,
        MLCONVCHARF_USEDEFCHAR | MLCONVCHARF_NOBESTFITCHARS, fallback);
    if (result == S_FALSE) return EncodeStatus::CannotConvert;
    if (result != S_OK || size > out->size()) return EncodeStatus::Failed;
    out->resize(size);
    return EncodeStatus::Ok;
  }

 private:
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

}  // namespace

std::unique_ptr<CodePageConverter> Win32CodePageService::Create(CreateStatus* status) {
  IMultiLanguage2* service = nullptr;
  const HRESULT result = CoCreateInstance(CLSID_CMultiLanguage, nullptr, CLSCTX_INPROC_SERVER,
                                          kIidIMultiLanguage2, reinterpret_cast<void**>(&service));
  if (SUCCEEDED(result) && service != nullptr) {
    *status = CreateStatus::Ok;
    return std::make_unique<MLangConverter>(service);
  }
  switch (result) {
    case E_NOINTERFACE:
      *status = CreateStatus::NoInterface;
      break;
    case CLASS_E_NOAGGREGATION:
      *status = CreateStatus::NoAggregation;
      break;
    case REGDB_E_CLASSNOTREG:
      *status = CreateStatus::ClassNotRegistered;
      break;
    default:
      *status = CreateStatus::Other;
  }
  return nullptr;
}

const std::bitset<65536>& Win32CodePageService::DoubleByteUnits932() {
  std::call_once(once_, [this] {
    for (unsigned unit = 1; unit < 0x10000; ++unit) {
      if (unit >= 0xD800 && unit <= 0xDFFF) continue;
      const auto wide = static_cast<wchar_t>(unit);
      char bytes[4];
      if (WideCharToMultiByte(932, 0, &wide, 1, bytes, sizeof bytes, nullptr, nullptr) == 2) {
        double_byte_.set(unit);
      }
    }
  });
  return double_byte_;
}

bool Win32SystemConversion::Encode(uint32_t code_page, std::u16string_view text, std::string* out,
                                   bool* used_default, int* error) {
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

}  // namespace sorrel::platform
