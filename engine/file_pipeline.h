// The files of one folder, processed as ProcessFile processes them one after
// the other, but with both cores and the disk busy at once: the walk's
// thread reads files ahead, a pool of threads converts them, and the walk's
// thread finishes each in the walk's order while the syncs of the files it
// wrote go on together, their renames made durable a batch at a time.
//
// Everything the user sees stays as a run of one thread gives it: the lines
// in the same order (held until the rewrites they follow are on disk), the
// counts, and the abort checks, which the walk's thread makes for each file
// where ProcessFile makes them; an abort leaves every file written whole or
// untouched, and the work done ahead on later files is dropped. A file is
// converted by one thread only, and work done on a file that has changed
// since it was read ahead (a link to a file just rewritten, an interrupted
// rewrite finished) is redone in order.
#pragma once

#include <memory>

#include "engine/conversion_options.h"
#include "engine/job_context.h"
#include "engine/worker_pool.h"
#include "platform/file_system.h"

namespace sorrel {

class FilePipeline {
 public:
  FilePipeline(JobContext& ctx, const ConversionOptions& options, WorkerPool& pool);
  // Waits for the work it gave the pool.
  ~FilePipeline();
  FilePipeline(const FilePipeline&) = delete;
  FilePipeline& operator=(const FilePipeline&) = delete;

  // Walks the entries of search (of the current directory) as the walk does
  // one by one: an abort check before each, folders skipped, a line for a
  // link not followed, ProcessFile for each file. False when the run is to
  // stop; every line is given out and every rewrite done before it returns.
  bool Run(platform::DirectorySearch& search);

 private:
  struct Item;
  struct Shared;

  // Reads entries ahead, within the limits, and gives their conversion to
  // the pool.
  void ReadAhead(platform::DirectorySearch& search);
  // Waits until the first item is converted; false when the user stopped the
  // run meanwhile (an expression is asked about the abort key as it runs).
  bool AwaitFirst();
  // Processes the first item in order; false when the run is to stop.
  bool FinishFirst();
  // Finishes the rewrites left pending, makes their names durable and gives
  // out the lines held so far.
  void Commit();

  JobContext& ctx_;
  const ConversionOptions& options_;
  WorkerPool& pool_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace sorrel
