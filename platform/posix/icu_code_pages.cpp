// The code-page service on ICU's C API.
#include "platform/posix/icu_code_pages.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>

#include "platform/posix/code_page_names.h"
#include "platform/posix/detect.h"

namespace sorrel::platform {
namespace {

// ICU refuses one call over 2 GiB of input or 1 Gi units of output, so long
// texts go through in pieces of this many elements.
constexpr size_t kMaxPiece = size_t{1} << 28;

// Runs a converter over the whole of in, growing out as needed; step is
// ucnv_toUnicode or ucnv_fromUnicode. The last piece flushes, so that a
// truncated sequence is reported and a shift state is closed. False on any
// conversion error; out then holds what was converted before it.
template <typename In, typename Out, typename Step>
bool RunConverter(std::basic_string_view<In> in, std::basic_string<Out>* out, Step step) {
  out->resize(std::min(in.size(), kMaxPiece) + 16);
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
      if (out->size() - written < kMaxPiece) out->resize(out->size() * 2);
    }
  } while (U_SUCCESS(error) && source != end);
  out->resize(written);
  return U_SUCCESS(error);
}

// Writes the substitution for every unit the page lacks. ICU's own
// substitution callback drops default-ignorable units (U+00AD, U+200B,
// U+FEFF ...) instead, and a dropped character is lost without a trace.
void U_CALLCONV SubstituteEveryUnit(const void*, UConverterFromUnicodeArgs* args, const UChar*,
                                    int32_t, UChar32, UConverterCallbackReason reason,
                                    UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;
  *error = U_ZERO_ERROR;
  ucnv_cbFromUWriteSub(args, 0, error);
}

class IcuCodePageConverter : public CodePageConverter {
 public:
  explicit IcuCodePageConverter(UConverter* converter_932) { converters_[932] = converter_932; }
  ~IcuCodePageConverter() override {
    for (const auto& [code_page, converter] : converters_) ucnv_close(converter);
  }
  IcuCodePageConverter(const IcuCodePageConverter&) = delete;
  IcuCodePageConverter& operator=(const IcuCodePageConverter&) = delete;

  bool Detect(std::string_view bytes, uint32_t* code_page) override {
    *code_page = DetectCodePage(bytes);
    return true;
  }

  bool Decode(uint32_t code_page, std::string_view bytes, std::u16string* out) override {
    out->clear();
    UConverter* converter = Converter(code_page);
    if (converter == nullptr) return false;
    ucnv_reset(converter);
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    if (U_FAILURE(error)) return false;
    const bool ok = RunConverter(
        bytes, out,
        [converter](char16_t** target, char16_t* target_limit, const char** source,
                    const char* limit, bool flush, UErrorCode* error) {
          ucnv_toUnicode(converter, target, target_limit, source, limit, nullptr, flush, error);
        });
    if (!ok) out->clear();
    return ok;
  }

  EncodeStatus Encode(uint32_t code_page, std::u16string_view text, std::string* out) override {
    out->clear();
    UConverter* converter = Converter(code_page);
    if (converter == nullptr) return EncodeStatus::CannotConvert;
    ucnv_reset(converter);
    // Fallbacks off: a unit without a round-trip mapping becomes "?", never
    // a look-alike.
    ucnv_setFallback(converter, false);
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setSubstString(converter, u"?", 1, &error);
    ucnv_setFromUCallBack(converter, SubstituteEveryUnit, nullptr, nullptr, nullptr, &error);
    if (U_FAILURE(error)) return EncodeStatus::Failed;
    const bool ok = RunConverter(
        text, out,
        [converter](char** target, char* target_limit, const char16_t** source,
                    const char16_t* limit, bool flush, UErrorCode* error) {
          ucnv_fromUnicode(converter, target, target_limit, source, limit, nullptr, flush, error);
        });
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

  static UConverter* Open(uint32_t code_page) {
    const std::string name = IcuConverterName(code_page);
    if (name.empty()) return nullptr;
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name.c_str(), &error);
    return U_SUCCESS(error) ? converter : nullptr;
  }

  // Null entries remember a page that ICU cannot open.
  std::map<uint32_t, UConverter*> converters_;
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
  return std::make_unique<IcuCodePageConverter>(converter_932);
}

const std::bitset<65536>& IcuCodePageService::DoubleByteUnits932() {
  static const std::bitset<65536> units = [this] {
    std::lock_guard<std::mutex> lock(mutex_);
    return TwoByteUnits932(Prototype932());
  }();
  return units;
}

}  // namespace sorrel::platform
