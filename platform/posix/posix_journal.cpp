// The journal of a rewrite in place, and finishing one left behind.
#include "platform/posix/posix_journal.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/posix/posix_file_io.h"
#include "platform/posix/posix_working_files.h"

namespace sorrel::platform {
namespace {

constexpr char kMagic[8] = {'S', 'o', 'r', 'r', 'e', 'l', 'J', '1'};
constexpr size_t kCompareChunk = size_t{1} << 20;

// The start of a journal; the target's bare name follows, then its old
// bytes, then its new bytes. Written last, so that a journal cut short is
// never taken for a whole one.
struct Header {
  char magic[8];
  uint64_t device;
  uint64_t inode;
  uint64_t old_size;
  uint64_t new_size;
  uint64_t name_length;
};

uint64_t OldStart(const Header& header) {
  return sizeof(Header) + header.name_length;
}
uint64_t NewStart(const Header& header) {
  return OldStart(header) + header.old_size;
}

int WriteJournal(PosixCalls& calls, int journal, int target, const struct stat& status,
                 const std::string& name, const std::string& data) {
  Header header{};
  std::memcpy(header.magic, kMagic, sizeof kMagic);
  header.device = status.st_dev;
  header.inode = status.st_ino;
  header.old_size = static_cast<uint64_t>(status.st_size);
  header.new_size = data.size();
  header.name_length = name.size();
  const std::string blank(sizeof(Header), '\0');
  int error = PwriteAll(calls, journal, blank, 0);
  if (error == 0) error = PwriteAll(calls, journal, name, sizeof(Header));
  if (error == 0) {
    error =
        CopyRange(calls, target, 0, journal, static_cast<off_t>(OldStart(header)), header.old_size);
  }
  if (error == 0) error = PwriteAll(calls, journal, data, static_cast<off_t>(NewStart(header)));
  if (error == 0) {
    error = PwriteAll(calls, journal, {reinterpret_cast<const char*>(&header), sizeof header}, 0);
  }
  if (error == 0 && calls.Fsync(journal) != 0) error = LastErrno();
  return error;
}

void GiveBackTime(PosixCalls& calls, int fd, const FileSnapshot& snapshot) {
  const struct timespec times[2] = {{0, UTIME_OMIT}, {snapshot.mtime_sec, snapshot.mtime_nsec}};
  calls.Futimens(fd, times);
}

// Writes the new bytes of a journal over its target.
int WriteNewContent(PosixCalls& calls, int journal, const Header& header, int target) {
  int error =
      CopyRange(calls, journal, static_cast<off_t>(NewStart(header)), target, 0, header.new_size);
  if (error == 0 && calls.Ftruncate(target, static_cast<off_t>(header.new_size)) != 0) {
    error = LastErrno();
  }
  if (error == 0 && calls.Fsync(target) != 0) error = LastErrno();
  return error;
}

enum class Comparison { Old, New, Between, Other };

// How the target's bytes stand to the journal's: each byte may be old or new
// (or zero past the old end, where the file grew), as a rewrite cut off at
// any point, even by a power failure, leaves them.
int Compare(PosixCalls& calls, int journal, const Header& header, int target, uint64_t size,
            Comparison* result) {
  if (size < std::min(header.old_size, header.new_size) ||
      size > std::max(header.old_size, header.new_size)) {
    *result = Comparison::Other;
    return 0;
  }
  bool all_old = size == header.old_size;
  bool all_new = size == header.new_size;
  std::vector<char> now(kCompareChunk), old_bytes(kCompareChunk), new_bytes(kCompareChunk);
  for (uint64_t at = 0; at < size; at += kCompareChunk) {
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(kCompareChunk, size - at));
    const auto in = [&](uint64_t length) {
      return at < length ? static_cast<size_t>(std::min<uint64_t>(piece, length - at)) : 0;
    };
    const size_t old_piece = in(header.old_size);
    const size_t new_piece = in(header.new_size);
    int error = PreadExactly(calls, target, now.data(), piece, static_cast<off_t>(at));
    if (error == 0) {
      error = PreadExactly(calls, journal, old_bytes.data(), old_piece,
                           static_cast<off_t>(OldStart(header) + at));
    }
    if (error == 0) {
      error = PreadExactly(calls, journal, new_bytes.data(), new_piece,
                           static_cast<off_t>(NewStart(header) + at));
    }
    if (error != 0) return error;
    for (size_t i = 0; i < piece; ++i) {
      const bool is_old = i < old_piece && now[i] == old_bytes[i];
      const bool is_new = i < new_piece && now[i] == new_bytes[i];
      if (!is_old && !is_new && !(i >= old_piece && now[i] == '\0')) {
        *result = Comparison::Other;
        return 0;
      }
      all_old = all_old && is_old;
      all_new = all_new && is_new;
    }
  }
  *result = all_new ? Comparison::New : all_old ? Comparison::Old : Comparison::Between;
  return 0;
}

// Reads and checks the journal's header and target name.
bool ReadHeader(PosixCalls& calls, int journal, uint64_t journal_size, Header* header,
                std::string* name) {
  if (journal_size < sizeof(Header) ||
      PreadExactly(calls, journal, reinterpret_cast<char*>(header), sizeof *header, 0) != 0 ||
      std::memcmp(header->magic, kMagic, sizeof kMagic) != 0 || header->name_length == 0 ||
      header->name_length > NAME_MAX || header->old_size > journal_size ||
      header->new_size > journal_size || NewStart(*header) + header->new_size != journal_size) {
    return false;
  }
  name->resize(static_cast<size_t>(header->name_length));
  return PreadExactly(calls, journal, name->data(), name->size(), sizeof(Header)) == 0 &&
         name->find('/') == std::string::npos && *name != "." && *name != "..";
}

}  // namespace

