// Per-file processing: the stage pipeline with its abort checks, the write
// decision, the backup, the time stamps, the counters and the report lines.
#include "engine/process_file.h"

#include <new>
#include <stdexcept>

#include "base/text_format.h"
#include "base/utf.h"
#include "engine/encode_table.h"
#include "engine/file_text.h"
#include "engine/messages.h"
#include "engine/reader.h"
#include "engine/replacement.h"
#include "engine/report.h"
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
    case ReadResult::Unasked:  // asked before the file is finished
      return nullptr;
    case ReadResult::Utf32:
      return &messages::kUtf32Skipped;
  }
  return nullptr;
}

// True when name leads to a file that this walk has processed and that is
// still in the state the walk left it in. *now (when asked for) receives
// the state of the file name leads to, or stays empty.
bool WalkedBefore(JobContext& ctx, const std::string& name, platform::FileSnapshot* now) {
  if (ctx.walked_files == nullptr && now == nullptr) return false;
  platform::FileSnapshot state;
  if (!ctx.fs->FileId(name, &state)) return false;
  if (now != nullptr) *now = state;
  if (ctx.walked_files == nullptr) return false;
  const auto found = ctx.walked_files->find({state.device, state.inode});
  return found != ctx.walked_files->end() && platform::SameFileState(found->second, state);
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

// Reports what kept the rewritten file from getting its times back.
void ReportTimes(JobContext& ctx, std::u16string_view shown, bool have_times,
                 platform::TimesStatus given) {
  if (!have_times) {
    EmitNamed(ctx, messages::kCannotReadTimes, shown);
    return;
  }
  switch (given) {
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

void EmitWriterLine(JobContext& ctx, std::u16string_view shown, const std::u16string& what,
                    const std::u16string& detail) {
  if (!what.empty() || !detail.empty()) {
    EmitReportLine(ctx, FormatText(messages::kWriterLine, {shown, what, detail}));
  }
}

// Counts a finished write and reports it: the NUL characters it was written
// without, the times it could not keep, and the writer's line.
void Written(JobContext& ctx, const ConversionOptions& o, PendingWrite& write,
             const platform::RewriteResult& result) {
  const std::u16string shown = ShownName(write.name);
  if (RewriteOutcome(ctx, result, &write.what, &write.detail)) {
    ++ctx.ReplacedCount;
    if (write.nul_removed) EmitNamed(ctx, messages::kNulRemoved, shown);
    if (o.SETTS) ReportTimes(ctx, shown, write.have_times, result.times);
  }
  EmitWriterLine(ctx, shown, write.what, write.detail);
  RememberAfterWrite(ctx, write.name, &write.snapshot);
}

// Backs up and writes the file; the counters are the caller's. A rewrite
// whose sync goes on in the background is left in *pending when given.
void WriteBack(JobContext& ctx, FileWork& work, const ConversionOptions& o,
               std::unique_ptr<PendingWrite>* pending) {
  const std::string& name = work.name;
  const std::u16string shown = ShownName(name);
  auto write = std::make_unique<PendingWrite>();
  write->name = name;
  write->nul_removed = work.nul_removed > 0;
  write->snapshot = work.snapshot;
  write->have_times = o.SETTS && ctx.fs->GetFileTimes(name, &write->times);
  if (o.FileBackup) {
    const std::string backup = name + ".bak";
    if (!ctx.fs->CopyFile(name, backup)) {
      EmitNamed(ctx, messages::kBackupFailed, ShownName(backup));
      RememberAfterWrite(ctx, name, &work.snapshot);
      return;
    }
    RememberAfterWrite(ctx, backup, nullptr);
  }
  if (work.write_error) std::rethrow_exception(work.write_error);
  write->what = std::move(work.what);
  write->detail = std::move(work.detail);
  if (!work.encoded) {
    EmitWriterLine(ctx, shown, write->what, write->detail);
    RememberAfterWrite(ctx, name, &work.snapshot);
    return;
  }
  platform::RewriteResult result;
  // The times go with the new content, so that it never has its name
  // without them.
  write->rewrite = ctx.fs->StartRewrite(name, work.snapshot, work.data,
                                        write->have_times ? &write->times : nullptr, &result);
  std::string().swap(work.data);
  if (write->rewrite && pending != nullptr) {
    *pending = std::move(write);
    return;
  }
  if (write->rewrite) result = write->rewrite->Finish();
  Written(ctx, o, *write, result);
}

// The file after its conversion: its report line when it could not be read,
// the abort checks of the stages (when they were not made while it was
// converted), the write and the count; false when the run is to stop.
bool FinishFile(JobContext& ctx, FileWork& work, const ConversionOptions& o, bool replay_checks,
                std::unique_ptr<PendingWrite>* pending) {
  if (work.error && work.checks == 0) std::rethrow_exception(work.error);
  if (const TextPair* line = ReadResultLine(work.result, o.InsLfByte)) {
    if (work.result == ReadResult::NoService) {
      EmitReportLine(ctx, ctx.Text(*line));
    } else {
      EmitNamed(ctx, *line, ShownName(work.name));
    }
    return true;
  }
  Remember(ctx, work.snapshot);
  if (replay_checks) {
    for (int i = 0; i < work.checks; ++i) {
      if (IsAbortRequested(ctx)) return false;
    }
  }
  if (work.error) std::rethrow_exception(work.error);
  if (work.stopped) return false;
  if (work.write) WriteBack(ctx, work, o, pending);
  ++ctx.TargetCount;
  return !IsAbortRequested(ctx);
}

// Steps 1 to the final abort check; exceptions pass to the caller.
bool ProcessFileSteps(JobContext& ctx, const std::string& name, const ConversionOptions& o,
                      std::unique_ptr<FileWork> work, std::unique_ptr<PendingWrite>* pending) {
  platform::FileSnapshot now;
  if (WalkedBefore(ctx, name, work ? &now : nullptr)) return true;
  // A file reached through a link into another folder may have been left
  // half-rewritten there.
  if (platform::Recovery recovery; ctx.fs->FinishInterruptedRewrite(name, &recovery)) {
    recovery.name = name;
    EmitRecoveryLine(ctx, recovery);
    work.reset();
  }
  // Work done ahead counts only for the file as it still is.
  if (work && (work->read != ReadResult::Ok || work->result == ReadResult::Unasked ||
               !platform::SameFileState(work->snapshot, now))) {
    work.reset();
  }
  if (work) return FinishFile(ctx, *work, o, true, pending);

  FileWork here;
  here.name = name;
  here.result = ReadRawFile(ctx, name, &here.raw, &here.snapshot);
  if (here.result == ReadResult::Ok) {
    ConvertFile(
        ctx, here, o, [&] { return IsAbortRequested(ctx); }, true);
  }
  return FinishFile(ctx, here, o, false, pending);
}

}  // namespace

void ConvertFile(JobContext& ctx, FileWork& work, const ConversionOptions& o,
                 const std::function<bool()>& aborted, bool may_ask) {
  FileText content;
  try {
    work.input_page = o.CharEncodeOther;
    FileBytes raw;
    work.result =
        SettleFileBytes(ctx, work.name, std::move(work.raw), o.CharEncode, work.input_page,
                        work.bom, o.InsertLineEndKind, o.InsLfByte, may_ask, &raw);
    work.nul_removed = raw.nul_removed;
    work.output_page = OutputCodePage(o, work.input_page);
    if (work.result == ReadResult::Ok) {
      work.result =
          PrepareFileText(ctx, std::move(raw), work.input_page, work.output_page, o, &content);
    }
    if (work.result != ReadResult::Ok) return;
    work.changed = o.InsLfByte != 0;
    if (!RunStages(ctx, content, o, aborted, &work.changed, &work.checks)) {
      work.stopped = true;
      return;
    }
    work.write = work.output_page != work.input_page || work.changed;
    if (!work.write) return;
  } catch (...) {
    work.error = std::current_exception();
    return;
  }
  try {
    work.encoded = EncodeFileText(ctx, std::move(content), work.output_page, work.bom, &work.data,
                                  &work.what, &work.detail);
  } catch (...) {
    work.write_error = std::current_exception();
  }
}

bool ProcessConvertedFile(JobContext& ctx, const std::string& name, const ConversionOptions& o,
                          std::unique_ptr<FileWork> work, std::unique_ptr<PendingWrite>* pending) {
  const std::u16string shown = ShownName(name);
  try {
    return ProcessFileSteps(ctx, name, o, std::move(work), pending);
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

void FinishWrite(JobContext& ctx, const ConversionOptions& o, PendingWrite& pending) {
  const platform::RewriteResult result = pending.rewrite->Finish();
  pending.rewrite.reset();
  Written(ctx, o, pending, result);
}

bool ProcessFile(JobContext& ctx, const std::string& name, const ConversionOptions& options) {
  return ProcessConvertedFile(ctx, name, options, nullptr, nullptr);
}

}  // namespace sorrel
