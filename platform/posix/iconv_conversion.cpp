// glibc iconv: the system conversion with "?" for what the target lacks, and
// strict decoding.
#include "platform/posix/iconv_conversion.h"

#include <bit>
#include <cerrno>
#include <cstring>

#include "platform/posix/code_page_names.h"

namespace sorrel::platform {
namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);

// The text arrives as char16_t in the machine's byte order.
const char* NativeUtf16() {
  return std::endian::native == std::endian::big ? "UTF-16BE" : "UTF-16LE";
}

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Feeds *in through cd into out from *written on, growing out while iconv
// runs out of room; a null in flushes the shift state. 0, or iconv's errno.
int Feed(iconv_t cd, char** in, size_t* in_left, std::string* out, size_t* written) {
  for (;;) {
    char* target = out->data() + *written;
    size_t target_left = out->size() - *written;
    const size_t result = iconv(cd, in, in_left, &target, &target_left);
    *written = static_cast<size_t>(target - out->data());
    if (result != static_cast<size_t>(-1)) return 0;
    if (errno != E2BIG) return errno;
    out->resize(out->size() * 2);
  }
}

}  // namespace

IconvDescriptors::~IconvDescriptors() {
  for (const auto& [code_page, cd] : descriptors_) iconv_close(cd);
}

iconv_t IconvDescriptors::Get(uint32_t code_page) {
  if (const auto it = descriptors_.find(code_page); it != descriptors_.end()) {
    iconv(it->second, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return it->second;
  }
  const std::string charset = IconvCharsetName(code_page);
  if (charset.empty()) {
    errno = EINVAL;
    return kNoDescriptor;
  }
  // Failures are not kept: besides an unknown charset (EINVAL) they are
  // passing shortages of memory or descriptors.
  const iconv_t cd = from_unicode_ ? iconv_open(charset.c_str(), NativeUtf16())
                                   : iconv_open(NativeUtf16(), charset.c_str());
  if (cd != kNoDescriptor) descriptors_.emplace(code_page, cd);
  return cd;
}

bool IconvSystemConversion::Encode(uint32_t code_page, std::u16string_view text, std::string* out,
                                   bool* used_default, int* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  out->clear();
  if (used_default != nullptr) *used_default = false;
  const iconv_t cd = descriptors_.Get(code_page);
  if (cd == kNoDescriptor) {
    *error = errno;
    return false;
  }

  out->resize(text.size() * 2 + 16);
  size_t written = 0;
  size_t replaced = 0;
  char* const start = const_cast<char*>(reinterpret_cast<const char*>(text.data()));
  char* in = start;
  size_t in_left = text.size() * sizeof(char16_t);
  int result = 0;
  while ((result = Feed(cd, &in, &in_left, out, &written)) != 0) {
    // EILSEQ: a unit the target lacks or a lone surrogate; EINVAL: a high
    // surrogate at the end. Either is skipped, a valid pair as a whole.
    if (result != EILSEQ && result != EINVAL) break;
    const size_t at = static_cast<size_t>(in - start) / sizeof(char16_t);
    const bool pair =
        IsHighSurrogate(text[at]) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]);
    const size_t skip = (pair ? 2 : 1) * sizeof(char16_t);
    in += skip;
    in_left -= skip;
    // The "?" goes through the same descriptor, so that a stateful target
    // (ISO-2022-JP) switches back to ASCII for it.
    char16_t question = u'?';
    char* question_in = reinterpret_cast<char*>(&question);
    size_t question_left = sizeof question;
    if ((result = Feed(cd, &question_in, &question_left, out, &written)) != 0) break;
    ++replaced;
  }
  if (result == 0) result = Feed(cd, nullptr, nullptr, out, &written);
  if (result != 0) {
    out->clear();
    *error = result;
    return false;
  }
  out->resize(written);
  if (used_default != nullptr) *used_default = replaced > 0;
  return true;
}

bool IconvDecoder::Decode(uint32_t code_page, std::string_view bytes, std::u16string* out) {
  out->clear();
  const iconv_t cd = descriptors_.Get(code_page);
  if (cd == kNoDescriptor) return false;
  // Most pages give one unit a byte; the output grows when one gives more.
  std::string units(bytes.size() * sizeof(char16_t) + 16, '\0');
  size_t written = 0;
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  // EILSEQ: an invalid sequence; EINVAL: an incomplete one at the end.
  if (Feed(cd, &in, &in_left, &units, &written) != 0 ||
      Feed(cd, nullptr, nullptr, &units, &written) != 0) {
    return false;
  }
  out->resize(written / sizeof(char16_t));
  std::memcpy(out->data(), units.data(), out->size() * sizeof(char16_t));
  return true;
}

std::unique_ptr<SystemConversion> NewSystemConversion() {
  return std::make_unique<IconvSystemConversion>();
}

}  // namespace sorrel::platform
