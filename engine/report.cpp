// Where the engine's report lines and job errors go.
#include "engine/report.h"

#include <string>

namespace sorrel {

void EmitReportLine(JobContext& ctx, std::u16string_view line) {
  if (ctx.cui_mode) {
    ctx.console->Write(line);
  } else {
    ctx.MessageLog.append(line);
  }
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
