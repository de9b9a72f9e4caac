// The depth-first walk over the target folder and the abort check.
#include "engine/walk.h"

#include <map>
#include <set>
#include <utility>

#include "base/text_format.h"
#include "base/utf.h"
#include "engine/file_pipeline.h"
#include "engine/messages.h"
#include "engine/report.h"
#include "engine/worker_pool.h"

namespace sorrel {
namespace {

using FolderId = std::pair<uint64_t, uint64_t>;  // device, inode

struct Walk {
  JobContext& ctx;
  const ConversionOptions& options;
  std::string pattern;
  std::set<FolderId> visited;
  WorkerPool& pool;
};

bool WalkFolder(Walk& walk);

// Marks the current directory as walked; false when it was walked already.
bool FirstVisit(Walk& walk) {
  platform::FileSnapshot id;
  if (!walk.ctx.fs->CurrentDirectoryId(&id)) return true;
  return walk.visited.insert({id.device, id.inode}).second;
}

bool WalkFiles(Walk& walk) {
  // What a killed run left here is finished first, so that no file is read
  // half-rewritten.
  for (const platform::Recovery& recovery : walk.ctx.fs->FinishInterruptedRuns()) {
    EmitRecoveryLine(walk.ctx, recovery);
  }
  std::unique_ptr<platform::DirectorySearch> search = walk.ctx.fs->FindFirst(walk.pattern);
  if (!search) return true;
  FilePipeline pipeline(walk.ctx, walk.options, walk.pool);
  return pipeline.Run(*search);
}

bool WalkSubfolders(Walk& walk) {
  JobContext& ctx = walk.ctx;
  std::string here;
  platform::FileSnapshot here_id;
  if (!ctx.fs->GetCurrentDirectory(&here) || !ctx.fs->CurrentDirectoryId(&here_id)) return true;
  std::unique_ptr<platform::DirectorySearch> search = ctx.fs->FindFirst("*.*");
  if (!search) return true;
  platform::FindEntry entry;
  while (search->Next(&entry)) {
    if (IsAbortRequested(ctx)) return false;
    if (!entry.is_directory || entry.name == "." || entry.name == "..") continue;
    if (entry.not_followed) {
      EmitLinkNotFollowed(ctx, entry.name);
      continue;
    }
    if (!ctx.fs->SetCurrentDirectory(entry.name)) {
      EmitReportLine(ctx,
                     FormatText(ctx.Text(messages::kCannotEnterFolder), {ShownName(entry.name)}));
      continue;
    }
    const bool go_on = !FirstVisit(walk) || WalkFolder(walk);
    // The way back goes by name, and a folder on it may have been swapped
    // for a link to another folder meanwhile: coming back anywhere but where
    // the walk left counts as not coming back.
    platform::FileSnapshot back;
    if (!ctx.fs->SetCurrentDirectory(here) || !ctx.fs->CurrentDirectoryId(&back) ||
        back.device != here_id.device || back.inode != here_id.inode) {
      // Going on from the wrong folder would touch files that were not asked
      // for: the walk stops here.
      EmitReportLine(ctx, FormatText(ctx.Text(messages::kCannotEnterFolder), {ShownName(here)}));
      return false;
    }
    if (!go_on) return false;
  }
  return true;
}

bool WalkFolder(Walk& walk) {
  if (!WalkFiles(walk)) return false;
  if (!walk.options.SearchSubFolders) return true;
  return WalkSubfolders(walk);
}

}  // namespace

bool WalkTargets(JobContext& ctx, const ConversionOptions& options) {
  WorkerPool pool(ctx.code_pages->ConvertsOnAnyThread() ? WorkerPool::DefaultSize() : 0);
  Walk walk{ctx, options, Utf16ToBytes(options.TargetPattern), {}, pool};
  std::map<std::pair<uint64_t, uint64_t>, platform::FileSnapshot> files;
  ctx.walked_files = &files;
  FirstVisit(walk);
  const bool walked = WalkFolder(walk);
  ctx.walked_files = nullptr;
  return walked;
}

bool IsAbortRequested(JobContext& ctx) {
  if (!ctx.ui->IsForeground()) return false;
  if (!ctx.ui->IsAbortKeyDown()) return false;
  if (ctx.cui_mode) return true;
  return ctx.ui->MessageBox(ctx.Text(messages::kAbortQuestion), ctx.Text(messages::kAbortCaption),
                            platform::Buttons::YesNo,
                            platform::Icon::Question) == platform::Answer::Yes;
}

}  // namespace sorrel
