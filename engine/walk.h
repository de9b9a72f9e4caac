// Finds the files of one job in the current directory and, with subfolder
// search, in every folder below it, depth first; and the abort key.
#pragma once

#include "engine/conversion_options.h"
#include "engine/job_context.h"

namespace sorrel {

// Hands every matching file to ProcessFile. True when everything was walked;
// false when the run is to stop (an abort). On return the current directory
// is the one it was on entry. Each real folder is walked once, so a link that
// leads back into its own tree cannot loop.
bool WalkTargets(JobContext& ctx, const ConversionOptions& options);

// True when the run is to stop now: the main dialog is in front and the abort
// key is down, and (but in CUI mode) the user confirms.
bool IsAbortRequested(JobContext& ctx);

}  // namespace sorrel
