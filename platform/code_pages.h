// The code-page seam: detection, strict decoding and encoding of text by
// Windows code-page number, and the system's own conversion for the pages the
// code-page service cannot encode.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/byte_page.h"

namespace sorrel::platform {

enum class EncodeStatus {
  Ok,
  CannotConvert,  // the service cannot convert into this code page
  Failed,         // the conversion itself failed
};

// What an encoding could not keep as it was, counted in characters.
struct EncodeLosses {
  size_t replaced = 0;  // characters the code page lacks, written as "?"
  size_t widened = 0;   // half-width katakana written in full width (50220)
};

// One service object; the reader and the writer each create their own. One
// thread at a time.
class CodePageConverter {
 public:
  virtual ~CodePageConverter() = default;
  // The one best code page for the bytes; false when there is no answer.
  virtual bool Detect(std::string_view bytes, uint32_t* code_page) = 0;
  // Decodes strictly: false when a byte sequence is not valid in the code page
  // or the code page is unknown. out is replaced.
  virtual bool Decode(uint32_t code_page, std::string_view bytes, std::u16string* out) = 0;
  // Encodes; a character the code page lacks becomes "?" (no best fit).
  // UTF-16 keeps every unit as it is, a lone surrogate too. losses (when
  // given) receives what was changed on the way.
  virtual EncodeStatus Encode(uint32_t code_page, std::u16string_view text, std::string* out,
                              EncodeLosses* losses) = 0;
};

// Why the service could not be created.
enum class CreateStatus { Ok, NoInterface, NoAggregation, ClassNotRegistered, Other };

// Thread-safe.
class CodePageService {
 public:
  virtual ~CodePageService() = default;
  // A new converter, or null with the reason in status.
  virtual std::unique_ptr<CodePageConverter> Create(CreateStatus* status) = 0;
  // The units that code page 932 (with best fit) encodes as two bytes; the
  // two-column test of tab expansion. Built once.
  virtual const std::bitset<65536>& DoubleByteUnits932() = 0;
  // The tables of code_page, built once from the converter that decodes and
  // encodes it, or null when the page is not an ASCII-compatible page of the
  // layout BytePage describes (UTF-16, UTF-7, the JIS and EBCDIC pages, a
  // page the service cannot convert). Thread-safe.
  virtual const BytePage* BytePageFor(uint32_t code_page) = 0;
  // Whether a converter may be made on any thread, or only on the one that
  // made the service.
  virtual bool ConvertsOnAnyThread() const { return true; }
};

class SystemConversion {
 public:
  virtual ~SystemConversion() = default;
  // Encodes text into code_page; what the page lacks becomes its default
  // character and sets *used_default (when given). False on failure, with the
  // system's error code in *error. Thread-safe.
  virtual bool Encode(uint32_t code_page, std::u16string_view text, std::string* out,
                      bool* used_default, int* error) = 0;
};

// The platform's code-page service, and its system conversion.
std::unique_ptr<CodePageService> NewCodePageService();
std::unique_ptr<SystemConversion> NewSystemConversion();

}  // namespace sorrel::platform
