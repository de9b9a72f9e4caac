// The job driver.
#include "engine/job.h"

#include "base/main_dialog_ids.h"
#include "base/text_format.h"
#include "base/utf.h"
#include "engine/conversion_options.h"
#include "engine/messages.h"
#include "engine/options.h"
#include "engine/replacement.h"
#include "engine/report.h"
#include "engine/walk.h"

namespace sorrel {
namespace {

bool PrepareFromDialog(JobContext& ctx, ConversionOptions* options) {
  const ControlStore& dialog = *ctx.dialog;
  return PrepareReplacement(ctx, dialog.Text(ids::kBeforeReplace), dialog.Text(ids::kAfterReplace),
                            dialog.IsChecked(ids::kRepUseRegex), dialog.IsChecked(ids::kRepICase),
                            dialog.IsChecked(ids::kRep1Line),
                            dialog.IsChecked(ids::kRepMatchNotDotNewLine), &options->Replacement);
}

void Report(JobContext& ctx, const std::u16string& summary) {
  if (ctx.cui_mode) {
    ctx.console->Write(summary + u"\n");
    return;
  }
  const std::u16string log =
      ctx.MessageLog.empty() ? std::u16string(ctx.Text(messages::kNoErrors)) : ctx.MessageLog;
  ctx.ui->ShowResult(
      summary, log, ctx.save_settings ? ctx.save_settings : [] {});
}

}  // namespace

bool RunConversionJob(JobContext& ctx) {
  ConversionOptions options;
  ReadConversionOptions(*ctx.dialog, &options);
  if (options.ReplaceString && !PrepareFromDialog(ctx, &options)) return false;

  std::string start;
  const std::string folder = Utf16ToBytes(options.TargetFolder);
  if (folder.empty() || !ctx.fs->GetCurrentDirectory(&start) ||
      !ctx.fs->SetCurrentDirectory(folder)) {
    ShowJobError(ctx, ctx.Text(messages::kCannotEnterTarget));
    return false;
  }

  ctx.TargetCount = 0;
  ctx.ReplacedCount = 0;
  ctx.MessageLog.clear();
  ctx.MessageLog.reserve(8192);

  const bool walked = WalkTargets(ctx, options);
  if (!walked) EmitReportLine(ctx, ctx.Text(messages::kAborted));
  const std::u16string summary = FormatText(ctx.Text(messages::kSummary),
                                            {int64_t{ctx.TargetCount}, int64_t{ctx.ReplacedCount}});
  ctx.fs->SetCurrentDirectory(start);
  Report(ctx, summary);
  return walked;
}

}  // namespace sorrel
