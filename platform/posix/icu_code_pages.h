// The code-page service on ICU: strict decoding, encoding with "?" and no
// best fit, detection, and the two-byte units of code page 932.
#pragma once

#include <bitset>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/code_pages.h"

struct UConverter;  // ICU's, kept out of this header

namespace sorrel::platform {

// Code page 932 is served by our own converter (ms932-bestfit.cnv, built from
// Microsoft's table) because ICU's windows-31j swaps three control codes and
// rejects five single bytes that Windows maps. Every other page goes to the
// ICU converter that code_page_names gives it; a page ICU lacks is decoded
// through iconv, as the system conversion encodes it.
class IcuCodePageService : public CodePageService {
 public:
  // data_folder: the folder holding ms932-bestfit.cnv (the programs pass
  // ProgramFolder()). Nothing is loaded until the first Create.
  explicit IcuCodePageService(std::string data_folder);
  ~IcuCodePageService() override;
  IcuCodePageService(const IcuCodePageService&) = delete;
  IcuCodePageService& operator=(const IcuCodePageService&) = delete;

  // A converter of its own for each call, with its own cache of converters
  // (each page opened at most once). Null with ClassNotRegistered when the
  // 932 converter cannot be loaded from the data folder. Thread-safe.
  std::unique_ptr<CodePageConverter> Create(CreateStatus* status) override;

  // Built once per process from the 932 converter with fallbacks on (9,216
  // units). All clear when the converter data cannot be loaded at that time.
  const std::bitset<65536>& DoubleByteUnits932() override;

  // Built on first use from a converter of the page's own; the converters of
  // this service decode such a page through its tables.
  const BytePage* BytePageFor(uint32_t code_page) override;

 private:
  // The 932 converter, loaded on first use; null when it cannot be loaded.
  // Called with mutex_ held.
  UConverter* Prototype932();

  std::string data_folder_;
  std::mutex mutex_;
  UConverter* prototype_932_ = nullptr;
  // Null entries remember a page without tables.
  std::map<uint32_t, std::unique_ptr<BytePage>> byte_pages_;
};

}  // namespace sorrel::platform
