// The two output rules of the engine: report lines and job errors go to the
// log or a message box, or in CUI mode to the console.
#pragma once

#include <string>
#include <string_view>

#include "engine/job_context.h"

namespace sorrel {

// A file or folder name as report lines show it: its UTF-8 decoded (U+FFFD
// for bytes that are not UTF-8), with every control character written as a
// visible escape, \t, \n and \r or \xHH (C0 controls, DEL and the C1
// controls), so that a name can never break a line or pass for another.
std::u16string ShownName(std::string_view name);

// Appends a complete report line (ending in CR+LF) to the MessageLog, or in
// CUI mode writes it to the console at once; or holds it in held_lines.
void EmitReportLine(JobContext& ctx, std::u16string_view line);

// Reports a symbolic link of another user that the walk does not follow.
void EmitLinkNotFollowed(JobContext& ctx, const std::string& name);

// Reports what became of a rewrite that an earlier run left unfinished.
void EmitRecoveryLine(JobContext& ctx, const platform::Recovery& recovery);

// Shows a failure that stops a job before the walk: an error box with the
// application title, or in CUI mode the text and a newline on the console.
void ShowJobError(JobContext& ctx, std::u16string_view text);

}  // namespace sorrel
