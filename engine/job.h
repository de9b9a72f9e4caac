// One conversion job: the options from the main dialog, the replacement, the
// walk over the target, and the report.
#pragma once

#include "engine/job_context.h"

namespace sorrel {

// Runs one job over the target in the dialog. True when the walk ran to its
// end; false when the replacement could not be prepared, the target folder
// could not be entered (both shown as job errors, with the counters and the
// log kept), or the user aborted. Reports the summary and the log in the
// result dialog, or in CUI mode the summary on the console.
bool RunConversionJob(JobContext& ctx);

}  // namespace sorrel
