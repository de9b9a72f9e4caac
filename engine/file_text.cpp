// The content of a file on its way through the steps, as text or as bytes.
#include "engine/file_text.h"

#include "engine/byte_transforms.h"
#include "engine/encode_table.h"
#include "engine/replacement.h"
#include "engine/transforms.h"
#include "engine/writer.h"

namespace sorrel {
namespace {

// String replacement runs on bytes only as a regular expression that
// matches ASCII only, over UTF-8 (ReplacesUtf8).
bool StepsRunOnBytes(const ConversionOptions& o) {
  return !o.ReplaceString || o.Replacement.use_regex;
}

// The content as bytes of the output page, or false to decode it.
bool TakeBytes(const JobContext& ctx, FileBytes& raw, uint32_t input_page, uint32_t output_page,
               const ConversionOptions& o, FileText* out, bool* valid) {
  *valid = true;
  if (!StepsRunOnBytes(o)) return false;
  const platform::BytePage* page = ctx.code_pages->BytePageFor(input_page);
  if (page == nullptr) return false;
  // A replacement on bytes needs UTF-8 and an expression that fits them.
  auto replaces = [&](const platform::BytePage& bytes_page, std::string_view bytes) {
    return !o.ReplaceString || (bytes_page.utf8 && ReplacesUtf8(o.Replacement, bytes));
  };
  if (output_page == input_page) {
    const platform::PageScan scan = platform::ScanPage(*page, raw.body());
    *valid = scan.valid;
    if (!scan.valid || !scan.plain) return false;
    if (o.InsLfChar != 0 && !OneUnitEach(raw.body(), *page)) return false;
    if (!replaces(*page, raw.body())) return false;
    raw.bytes.erase(0, raw.mark_length);
    out->bytes.swap(raw.bytes);
  } else if (IsUtf8CodePage(output_page) && !page->utf8) {
    std::string utf8;
    switch (platform::TranscodeToUtf8(*page, raw.body(), &utf8)) {
      case platform::Transcoding::Ok:
        break;
      case platform::Transcoding::Invalid:
        *valid = false;
        return false;
      case platform::Transcoding::NeedsText:
        return false;
    }
    page = ctx.code_pages->BytePageFor(output_page);
    if (!replaces(*page, utf8)) return false;
    out->bytes.swap(utf8);
  } else {
    return false;
  }
  CheckTextUnits(out->bytes, *page);
  out->byte_page = page;
  return true;
}

// The stages in their order over one kind of content; steps is called with
// each stage's operation on it.
template <typename Steps>
bool RunEachStage(const JobContext& ctx, const ConversionOptions& o,
                  const std::function<bool()>& aborted, bool* changed, int* entered, Steps steps) {
  auto stage = [&](bool gate, auto&& operation) {
    if (aborted()) return false;
    ++*entered;
    if (gate && operation()) *changed = true;
    return true;
  };
  const std::bitset<65536>* double_byte =
      o.Tab2Space ? &ctx.code_pages->DoubleByteUnits932() : nullptr;
  return stage(o.UnifyLineEndKind != -1, [&] { return steps.UnifyLineEnds(o.UnifyLineEndKind); }) &&
         stage(o.ZenSp2SpSp, [&] { return steps.SplitFullWidthSpaces(); }) &&
         stage(o.DelRightWhiteSpace, [&] { return steps.DeleteTrailingWhiteSpace(); }) &&
         stage(o.Tab2Space, [&] { return steps.ExpandTabs(o.Tab2SpaceClm, *double_byte); }) &&
         stage(o.DelControlCode, [&] { return steps.DeleteControlCodes(); }) &&
         stage(o.ControlCode2Space, [&] { return steps.ControlCodesToSpaces(); }) &&
         stage(o.InsLfChar != 0,
               [&] { return steps.InsertLineEndEveryNChars(o.InsLfChar, o.InsertLineEndKind); }) &&
         stage(o.ReplaceString, [&] { return steps.Replace(o.Replacement, aborted); });
}

struct TextSteps {
  TextBuffer& text;
  bool UnifyLineEnds(LineEndKind kind) { return sorrel::UnifyLineEnds(text, kind); }
  bool SplitFullWidthSpaces() { return sorrel::SplitFullWidthSpaces(text); }
  bool DeleteTrailingWhiteSpace() { return sorrel::DeleteTrailingWhiteSpace(text); }
  bool ExpandTabs(uint32_t width, const std::bitset<65536>& double_byte) {
    return sorrel::ExpandTabs(text, width, double_byte);
  }
  bool DeleteControlCodes() { return sorrel::DeleteControlCodes(text); }
  bool ControlCodesToSpaces() { return sorrel::ControlCodesToSpaces(text); }
  bool InsertLineEndEveryNChars(uint32_t n, LineEndKind kind) {
    return sorrel::InsertLineEndEveryNChars(text, n, kind);
  }
  bool Replace(const PreparedReplacement& prepared, const std::function<bool()>& aborted) {
    return ApplyReplacement(text, prepared, aborted);
  }
};

struct ByteSteps {
  std::string& bytes;
  const platform::BytePage& page;
  bool UnifyLineEnds(LineEndKind kind) { return sorrel::UnifyLineEnds(bytes, kind); }
  bool SplitFullWidthSpaces() { return sorrel::SplitFullWidthSpaces(bytes, page); }
  bool DeleteTrailingWhiteSpace() { return sorrel::DeleteTrailingWhiteSpace(bytes); }
  bool ExpandTabs(uint32_t width, const std::bitset<65536>& double_byte) {
    return sorrel::ExpandTabs(bytes, width, page, double_byte);
  }
  bool DeleteControlCodes() { return sorrel::DeleteControlCodes(bytes); }
  bool ControlCodesToSpaces() { return sorrel::ControlCodesToSpaces(bytes); }
  bool InsertLineEndEveryNChars(uint32_t n, LineEndKind kind) {
    return sorrel::InsertLineEndEveryNChars(bytes, n, kind, page);
  }
  bool Replace(const PreparedReplacement& prepared, const std::function<bool()>& aborted) {
    return ApplyReplacementToUtf8(bytes, prepared, aborted);
  }
};

}  // namespace

ReadResult PrepareFileText(const JobContext& ctx, FileBytes raw, uint32_t input_page,
                           uint32_t output_page, const ConversionOptions& o, FileText* out) {
  bool valid = true;
  if (TakeBytes(ctx, raw, input_page, output_page, o, out, &valid)) return ReadResult::Ok;
  if (!valid) return ReadResult::CannotDecode;
  return DecodeFileBytes(raw, input_page, out->text);
}

bool RunStages(const JobContext& ctx, FileText& content, const ConversionOptions& o,
               const std::function<bool()>& aborted, bool* changed, int* entered) {
  *entered = 0;
  if (content.byte_page != nullptr) {
    return RunEachStage(ctx, o, aborted, changed, entered,
                        ByteSteps{content.bytes, *content.byte_page});
  }
  return RunEachStage(ctx, o, aborted, changed, entered, TextSteps{content.text});
}

bool EncodeFileText(const JobContext& ctx, FileText content, uint32_t output_page, uint32_t bom,
                    std::string* data, std::u16string* what, std::u16string* detail) {
  if (content.byte_page != nullptr) {
    return MarkForWriting(ctx, std::move(content.bytes), output_page, bom, data, what, detail);
  }
  return EncodeForWriting(ctx, std::move(content.text), output_page, bom, data, what, detail);
}

}  // namespace sorrel