RewriteResult RewriteInPlace(PosixCalls& calls, int folder, const ResolvedPath& target,
                             const FileSnapshot& snapshot, const std::string& data,
                             const FileTimes* times) {
  int raw = -1;
  struct stat status;
  // Opening the file for writing may itself give it a new number (overlayfs
  // copies it up): another file in its place reads as a change.
  if (const int error = OpenResolved(calls, target, O_RDWR | O_NONBLOCK, &raw, &status)) {
    return {error == ELOOP ? RewriteStatus::Changed : RewriteStatus::CannotOpen, error};
  }
  FileDescriptor fd(calls, raw);
  if (!Matches(status, snapshot)) return {RewriteStatus::Changed, 0};

  const std::string name = BareNameOf(target.path);
  WorkingFile journal(calls, folder);
  if (const int error = journal.Create(name)) return CannotCreate(error);
  if (const int error = WriteJournal(calls, journal.fd(), fd.get(), status, name, data)) {
    return {RewriteStatus::WriteError, error};
  }
  if (const int error = journal.NameAs(JournalNameFor(name))) {
    // Another run is at this file, or left a journal that a run will finish.
    if (error == EEXIST) return {RewriteStatus::Changed, 0};
    return {RewriteStatus::WriteError, error};
  }
  SyncFolder(calls, folder);  // the journal's name is on disk before the file is touched

  // A full disk is found here, before a byte of the content has been touched.
  // The reservation keeps the size; what it may have reserved beyond the end
  // is given back, and so is the last-write time.
  if (data.size() > snapshot.size) {
    const int error = calls.Fallocate(fd.get(), static_cast<off_t>(data.size()));
    if (error != 0 && error != EOPNOTSUPP) {
      calls.Ftruncate(fd.get(), static_cast<off_t>(snapshot.size));
      GiveBackTime(calls, fd.get(), snapshot);
      return {RewriteStatus::WriteError, error};
    }
  }

  int error = PwriteAll(calls, fd.get(), data, 0);
  if (error == 0 && calls.Ftruncate(fd.get(), static_cast<off_t>(data.size())) != 0) {
    error = LastErrno();
  }
  TimesStatus times_given = TimesStatus::Ok;
  if (error == 0 && times != nullptr) times_given = GiveTimes(calls, fd.get(), *times);
  if (error == 0 && calls.Fsync(fd.get()) != 0) error = LastErrno();
  if (error == 0) return {RewriteStatus::Ok, 0, times_given};

  // Put the old bytes back from the journal; if even that fails, the journal
  // stays for the next run to finish.
  const off_t old_start = static_cast<off_t>(sizeof(Header) + name.size());
  int undo = CopyRange(calls, journal.fd(), old_start, fd.get(), 0, snapshot.size);
  if (undo == 0 && calls.Ftruncate(fd.get(), static_cast<off_t>(snapshot.size)) != 0) {
    undo = LastErrno();
  }
  if (undo == 0 && calls.Fsync(fd.get()) != 0) undo = LastErrno();
  if (undo == 0) {
    GiveBackTime(calls, fd.get(), snapshot);
  } else {
    journal.Keep();
  }
  return {RewriteStatus::WriteError, error};
}

JournalOutcome FinishJournal(PosixCalls& calls, int folder, const std::string& journal_name,
                             std::string* target_name) {
  FileDescriptor journal(calls, calls.OpenAt(folder, journal_name.c_str(),
                                             O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat held;
  struct stat named;
  // Only a journal of the running user is followed: one that another user
  // made could write what that user chose into a file they may not write.
  if (!journal.ok() || calls.Fstat(journal.get(), &held) != 0 || !S_ISREG(held.st_mode) ||
      held.st_uid != geteuid()) {
    return JournalOutcome::None;
  }
  if (calls.Flock(journal.get(), LOCK_EX | LOCK_NB) != 0) return JournalOutcome::None;  // at work
  if (calls.LstatAt(folder, journal_name.c_str(), &named) != 0 || named.st_ino != held.st_ino ||
      named.st_dev != held.st_dev) {
    return JournalOutcome::None;  // finished by another run meanwhile
  }
  Header header;
  std::string name;
  // A journal gets its name only once it is whole and on disk: one that
  // does not read as one is not ours, and is left alone.
  if (!ReadHeader(calls, journal.get(), static_cast<uint64_t>(held.st_size), &header, &name)) {
    return JournalOutcome::None;
  }
  *target_name = name;

  FileDescriptor target(
      calls, calls.OpenAt(folder, name.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat status;
  if (!target.ok() && errno != ENOENT && errno != ELOOP) return JournalOutcome::Failed;
  Comparison comparison = Comparison::Other;
  if (target.ok()) {
    if (calls.Fstat(target.get(), &status) != 0) return JournalOutcome::Failed;
    if (S_ISREG(status.st_mode) && status.st_dev == header.device &&
        status.st_ino == header.inode &&
        Compare(calls, journal.get(), header, target.get(), static_cast<uint64_t>(status.st_size),
                &comparison) != 0) {
      return JournalOutcome::Failed;
    }
  }
  JournalOutcome outcome = JournalOutcome::Completed;
  switch (comparison) {
    case Comparison::Old:
      outcome = JournalOutcome::None;  // the rewrite never began
      break;
    case Comparison::New:
      break;
    case Comparison::Between:
      if (WriteNewContent(calls, journal.get(), header, target.get()) != 0) {
        return JournalOutcome::Failed;
      }
      break;
    case Comparison::Other:
      outcome = JournalOutcome::Changed;
      break;
  }
  calls.Unlink(folder, journal_name.c_str());
  return outcome;
}

}  // namespace sorrel::platform
