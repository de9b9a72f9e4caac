// Everything that happens to one found file: read, transform, replace,
// write back when needed, and report.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "engine/conversion_options.h"
#include "engine/job_context.h"
#include "engine/reader.h"
#include "platform/file_system.h"

namespace sorrel {

// Processes the file name (a bare name in the current directory). True to go
// on with the next file, also after a failure that concerned only this file;
// false when the run is aborted.
bool ProcessFile(JobContext& ctx, const std::string& name, const ConversionOptions& options);

// ProcessFile in parts, for a walk that reads files ahead, converts them on
// other threads and finishes them in its own order (file_pipeline.h).

// A file's work that needs neither the user nor a file's name: its bytes as
// the walk read them, and what the conversion made of them.
struct FileWork {
  std::string name;
  ReadResult read = ReadResult::ReadError;  // of ReadRawFile
  std::string raw;
  platform::FileSnapshot snapshot;

  // ConvertFile's.
  ReadResult result = ReadResult::Ok;  // of settling and decoding
  uint32_t input_page = 0;
  uint32_t bom = 0;
  uint32_t output_page = 0;
  bool changed = false;
  size_t nul_removed = 0;    // zero bytes or units the reader cut out
  int checks = 0;            // the abort checks passed before the stages (0 to 8)
  bool stopped = false;      // a check said stop
  std::exception_ptr error;  // thrown while reading or in a stage
  bool write = false;        // the file is to be written back
  bool encoded = false;      // data holds its bytes
  std::string data;
  std::u16string what, detail;     // the writer's, so far
  std::exception_ptr write_error;  // thrown while encoding
};

// Converts work read by ReadRawFile: settles its code page, decodes (or
// keeps the bytes), runs the stages and encodes what is to be written, as
// ProcessFile does, asking aborted() before each stage. With may_ask false it
// runs on any thread and leaves the question of an odd cut of UTF-16 unasked
// (result Unasked).
void ConvertFile(JobContext& ctx, FileWork& work, const ConversionOptions& o,
                 const std::function<bool()>& aborted, bool may_ask);

// A rewrite that ProcessConvertedFile began and left to finish.
struct PendingWrite {
  std::string name;
  platform::FileSnapshot snapshot;
  bool have_times = false;
  platform::FileTimes times;
  bool nul_removed = false;  // says so once written
  std::u16string what, detail;
  std::unique_ptr<platform::PendingRewrite> rewrite;
};

// ProcessFile for a file that was read and converted ahead, in the walk's
// order: the same answer, lines, counts and abort checks. The work is redone
// here, as ProcessFile does it, when it is missing or no longer matches the
// file. With pending given, a rewrite whose sync goes on in the background
// is left in *pending for FinishWrite, which must be called in the same
// current directory.
bool ProcessConvertedFile(JobContext& ctx, const std::string& name, const ConversionOptions& o,
                          std::unique_ptr<FileWork> work, std::unique_ptr<PendingWrite>* pending);

// Finishes a rewrite left pending: counts it, gives the file back its times
// and reports, as ProcessFile would have right after writing it.
void FinishWrite(JobContext& ctx, const ConversionOptions& o, PendingWrite& pending);

}  // namespace sorrel
