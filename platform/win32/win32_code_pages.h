// The code-page seam on Windows: the MultiLanguage service (IMultiLanguage2)
// for detection and for the pages only it converts, the system conversion
// (MultiByteToWideChar with MB_ERR_INVALID_CHARS) for strict decoding of the
// pages the system knows, UTF-16 in both byte orders by hand, and
// WideCharToMultiByte as the system conversion of the writer.
#pragma once

#include <bitset>
#include <memory>
#include <mutex>

#include "platform/code_pages.h"

namespace sorrel::platform {

// Needs COM initialised on the calling thread (start-up does it).
class Win32CodePageService : public CodePageService {
 public:
  // One IMultiLanguage2 object per converter, released with it. The reason
  // for a failed CoCreateInstance is passed on in status.
  std::unique_ptr<CodePageConverter> Create(CreateStatus* status) override;
  // The units that WideCharToMultiByte (with best fit) writes as two bytes
  // in code page 932. Built once.
  const std::bitset<65536>& DoubleByteUnits932() override;

 private:
  std::once_flag once_;
  std::bitset<65536> double_byte_;
};

class Win32SystemConversion : public SystemConversion {
 public:
  bool Encode(uint32_t code_page, std::u16string_view text, std::string* out, bool* used_default,
              int* error) override;
};

}  // namespace sorrel::platform
