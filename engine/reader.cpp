// The reader: one read, the code page by mark, list or detection, the raw
// byte edits, and a strict decode.
#include "engine/reader.h"

#include <algorithm>
#include <memory>
#include <new>

#include "base/text_format.h"
#include "base/utf.h"
#include "engine/encode_table.h"
#include "engine/messages.h"
#include "engine/report.h"

namespace sorrel {
namespace {

// The code page of the read list's index, for a file without a mark; false
// when it has to be detected.
bool ListedCodePage(short read_index, uint32_t* code_page) {
  if (read_index == kOtherIndex) return true;  // keeps CharEncodeOther
  if (read_index > kAutomaticIndex && read_index < kOtherIndex) {
    *code_page = EncodeTable[read_index].code_page;
    return true;
  }
  return false;
}

// The length of a byte-order mark at the front, and its code page.
size_t ByteOrderMark(const std::string& bytes, uint32_t* code_page) {
  auto starts = [&](std::string_view mark) { return bytes.compare(0, mark.size(), mark) == 0; };
  if (bytes.size() >= 3 && starts("\xEF\xBB\xBF")) {
    *code_page = EncodeTable[4].code_page;
    return 3;
  }
  if (bytes.size() >= 2 && starts("\xFF\xFE")) {
    *code_page = EncodeTable[2].code_page;
    return 2;
  }
  if (bytes.size() >= 2 && starts("\xFE\xFF")) {
    *code_page = EncodeTable[3].code_page;
    return 2;
  }
  return 0;
}

// Whether bytes are UTF-32 with a byte-order mark. FF FE 00 00 is also the
// UTF-16LE mark before a zero unit, which a length that is not a multiple of
// four tells apart.
bool HasUtf32Mark(const std::string& bytes) {
  using namespace std::string_view_literals;
  return bytes.size() % 4 == 0 &&
         (bytes.starts_with("\xFF\xFE\0\0"sv) || bytes.starts_with("\0\0\xFE\xFF"sv));
}

std::string LineEndBytes(LineEndKind kind, uint32_t code_page) {
  std::u16string units;
  switch (kind) {
    case kLineEndCrLf:
      units = u"\r\n";
      break;
    case kLineEndLf:
      units = u"\n";
      break;
    case kLineEndCr:
      units = u"\r";
      break;
    default:
      return {};
  }
  std::string bytes;
  for (char16_t u : units) {
    if (!IsUtf16CodePage(code_page)) {
      bytes.push_back(static_cast<char>(u));
    } else if (IsUtf16BigEndianCodePage(code_page)) {
      bytes.push_back('\0');
      bytes.push_back(static_cast<char>(u));
    } else {
      bytes.push_back(static_cast<char>(u));
      bytes.push_back('\0');
    }
  }
  return bytes;
}

// UTF-16 as the writer writes it: every unit as it is, a lone surrogate
// too. False for an odd number of bytes.
bool DecodeUtf16Units(std::string_view bytes, bool big_endian, TextBuffer* text) {
  if (bytes.size() % 2 != 0) return false;
  CheckTextLength(bytes.size() / 2);
  text->resize(bytes.size() / 2);
  for (size_t i = 0; i < text->size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    (*text)[i] = static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first);
  }
  return true;
}

// Asks whether an odd n may cut the units of a UTF-16 file.
bool ConfirmOddCut(JobContext& ctx, const std::string& name, uint32_t n) {
  const std::u16string question =
      FormatText(messages::kOddUtf16Question, {ShownName(name), int64_t{n}});
  return ctx.ui->MessageBox(question, messages::kOddUtf16Caption, platform::Buttons::YesNo,
                            platform::Icon::Question) != platform::Answer::No;
}

}  // namespace

size_t RemoveNulBytes(std::string& bytes, bool utf16) {
  const size_t before = bytes.size();
  // Nothing moves before the first zero, and most files have none.
  if (!utf16) {
    const size_t first = bytes.find('\0');
    if (first != std::string::npos) {
      bytes.erase(std::remove(bytes.begin() + first, bytes.end(), '\0'), bytes.end());
    }
    return before - bytes.size();
  }
  auto zero_unit = [&bytes](size_t i) { return bytes[i] == '\0' && bytes[i + 1] == '\0'; };
  size_t i = 0;
  while (i + 1 < bytes.size() && !zero_unit(i)) i += 2;
  size_t out = i;
  for (; i + 1 < bytes.size(); i += 2) {
    if (zero_unit(i)) continue;
    bytes[out++] = bytes[i];
    bytes[out++] = bytes[i + 1];
  }
  if (i < bytes.size()) bytes[out++] = bytes[i];
  bytes.resize(out);
  return (before - out) / 2;
}

