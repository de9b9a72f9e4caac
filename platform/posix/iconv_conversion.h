// The system conversion on glibc iconv, for the code pages that the
// code-page service cannot encode.
#pragma once

#include <iconv.h>

#include <map>

#include "platform/code_pages.h"

namespace sorrel::platform {

// iconv stops at the first unit the target lacks; this conversion puts the
// target's "?" in its place, goes on, and reports that it did, as the Windows
// conversion does with its default character. Not thread-safe: one object
// per job.
class IconvSystemConversion : public SystemConversion {
 public:
  IconvSystemConversion() = default;
  ~IconvSystemConversion() override;
  IconvSystemConversion(const IconvSystemConversion&) = delete;
  IconvSystemConversion& operator=(const IconvSystemConversion&) = delete;

  // out is replaced. *used_default (when given) tells whether a unit was
  // replaced by "?"; a lone surrogate counts as such a unit. False with errno's
  // value in *error: EINVAL when code_page has no iconv charset, or what iconv
  // reports when it fails otherwise.
  bool Encode(uint32_t code_page, std::u16string_view text, std::string* out, bool* used_default,
              int* error) override;

 private:
  // The descriptor for code_page, opened on first use; (iconv_t)-1 with
  // errno set when there is none.
  iconv_t Descriptor(uint32_t code_page);

  std::map<uint32_t, iconv_t> descriptors_;
};

}  // namespace sorrel::platform
