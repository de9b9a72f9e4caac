// The writer: the service's encoding, the system conversion where the
// service cannot convert, the mark, and the safe rewrite.
#include "engine/writer.h"

#include <memory>
#include <new>

#include "engine/encode_table.h"
#include "engine/messages.h"

namespace sorrel {
namespace {

// The writer takes what the reader takes: less than 4 GiB.
constexpr uint64_t kMaxOutputBytes = uint64_t{4} << 30;

const TextPair* CreateFailureDetail(platform::CreateStatus status) {
  switch (status) {
    case platform::CreateStatus::NoInterface:
      return &messages::kNoInterface;
    case platform::CreateStatus::NoAggregation:
      return &messages::kNoAggregation;
    case platform::CreateStatus::ClassNotRegistered:
      return &messages::kClassNotRegistered;
    default:
      return nullptr;
  }
}

std::string_view OutputMark(uint32_t code_page) {
  if (IsUtf8CodePage(code_page)) return "\xEF\xBB\xBF";
  if (IsUtf16BigEndianCodePage(code_page)) return "\xFE\xFF";
  if (IsUtf16CodePage(code_page)) return "\xFF\xFE";
  return {};
}

// The detail of the service's forced conversion, or null when nothing was
// changed.
const TextPair* ForcedConversionDetail(const platform::EncodeLosses& losses) {
  if (losses.replaced > 0 && losses.widened > 0) return &messages::kForcedAndWidenedDetail;
  if (losses.replaced > 0) return &messages::kForcedConversionDetail;
  if (losses.widened > 0) return &messages::kHalfWidthKanaWidenedDetail;
  return nullptr;
}

// The system conversion knows EUC-JP by another number.
uint32_t SystemCodePage(uint32_t code_page) {
  return code_page == 51932 ? 20932 : code_page;
}

// Encodes text into out; false with what and detail set on failure.
bool Encode(const JobContext& ctx, const TextBuffer& text, uint32_t code_page, std::string* out,
            std::u16string* what, std::u16string* detail) {
  platform::CreateStatus status;
  std::unique_ptr<platform::CodePageConverter> converter = ctx.code_pages->Create(&status);
  if (!converter) {
    *what = ctx.Text(messages::kCoCreateFailed);
    if (const TextPair* pair = CreateFailureDetail(status)) *detail = ctx.Text(*pair);
    return false;
  }
  platform::EncodeLosses losses;
  switch (converter->Encode(code_page, text, out, &losses)) {
    case platform::EncodeStatus::Ok:
      // The file is still written; the report line says what was changed.
      if (const TextPair* changed = ForcedConversionDetail(losses)) {
        *what = ctx.Text(messages::kForcedConversion);
        *detail = ctx.Text(*changed);
      }
      return true;
    case platform::EncodeStatus::Failed:
      *what = ctx.Text(messages::kConversionError);
      *detail = ctx.Text(messages::kConvertFromUnicodeFailed);
      return false;
    case platform::EncodeStatus::CannotConvert:
      break;
  }
  const uint32_t system_page = SystemCodePage(code_page);
  const bool flag_wanted = system_page != 65000 && system_page != 65001;
  bool used_default = false;
  int error = 0;
  if (!ctx.system_conversion->Encode(system_page, text, out, flag_wanted ? &used_default : nullptr,
                                     &error)) {
    *what = ctx.Text(messages::kSystemConversionError);
    *detail = SystemErrorText(ctx, error);
    return false;
  }
  if (used_default) {
    *what = ctx.Text(messages::kForcedConversion);
    *detail = ctx.Text(messages::kForcedConversionDetail);
  }
  return true;
}

// Puts the mark in front of data.
void PutMark(std::string* data, std::string_view mark) {
  if (mark.size() + uint64_t{data->size()} >= kMaxOutputBytes) throw std::bad_alloc();
  data->insert(0, mark);  // in place: the encoder left room behind the bytes
}

}  // namespace

std::u16string SystemErrorText(const JobContext& ctx, int code) {
  return ctx.fs->SystemErrorText(ctx.language, code);
}

bool EncodeForWriting(const JobContext& ctx, TextBuffer text, uint32_t code_page, uint32_t bom,
                      std::string* data, std::u16string* what, std::u16string* detail) {
  const std::string_view mark = bom == 1 ? OutputMark(code_page) : std::string_view();
  // UTF-16 takes two bytes a unit: a text that cannot fit is refused before
  // it is encoded.
  if (IsUtf16CodePage(code_page) && mark.size() + 2 * uint64_t{text.size()} >= kMaxOutputBytes) {
    throw std::bad_alloc();
  }
  if (!Encode(ctx, text, code_page, data, what, detail)) return false;
  TextBuffer().swap(text);  // the text is no longer needed while the file is written
  PutMark(data, mark);
  return true;
}

bool MarkForWriting(const JobContext& ctx, std::string bytes, uint32_t code_page, uint32_t bom,
                    std::string* data, std::u16string* what, std::u16string* detail) {
  // The service is created as the encoding of a text creates it, so that a
  // failure reads the same.
  platform::CreateStatus status;
  if (!ctx.code_pages->Create(&status)) {
    *what = ctx.Text(messages::kCoCreateFailed);
    if (const TextPair* pair = CreateFailureDetail(status)) *detail = ctx.Text(*pair);
    return false;
  }
  data->swap(bytes);
  PutMark(data, bom == 1 ? OutputMark(code_page) : std::string_view());
  return true;
}

bool RewriteOutcome(const JobContext& ctx, const platform::RewriteResult& result,
                    std::u16string* what, std::u16string* detail) {
  switch (result.status) {
    case platform::RewriteStatus::Ok:
      return true;
    case platform::RewriteStatus::CannotOpen:
      *what = ctx.Text(messages::kCannotOpenForWrite);
      *detail = SystemErrorText(ctx, result.error);
      return false;
    case platform::RewriteStatus::WriteError:
      *what = ctx.Text(messages::kWriteError);
      *detail = SystemErrorText(ctx, result.error);
      return false;
    case platform::RewriteStatus::Changed:
      *what = ctx.Text(messages::kCannotOpenForWrite);
      *detail = ctx.Text(messages::kChangedSinceRead);
      return false;
    case platform::RewriteStatus::OthersPending:
      *what = ctx.Text(messages::kCannotOpenForWrite);
      *detail = ctx.Text(messages::kOthersRewritePending);
      return false;
    case platform::RewriteStatus::FolderNotWritable:
      *what = ctx.Text(messages::kCannotOpenForWrite);
      *detail = ctx.Text(messages::kFolderNotWritable);
      return false;
    case platform::RewriteStatus::AttributesLost:
      *what = ctx.Text(messages::kCannotKeepAttributes);
      *detail = SystemErrorText(ctx, result.error);
      return false;
  }
  return false;
}

bool WriteTextFile(JobContext& ctx, const std::string& name, TextBuffer text, uint32_t code_page,
                   uint32_t bom, const platform::FileSnapshot& snapshot, std::u16string* what,
                   std::u16string* detail) {
  std::string data;
  if (!EncodeForWriting(ctx, std::move(text), code_page, bom, &data, what, detail)) return false;
  return RewriteOutcome(ctx, ctx.fs->RewriteFile(name, snapshot, data), what, detail);
}

}  // namespace sorrel
