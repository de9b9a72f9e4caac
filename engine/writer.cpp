// The writer: the service's encoding, the system conversion where the
// service cannot convert, the mark, and the safe rewrite.
#include "engine/writer.h"

#include <memory>

#include "engine/encode_table.h"
#include "engine/messages.h"

namespace sorrel {
namespace {

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

// The system conversion knows EUC-JP by another number.
uint32_t SystemCodePage(uint32_t code_page) {
  return code_page == 51932 ? 20932 : code_page;
}

// Encodes text into out; false with what and detail set on failure.
bool Encode(JobContext& ctx, const TextBuffer& text, uint32_t code_page, std::string* out,
            std::u16string* what, std::u16string* detail) {
  platform::CreateStatus status;
  std::unique_ptr<platform::CodePageConverter> converter = ctx.code_pages->Create(&status);
  if (!converter) {
    *what = ctx.Text(messages::kCoCreateFailed);
    if (const TextPair* pair = CreateFailureDetail(status)) *detail = ctx.Text(*pair);
    return false;
  }
  switch (converter->Encode(code_page, text, out)) {
    case platform::EncodeStatus::Ok:
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

}  // namespace

std::u16string SystemErrorText(JobContext& ctx, int code) {
  return ctx.fs->SystemErrorText(ctx.language, code);
}

bool WriteTextFile(JobContext& ctx, const std::string& name, TextBuffer text, uint32_t code_page,
                   uint32_t bom, const platform::FileSnapshot& snapshot, std::u16string* what,
                   std::u16string* detail) {
  std::string data;
  if (bom == 1) data = OutputMark(code_page);
  std::string encoded;
  if (!Encode(ctx, text, code_page, &encoded, what, detail)) return false;
  TextBuffer().swap(text);  // the text is no longer needed while the file is written
  if (data.empty()) {
    data.swap(encoded);
  } else {
    data.append(encoded);
    std::string().swap(encoded);
  }

  const platform::RewriteResult result = ctx.fs->RewriteFile(name, snapshot, data);
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
    case platform::RewriteStatus::AttributesLost:
      *what = ctx.Text(messages::kCannotKeepAttributes);
      *detail = SystemErrorText(ctx, result.error);
      return false;
  }
  return false;
}

}  // namespace sorrel
