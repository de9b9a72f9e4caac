// UTF-8 and UTF-16 conversions by the rules of the Unicode standard.
#include "base/utf.h"

namespace sorrel {
namespace {

// The lone surrogates that stand for a byte that was not UTF-8.
constexpr char16_t kEscapeFirst = 0xDC80;
constexpr char16_t kEscapeLast = 0xDCFF;

// Decodes one well-formed UTF-8 sequence at bytes[i]; returns its length, or 0
// when the bytes there are not well-formed.
size_t DecodeOne(std::string_view bytes, size_t i, char32_t* cp) {
  auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char b0 = at(i);
  const size_t left = bytes.size() - i;
  if (b0 < 0x80) {
    *cp = b0;
    return 1;
  }
  size_t len;
  char32_t min;
  char32_t value;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, min = 0x80, value = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, min = 0x800, value = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, min = 0x10000, value = b0 & 0x07;
  } else {
    return 0;
  }
  if (left < len) return 0;
  for (size_t k = 1; k < len; ++k) {
    const unsigned char b = at(i + k);
    if ((b & 0xC0) != 0x80) return 0;
    value = (value << 6) | (b & 0x3F);
  }
  if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *cp = value;
  return len;
}

void Append(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<char16_t>(cp));
  } else {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  }
}

// Decodes bytes; a byte that starts no well-formed sequence goes to
// bad(byte, out).
template <typename Bad>
std::u16string DecodeUtf8(std::string_view bytes, Bad bad) {
  std::u16string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    char32_t cp;
    const size_t len = DecodeOne(bytes, i, &cp);
    if (len == 0) {
      bad(static_cast<unsigned char>(bytes[i]), out);
      ++i;
    } else {
      Append(out, cp);
      i += len;
    }
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Encodes text; a lone surrogate goes to lone(unit, out).
template <typename Lone>
std::string EncodeUtf8(std::u16string_view text, Lone lone) {
  std::string out;
  out.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      lone(text[i], out);
    } else {
      AppendUtf8(out, cp);
    }
  }
  return out;
}

}  // namespace

size_t Utf8Sequence(std::string_view bytes, char32_t* cp) {
  return bytes.empty() ? 0 : DecodeOne(bytes, 0, cp);
}

std::u16string Utf8ToUtf16(std::string_view bytes) {
  return DecodeUtf8(bytes, [](unsigned char, std::u16string& out) { out.push_back(u'\uFFFD'); });
}

bool Utf8ToUtf16Strict(std::string_view bytes, std::u16string* out) {
  out->clear();
  out->reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    char32_t cp;
    const size_t len = DecodeOne(bytes, i, &cp);
    if (len == 0) return false;
    Append(*out, cp);
    i += len;
  }
  return true;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  return EncodeUtf8(text, [](char16_t, std::string& out) { AppendUtf8(out, 0xFFFD); });
}

std::u16string BytesToUtf16(std::string_view bytes) {
  // Only bytes 0x80-0xFF can fail to decode: ASCII is always well-formed.
  return DecodeUtf8(bytes, [](unsigned char byte, std::u16string& out) {
    out.push_back(static_cast<char16_t>(kEscapeFirst + (byte - 0x80)));
  });
}

std::string Utf16ToBytes(std::u16string_view text) {
  return EncodeUtf8(text, [](char16_t unit, std::string& out) {
    if (unit >= kEscapeFirst && unit <= kEscapeLast) {
      out.push_back(static_cast<char>(0x80 + (unit - kEscapeFirst)));
    } else {
      AppendUtf8(out, 0xFFFD);
    }
  });
}

}  // namespace sorrel
