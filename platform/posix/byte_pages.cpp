// The tables of a page, code by code from its converter.
#include "platform/posix/byte_pages.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>

#include <string_view>

namespace sorrel::platform {
namespace {

enum class Decoded { Valid, Truncated, Invalid };

// Asks the converter about one byte sequence: strict decoding from the
// initial state, flushed, as the reader decodes a whole file.
class Prober {
 public:
  explicit Prober(UConverter* converter) : converter_(converter) {
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter_, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    ucnv_setFromUCallBack(converter_, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    ucnv_setFallback(converter_, false);
    ok_ = U_SUCCESS(error);
  }
  bool ok() const { return ok_; }

  // The units of bytes in units_ (length in count_).
  Decoded Decode(std::string_view bytes) {
    ucnv_resetToUnicode(converter_);
    const char* source = bytes.data();
    UChar* target = units_;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_toUnicode(converter_, &target, units_ + kMaxUnits, &source, bytes.data() + bytes.size(),
                   nullptr, true, &error);
    count_ = static_cast<size_t>(target - units_);
    if (error == U_TRUNCATED_CHAR_FOUND) return Decoded::Truncated;
    return U_SUCCESS(error) ? Decoded::Valid : Decoded::Invalid;
  }

  // Whether the units decoded last encode to exactly bytes.
  bool EncodesBackTo(std::string_view bytes) {
    ucnv_resetFromUnicode(converter_);
    char encoded[16];
    char* target = encoded;
    const UChar* source = units_;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_fromUnicode(converter_, &target, encoded + sizeof encoded, &source, units_ + count_,
                     nullptr, true, &error);
    return U_SUCCESS(error) &&
           std::string_view(encoded, static_cast<size_t>(target - encoded)) == bytes;
  }

  // The entry of bytes, which decoded to the units decoded last.
  PageEntry Entry(std::string_view bytes) {
    if (count_ == 0) return 0;  // a shift or an escape: not a character
    PageEntry entry = BytePage::kValid | units_[0];
    if (count_ > 1) return entry | BytePage::kSeveralUnits;
    const char16_t unit = units_[0];
    const bool ascii = bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) < 0x80;
    const bool special = unit <= 0x20 || (unit >= 0xD800 && unit <= 0xDFFF);
    if ((ascii || !special) && EncodesBackTo(bytes)) entry |= BytePage::kPlain;
    return entry;
  }

 private:
  static constexpr size_t kMaxUnits = 8;
  UConverter* converter_;
  bool ok_ = false;
  UChar units_[kMaxUnits];
  size_t count_ = 0;
};

std::string_view View(const unsigned char* bytes, size_t length) {
  return {reinterpret_cast<const char*>(bytes), length};
}

// Whether a character of several bytes may be taken as such in the bytes:
// it starts at 0x80 or more, and none of its bytes is a control code or a
// space.
bool SafeBytes(const unsigned char* bytes, size_t length) {
  if (bytes[0] < 0x80) return false;
  for (size_t i = 1; i < length; ++i) {
    if (bytes[i] <= 0x20) return false;
  }
  return true;
}

// Fills the two-byte entries of lead; false when its characters are not all
// of that length and safe.
bool AddPairs(Prober& prober, unsigned char lead, BytePage* page, bool* has_triples) {
  bool any = false;
  for (int trail = 0; trail < 256; ++trail) {
    const unsigned char bytes[2] = {lead, static_cast<unsigned char>(trail)};
    switch (prober.Decode(View(bytes, 2))) {
      case Decoded::Valid: {
        const PageEntry entry = prober.Entry(View(bytes, 2));
        if (entry == 0 || !SafeBytes(bytes, 2)) return false;
        if (page->pairs.empty()) page->pairs.assign(65536, 0);
        page->pairs[lead << 8 | trail] = entry;
        any = true;
        break;
      }
      case Decoded::Truncated:
        *has_triples = true;
        break;
      case Decoded::Invalid:
        break;
    }
  }
  if (any && *has_triples) return false;  // two lengths after one lead
  if (any) page->length[lead] = 2;
  return true;
}

// Fills the three-byte entries of lead, the only such lead of the page.
bool AddTriples(Prober& prober, unsigned char lead, BytePage* page) {
  if (!page->triples.empty()) return false;
  page->triples.assign(65536, 0);
  page->triple_lead = lead;
  page->length[lead] = 3;
  for (int second = 0; second < 256; ++second) {
    const unsigned char two[2] = {lead, static_cast<unsigned char>(second)};
    if (prober.Decode(View(two, 2)) != Decoded::Truncated) continue;
    for (int third = 0; third < 256; ++third) {
      const unsigned char bytes[3] = {lead, static_cast<unsigned char>(second),
                                      static_cast<unsigned char>(third)};
      const Decoded decoded = prober.Decode(View(bytes, 3));
      if (decoded == Decoded::Truncated) return false;  // four bytes and more
      if (decoded == Decoded::Invalid) continue;
      const PageEntry entry = prober.Entry(View(bytes, 3));
      if (entry == 0 || !SafeBytes(bytes, 3)) return false;
      page->triples[second << 8 | third] = entry;
    }
  }
  return true;
}

}  // namespace

std::unique_ptr<BytePage> BuildBytePage(UConverter* converter, uint32_t code_page) {
  Prober prober(converter);
  if (!prober.ok()) return nullptr;
  auto page = std::make_unique<BytePage>();
  page->code_page = code_page;
  for (int b = 0; b < 256; ++b) {
    const unsigned char byte = static_cast<unsigned char>(b);
    const Decoded decoded = prober.Decode(View(&byte, 1));
    if (decoded == Decoded::Valid) {
      const PageEntry entry = prober.Entry(View(&byte, 1));
      if (entry == 0) return nullptr;
      if (b < 0x80 && entry != (BytePage::kValid | BytePage::kPlain | b)) return nullptr;
      page->single[b] = entry;
      page->length[b] = 1;
      continue;
    }
    if (b < 0x80) return nullptr;
    if (decoded == Decoded::Invalid) continue;
    bool has_triples = false;
    if (!AddPairs(prober, byte, page.get(), &has_triples)) return nullptr;
    if (has_triples && !AddTriples(prober, byte, page.get())) return nullptr;
  }
  AddUtf8Tables(page.get());
  return page;
}

}  // namespace sorrel::platform
