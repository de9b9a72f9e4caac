// Where the engine's report lines and job errors go.
#include "engine/report.h"

#include <string>

#include "base/text_format.h"
#include "base/utf.h"
#include "engine/messages.h"

namespace sorrel {

std::u16string ShownName(std::string_view name) {
  const std::u16string decoded = Utf8ToUtf16(name);
  std::u16string shown;
  shown.reserve(decoded.size());
  for (const char16_t c : decoded) {
    if (c >= 0x20 && (c < 0x7F || c > 0x9F)) {
      shown.push_back(c);
      continue;
    }
    shown.push_back(u'\\');
    if (c == u'\t' || c == u'\n' || c == u'\r') {
      shown.push_back(c == u'\t' ? u't' : c == u'\n' ? u'n' : u'r');
      continue;
    }
    constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    shown.push_back(u'x');
    shown.push_back(kDigits[c >> 4]);
    shown.push_back(kDigits[c & 0xF]);
  }
  return shown;
}

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
  EmitReportLine(ctx, FormatText(ctx.Text(messages::kLinkNotFollowed), {ShownName(name)}));
}

void EmitRecoveryLine(JobContext& ctx, const platform::Recovery& recovery) {
  const TextPair* line = &messages::kInterruptedCompleted;
  if (recovery.outcome == platform::RecoveryOutcome::Changed) line = &messages::kInterruptedChanged;
  if (recovery.outcome == platform::RecoveryOutcome::Failed) line = &messages::kInterruptedFailed;
  EmitReportLine(ctx, FormatText(ctx.Text(*line), {ShownName(recovery.name)}));
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
