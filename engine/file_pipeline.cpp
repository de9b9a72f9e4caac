// The pipeline of one folder's files.
#include "engine/file_pipeline.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>

#include "base/text_format.h"
#include "base/utf.h"
#include "engine/messages.h"
#include "engine/process_file.h"
#include "engine/report.h"
#include "engine/walk.h"

namespace sorrel {
namespace {

// How far the walk reads ahead: files, and bytes read but not yet finished.
// The bytes keep the memory a run needs near that of its largest file; a
// larger file is read when nothing else is ahead.
constexpr size_t kMostFilesAhead = 64;
constexpr size_t kMostBytesAhead = size_t{4} << 20;
// Rewrites whose renames are made durable together, and their lines given.
constexpr size_t kBatch = 64;
// How often the abort key is looked at while an expression runs.
constexpr std::chrono::milliseconds kAbortLook{20};

}  // namespace

struct FilePipeline::Item {
  platform::FindEntry entry;
  std::unique_ptr<FileWork> work;  // null: nothing done ahead
  size_t bytes = 0;
  bool converting = false;  // given to the pool
  bool converted = false;   // under Shared::mutex
};

// A finished entry whose lines wait for the batch's rewrites.
struct Held {
  std::u16string lines;
  std::unique_ptr<PendingWrite> pending;
};

struct FilePipeline::Shared {
  std::mutex mutex;
  std::condition_variable converted;
  std::atomic<bool> stop{false};
  size_t converting = 0;
  // The walk's thread's own.
  std::deque<std::unique_ptr<Item>> window;
  size_t bytes_ahead = 0;
  bool listed = false;
  std::deque<Held> held;
  size_t pending = 0;
};

FilePipeline::FilePipeline(JobContext& ctx, const ConversionOptions& options, WorkerPool& pool)
    : ctx_(ctx), options_(options), pool_(pool), shared_(std::make_shared<Shared>()) {}

FilePipeline::~FilePipeline() {
  shared_->stop = true;
  std::unique_lock<std::mutex> lock(shared_->mutex);
  shared_->converted.wait(lock, [this] { return shared_->converting == 0; });
}

void FilePipeline::ReadAhead(platform::DirectorySearch& search) {
  Shared& s = *shared_;
  while (!s.listed && s.window.size() < kMostFilesAhead &&
         (s.window.empty() || s.bytes_ahead < kMostBytesAhead)) {
    auto item = std::make_unique<Item>();
    if (!search.Next(&item->entry)) {
      s.listed = true;
      break;
    }
    if (!item->entry.is_directory && !item->entry.not_followed) {
      auto work = std::make_unique<FileWork>();
      work->name = item->entry.name;
      try {
        work->read = ReadRawFile(ctx_, work->name, &work->raw, &work->snapshot);
      } catch (...) {
        work->read = ReadResult::ReadError;  // it is read again in order
      }
      // A file met twice (through a link) is converted once, in order.
      bool again = false;
      for (const std::unique_ptr<Item>& ahead : s.window) {
        again = again || (ahead->work && ahead->work->snapshot.device == work->snapshot.device &&
                          ahead->work->snapshot.inode == work->snapshot.inode);
      }
      if (work->read == ReadResult::Ok && !again) {
        item->bytes = work->raw.size();
        s.bytes_ahead += item->bytes;
        item->work = std::move(work);
        item->converting = true;
        Item* converted = item.get();
        std::shared_ptr<Shared> shared = shared_;
        {
          std::lock_guard<std::mutex> lock(s.mutex);
          ++s.converting;
        }
        JobContext& ctx = ctx_;
        const ConversionOptions& options = options_;
        pool_.Run([shared, converted, &ctx, &options] {
          ConvertFile(
              ctx, *converted->work, options, [&shared] { return shared->stop.load(); }, false);
          std::lock_guard<std::mutex> lock(shared->mutex);
          converted->converted = true;
          --shared->converting;
          shared->converted.notify_all();
        });
      }
    }
    s.window.push_back(std::move(item));
  }
}

bool FilePipeline::AwaitFirst() {
  Shared& s = *shared_;
  Item& item = *s.window.front();
  if (!item.converting) return true;
  const bool matching = options_.ReplaceString && options_.Replacement.use_regex;
  std::unique_lock<std::mutex> lock(s.mutex);
  while (!item.converted) {
    if (!matching) {
      s.converted.wait(lock, [&item] { return item.converted; });
      break;
    }
    if (s.converted.wait_for(lock, kAbortLook, [&item] { return item.converted; })) break;
    lock.unlock();
    const bool abort = IsAbortRequested(ctx_);
    lock.lock();
    if (abort) {
      s.stop = true;
      return false;
    }
  }
  return true;
}

bool FilePipeline::FinishFirst() {
  Shared& s = *shared_;
  std::unique_ptr<Item> item = std::move(s.window.front());
  s.window.pop_front();
  s.bytes_ahead -= item->bytes;
  if (IsAbortRequested(ctx_)) return false;
  Held& held = s.held.emplace_back();
  ctx_.held_lines = &held.lines;
  bool go_on = true;
  if (item->entry.is_directory) {
    // a folder is never processed as a file
  } else if (item->entry.not_followed) {
    EmitLinkNotFollowed(ctx_, item->entry.name);
  } else {
    go_on = ProcessConvertedFile(ctx_, item->entry.name, options_, std::move(item->work),
                                 &held.pending);
    if (held.pending) ++s.pending;
  }
  ctx_.held_lines = nullptr;
  return go_on;
}

void FilePipeline::Commit() {
  Shared& s = *shared_;
  for (Held& held : s.held) {
    if (!held.pending) continue;
    ctx_.held_lines = &held.lines;
    const std::u16string shown = ShownName(held.pending->name);
    auto emit = [&](const TextPair& pair) {
      EmitReportLine(ctx_, FormatText(ctx_.Text(pair), {shown}));
    };
    // As ProcessFile reports what is thrown after the write.
    try {
      FinishWrite(ctx_, options_, *held.pending);
    } catch (const std::bad_alloc&) {
      emit(messages::kOutOfMemory);
    } catch (const std::out_of_range&) {
      emit(messages::kOutOfRange);
    } catch (const std::exception&) {
      emit(messages::kException);
    } catch (...) {
      emit(messages::kUnexpected);
    }
    held.pending.reset();
  }
  ctx_.held_lines = nullptr;
  // The renames of the batch reach the disk before a line reports them.
  ctx_.fs->SyncRenames();
  for (const Held& held : s.held) {
    if (!held.lines.empty()) EmitReportLine(ctx_, held.lines);
  }
  s.held.clear();
  s.pending = 0;
}

bool FilePipeline::Run(platform::DirectorySearch& search) {
  Shared& s = *shared_;
  bool go_on = true;
  for (;;) {
    ReadAhead(search);
    if (s.window.empty()) break;
    if (!AwaitFirst() || !FinishFirst()) {
      go_on = false;
      break;
    }
    if (s.pending >= kBatch) Commit();
  }
  // What was done ahead of a stop is dropped: the files stay as they are.
  s.stop = true;
  {
    std::unique_lock<std::mutex> lock(s.mutex);
    s.converted.wait(lock, [&s] { return s.converting == 0; });
  }
  s.window.clear();
  Commit();
  return go_on;
}

}  // namespace sorrel
