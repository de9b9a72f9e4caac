// Where the engine's report lines and job errors go.
#include "engine/report.h"

#include <string>

#include "base/text_format.h"
#include "base/utf.h"
#include "engine/messages.h"

namespace sorrel {

void EmitReportLine(JobContext& ctx, std::u16string_view line) {
  if (ctx.held_lines != nullptr) {
    ctx.held_lines->append(line);
  } else if (ctx.cui_mode) {
    ctx.console->Write(line);
  } else {
    ctx.MessageLog.append(line);
  }
}

void EmitLinkNotFollowed(JobContext& ctx, const std::string& name) {
  EmitReportLine(ctx, FormatText(ctx.Text(messages::kLinkNotFollowed), {Utf8ToUtf16(name)}));
}

void EmitRecoveryLine(JobContext& ctx, const platform::Recovery& recovery) {
  const TextPair* line = &messages::kInterruptedCompleted;
  if (recovery.outcome == platform::RecoveryOutcome::Changed) line = &messages::kInterruptedChanged;
  if (recovery.outcome == platform::RecoveryOutcome::Failed) line = &messages::kInterruptedFailed;
  EmitReportLine(ctx, FormatText(ctx.Text(*line), {Utf8ToUtf16(recovery.name)}));
}

void ShowJobError(JobContext& ctx, std::u16string_view text) {
  if (ctx.cui_mode) {
    std::u16string out(text);
    out.push_back(u'\n');
    ctx.console->Write(out);
  } else {
    ctx.ui->MessageBox(text, ctx.title, platform::Buttons::Ok, platform::Icon::Error);
  }
}

}  // namespace sorrel