void InsertLineEndEveryNBytes(std::string& bytes, size_t skip, uint32_t n, LineEndKind kind,
                              uint32_t code_page) {
  const std::string line_end = LineEndBytes(kind, code_page);
  if (n == 0 || line_end.empty() || bytes.size() <= skip) return;
  const uint64_t content = bytes.size() - skip;
  const uint64_t cuts = (content - 1) / n;  // one line end between pieces, at most
  if (cuts == 0) return;
  const uint64_t grown = bytes.size() + cuts * line_end.size();
  // Counts and positions are 32-bit; a longer buffer cannot be held.
  if (grown > UINT32_MAX) throw std::bad_alloc();
  // Whole units are cut in UTF-16 with an even n; a pair counts as one
  // character then and is never cut in two.
  const bool whole_units = IsUtf16CodePage(code_page) && n % 2 == 0;
  const size_t high_byte = IsUtf16BigEndianCodePage(code_page) ? 0 : 1;
  const auto surrogate_at = [&bytes, high_byte](uint64_t unit, unsigned first) {
    const auto high = static_cast<unsigned char>(bytes[unit + high_byte]);
    return high >= first && high <= first + 3;
  };
  std::string out;
  out.reserve(grown);
  out.append(bytes, 0, skip);
  for (uint64_t pos = skip; pos < bytes.size();) {
    if (pos != skip) out.append(line_end);
    uint64_t end = std::min<uint64_t>(pos + n, bytes.size());
    if (whole_units && end + 1 < bytes.size() && surrogate_at(end - 2, 0xD8) &&
        surrogate_at(end, 0xDC)) {
      end += 2;
    }
    out.append(bytes, pos, end - pos);
    pos = end;
  }
  bytes.swap(out);
}

ReadResult ReadRawFile(JobContext& ctx, const std::string& name, std::string* bytes,
                       platform::FileSnapshot* snapshot) {
  bytes->clear();
  switch (ctx.fs->ReadWholeFile(name, bytes, snapshot)) {
    case platform::ReadStatus::Ok:
      return ReadResult::Ok;
    case platform::ReadStatus::CannotOpen:
      return ReadResult::CannotOpen;
    case platform::ReadStatus::Empty:
      return ReadResult::Empty;
    case platform::ReadStatus::ReadError:
      return ReadResult::ReadError;
    case platform::ReadStatus::NotFollowed:
      return ReadResult::NotFollowed;
  }
  return ReadResult::ReadError;
}

ReadResult SettleFileBytes(JobContext& ctx, const std::string& name, std::string bytes,
                           short read_index, uint32_t& code_page, uint32_t& bom, LineEndKind kind,
                           uint32_t n, bool may_ask, FileBytes* out) {
  bom = 0;
  out->bytes.swap(bytes);
  if (HasUtf32Mark(out->bytes)) return ReadResult::Utf32;

  platform::CreateStatus status;
  out->converter = ctx.code_pages->Create(&status);
  if (!out->converter) return ReadResult::NoService;

  out->mark_length = ByteOrderMark(out->bytes, &code_page);
  bool settled = true;  // by the mark or the list
  if (out->mark_length > 0) {
    bom = 1;
  } else if (!ListedCodePage(read_index, &code_page)) {
    settled = false;
    uint32_t detected;
    code_page = out->converter->Detect(out->bytes, &detected) ? detected : EncodeTable[1].code_page;
    if (!IsUtf16CodePage(code_page) && out->bytes.find('\0') != std::string::npos) {
      return ReadResult::Binary;
    }
  }

  const bool utf16 = IsUtf16CodePage(code_page);
  if (n > 0 && utf16 && n % 2 == 1) {
    if (!may_ask) return ReadResult::Unasked;
    if (!ConfirmOddCut(ctx, name, n)) return ReadResult::Aborted;
  }
  out->nul_removed = RemoveNulBytes(out->bytes, utf16);
  if (n > 0) InsertLineEndEveryNBytes(out->bytes, out->mark_length, n, kind, code_page);
  out->utf16_units = utf16 && settled;
  return ReadResult::Ok;
}

ReadResult ReadFileBytes(JobContext& ctx, const std::string& name, short read_index,
                         uint32_t& code_page, uint32_t& bom, LineEndKind kind, uint32_t n,
                         platform::FileSnapshot* snapshot, FileBytes* out) {
  bom = 0;
  std::string bytes;
  const ReadResult result = ReadRawFile(ctx, name, &bytes, snapshot);
  if (result != ReadResult::Ok) return result;
  return SettleFileBytes(ctx, name, std::move(bytes), read_index, code_page, bom, kind, n, true,
                         out);
}

ReadResult DecodeFileBytes(const FileBytes& bytes, uint32_t code_page, TextBuffer& text) {
  const bool decoded =
      bytes.utf16_units ? DecodeUtf16Units(bytes.body(), IsUtf16BigEndianCodePage(code_page), &text)
                        : bytes.converter->Decode(code_page, bytes.body(), &text);
  if (!decoded) {
    text.clear();
    return ReadResult::CannotDecode;
  }
  CheckTextLength(text.size());
  return ReadResult::Ok;
}

ReadResult ReadTextFile(JobContext& ctx, const std::string& name, TextBuffer& text,
                        short read_index, uint32_t& code_page, uint32_t& bom, LineEndKind kind,
                        uint32_t n, platform::FileSnapshot* snapshot) {
  text.clear();
  FileBytes bytes;
  const ReadResult result =
      ReadFileBytes(ctx, name, read_index, code_page, bom, kind, n, snapshot, &bytes);
  if (result != ReadResult::Ok) return result;
  return DecodeFileBytes(bytes, code_page, text);
}

}  // namespace sorrel
