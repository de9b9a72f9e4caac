// Per-file processing: the stage pipeline with its abort checks, the write
// decision, the backup, the time stamps, the counters and the report lines.
#include "engine/process_file.h"

#include <new>
#include <stdexcept>

#include "base/text_format.h"
#include "base/utf.h"
#include "engine/encode_table.h"
#include "engine/messages.h"
#include "engine/reader.h"
#include "engine/replacement.h"
#include "engine/report.h"
#include "engine/transforms.h"
#include "engine/walk.h"
#include "engine/writer.h"

namespace sorrel {
namespace {

void EmitNamed(JobContext& ctx, const TextPair& pair, std::u16string_view name) {
  EmitReportLine(ctx, FormatText(ctx.Text(pair), {name}));
}

const TextPair* ReadResultLine(ReadResult result, uint32_t ins_lf_byte) {
  switch (result) {
    case ReadResult::Ok:
      return nullptr;
    case ReadResult::CannotOpen:
      return &messages::kCannotOpen;
    case ReadResult::Empty:
      return &messages::kEmpty;
    case ReadResult::ReadError:
      return &messages::kReadError;
    case ReadResult::NoService:
      return &messages::kNoService;
    case ReadResult::CannotDecode:
      return ins_lf_byte == 0 ? &messages::kCannotDecode : &messages::kCannotDecodeInsLfByte;
    case ReadResult::Aborted:
      return &messages::kFileAborted;
    case ReadResult::Binary:
      return &messages::kBinarySkipped;
    case ReadResult::NotFollowed:
      return &messages::kLinkNotFollowed;
    case ReadResult::Utf32:
      return &messages::kUtf32Skipped;
  }
  return nullptr;
}

// True when name leads to a file that this walk has processed and that is
// still in the state the walk left it in.
bool WalkedBefore(JobContext& ctx, const std::string& name) {
  platform::FileSnapshot now;
  if (ctx.walked_files == nullptr || !ctx.fs->FileId(name, &now)) return false;
  const auto found = ctx.walked_files->find({now.device, now.inode});
  return found != ctx.walked_files->end() && platform::SameFileState(found->second, now);
}

void Remember(JobContext& ctx, const platform::FileSnapshot& state) {
  if (ctx.walked_files != nullptr) (*ctx.walked_files)[{state.device, state.inode}] = state;
}

// Notes the state that name's file is in now. A rewrite may have given the
// file a new number and freed before, the one it was read under, which the
// system may hand to the next file made: that one is forgotten.
void RememberAfterWrite(JobContext& ctx, const std::string& name,
                        const platform::FileSnapshot* before) {
  if (ctx.walked_files == nullptr) return;
  if (before != nullptr) ctx.walked_files->erase({before->device, before->inode});
  platform::FileSnapshot now;
  if (ctx.fs->FileId(name, &now)) Remember(ctx, now);
}

// Runs the stages in their fixed order with an abort check before each;
// false when the run is to stop.
bool RunStages(JobContext& ctx, TextBuffer& text, const ConversionOptions& o, bool* changed) {
  auto stage = [&](bool gate, auto&& operation) {
    if (IsAbortRequested(ctx)) return false;
    if (gate && operation()) *changed = true;
    return true;
  };
  const std::bitset<65536>* double_byte =
      o.Tab2Space ? &ctx.code_pages->DoubleByteUnits932() : nullptr;
  return stage(o.UnifyLineEndKind != -1, [&] { return UnifyLineEnds(text, o.UnifyLineEndKind); }) &&
         stage(o.ZenSp2SpSp, [&] { return SplitFullWidthSpaces(text); }) &&
         stage(o.DelRightWhiteSpace, [&] { return DeleteTrailingWhiteSpace(text); }) &&
         stage(o.Tab2Space, [&] { return ExpandTabs(text, o.Tab2SpaceClm, *double_byte); }) &&
         stage(o.DelControlCode, [&] { return DeleteControlCodes(text); }) &&
         stage(o.ControlCode2Space, [&] { return ControlCodesToSpaces(text); }) &&
         stage(o.InsLfChar != 0,
               [&] { return InsertLineEndEveryNChars(text, o.InsLfChar, o.InsertLineEndKind); }) &&
         stage(o.ReplaceString, [&] {
           return ApplyReplacement(text, o.Replacement, [&] { return IsAbortRequested(ctx); });
         });
}

// Gives the rewritten file back its times, reporting what failed.
void RestoreTimes(JobContext& ctx, const std::string& name, std::u16string_view shown,
                  bool have_times, const platform::FileTimes& times) {
  if (!have_times) {
    EmitNamed(ctx, messages::kCannotReadTimes, shown);
    return;
  }
  switch (ctx.fs->SetFileTimes(name, times)) {
    case platform::TimesStatus::Ok:
      break;
    case platform::TimesStatus::CannotOpen:
      EmitNamed(ctx, messages::kCannotOpenForTimes, shown);
      break;
    case platform::TimesStatus::CannotSet:
      EmitNamed(ctx, messages::kCannotSetTimes, shown);
      break;
  }
}

// Backs up and writes the file; the counters are the caller's. A file
// written without NUL characters it had says so.
void WriteBack(JobContext& ctx, const std::string& name, std::u16string_view shown,
               TextBuffer& text, uint32_t output_page, uint32_t bom, bool nul_removed,
               const platform::FileSnapshot& snapshot, const ConversionOptions& o) {
  platform::FileTimes times;
  const bool have_times = o.SETTS && ctx.fs->GetFileTimes(name, &times);
  if (o.FileBackup) {
    const std::string backup = name + ".bak";
    if (!ctx.fs->CopyFile(name, backup)) {
      EmitNamed(ctx, messages::kBackupFailed, ShownName(backup));
      return;
    }
    RememberAfterWrite(ctx, backup, nullptr);
  }
  std::u16string what;
  std::u16string detail;
  if (WriteTextFile(ctx, name, std::move(text), output_page, bom, snapshot, &what, &detail)) {
    ++ctx.ReplacedCount;
    if (nul_removed) EmitNamed(ctx, messages::kNulRemoved, shown);
    if (o.SETTS) RestoreTimes(ctx, name, shown, have_times, times);
  }
  if (!what.empty() || !detail.empty()) {
    EmitReportLine(ctx, FormatText(messages::kWriterLine, {shown, what, detail}));
  }
}

// Steps 1 to the final abort check; exceptions pass to the caller.
bool ProcessFileSteps(JobContext& ctx, const std::string& name, std::u16string_view shown,
                      const ConversionOptions& o) {
  if (WalkedBefore(ctx, name)) return true;
  // A file reached through a link into another folder may have been left
  // half-rewritten there.
  if (platform::Recovery recovery; ctx.fs->FinishInterruptedRewrite(name, &recovery)) {
    recovery.name = name;
    EmitRecoveryLine(ctx, recovery);
  }
  TextBuffer text;
  uint32_t input_page = o.CharEncodeOther;
  uint32_t bom = 0;
  platform::FileSnapshot snapshot;
  size_t nul_removed = 0;
  const ReadResult result = ReadTextFile(ctx, name, text, o.CharEncode, input_page, bom,
                                         o.InsertLineEndKind, o.InsLfByte, &snapshot, &nul_removed);
  if (const TextPair* line = ReadResultLine(result, o.InsLfByte)) {
    if (result == ReadResult::NoService) {
      EmitReportLine(ctx, ctx.Text(*line));
    } else {
      EmitNamed(ctx, *line, shown);
    }
    return true;
  }

  Remember(ctx, snapshot);

  bool changed = o.InsLfByte != 0;
  if (!RunStages(ctx, text, o, &changed)) return false;

  const uint32_t output_page = OutputCodePage(o, input_page);
  if (output_page != input_page || changed) {
    WriteBack(ctx, name, shown, text, output_page, bom, nul_removed > 0, snapshot, o);
    RememberAfterWrite(ctx, name, &snapshot);
  }
  ++ctx.TargetCount;
  return !IsAbortRequested(ctx);
}

}  // namespace

bool ProcessFile(JobContext& ctx, const std::string& name, const ConversionOptions& options) {
  const std::u16string shown = ShownName(name);
  try {
    return ProcessFileSteps(ctx, name, shown, options);
  } catch (const ReplacementAborted&) {
    return false;  // the user stopped the run in the middle of a match
  } catch (const std::bad_alloc&) {
    EmitNamed(ctx, messages::kOutOfMemory, shown);
  } catch (const std::out_of_range&) {
    EmitNamed(ctx, messages::kOutOfRange, shown);
  } catch (const std::exception&) {
    EmitNamed(ctx, messages::kException, shown);
  } catch (...) {
    EmitNamed(ctx, messages::kUnexpected, shown);
  }
  return true;
}

}  // namespace sorrel
