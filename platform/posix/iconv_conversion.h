// glibc iconv for the code pages ICU lacks: the system conversion, which
// encodes with "?" for what the target lacks, and a strict decoder.
#pragma once

#include <iconv.h>

#include <map>
#include <mutex>

#include "platform/code_pages.h"

namespace sorrel::platform {

// The iconv descriptors of one direction (to or from the machine's UTF-16),
// one per code page, each opened on first use and closed with the cache.
class IconvDescriptors {
 public:
  explicit IconvDescriptors(bool from_unicode) : from_unicode_(from_unicode) {}
  ~IconvDescriptors();
  IconvDescriptors(const IconvDescriptors&) = delete;
  IconvDescriptors& operator=(const IconvDescriptors&) = delete;

  // The descriptor for code_page in its initial shift state; (iconv_t)-1
  // with errno set when there is none (EINVAL: no iconv charset for it).
  iconv_t Get(uint32_t code_page);

 private:
  bool from_unicode_;
  std::map<uint32_t, iconv_t> descriptors_;
};

// iconv stops at the first unit the target lacks; this conversion puts the
// target's "?" in its place, goes on, and reports that it did, as the Windows
// conversion does with its default character. Thread-safe: the job's
// threads take turns.
class IconvSystemConversion : public SystemConversion {
 public:
  // out is replaced. *used_default (when given) tells whether a unit was
  // replaced by "?"; a lone surrogate counts as such a unit. False with errno's
  // value in *error: EINVAL when code_page has no iconv charset, or what iconv
  // reports when it fails otherwise.
  bool Encode(uint32_t code_page, std::u16string_view text, std::string* out, bool* used_default,
              int* error) override;

 private:
  std::mutex mutex_;
  IconvDescriptors descriptors_{/*from_unicode=*/true};
};

// Decodes bytes of code_page strictly into out: false, with out empty, when
// a byte sequence is not valid or not complete in the page, or when iconv
// has no charset for it. Not thread-safe: one object per converter.
class IconvDecoder {
 public:
  bool Decode(uint32_t code_page, std::string_view bytes, std::u16string* out);

 private:
  IconvDescriptors descriptors_{/*from_unicode=*/false};
};

}  // namespace sorrel::platform
