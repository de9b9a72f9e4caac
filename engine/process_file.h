// Everything that happens to one found file: read, transform, replace,
// write back when needed, and report.
#pragma once

#include <string>

#include "engine/conversion_options.h"
#include "engine/job_context.h"

namespace sorrel {

// Processes the file name (a bare name in the current directory). True to go
// on with the next file, also after a failure that concerned only this file;
// false when the run is aborted.
bool ProcessFile(JobContext& ctx, const std::string& name, const ConversionOptions& options);

}  // namespace sorrel
