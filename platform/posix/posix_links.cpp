// Resolution of a path with the ownership rule for symbolic links.
#include "platform/posix/posix_links.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <vector>

#include "platform/posix/posix_file_io.h"

namespace sorrel::platform {
namespace {

constexpr int kMaxLinkHops = 40;  // the kernel's own limit for a path

std::deque<std::string> Components(const std::string& path) {
  std::deque<std::string> parts;
  size_t begin = 0;
  while (begin <= path.size()) {
    size_t end = path.find('/', begin);
    if (end == std::string::npos) end = path.size();
    if (end > begin) parts.push_back(path.substr(begin, end - begin));
    begin = end + 1;
  }
  return parts;
}

std::string Join(bool absolute, const std::vector<std::string>& parts) {
  std::string path = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) path.push_back('/');
    path.append(parts[i]);
  }
  return path.empty() ? std::string(".") : path;
}

// The text of the symbolic link at path, however long.
int ReadLinkText(PosixCalls& calls, const std::string& path, std::string* text) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = calls.Readlink(path.c_str(), buffer.data(), buffer.size());
    if (length < 0) return LastErrno();
    if (static_cast<size_t>(length) < buffer.size()) {
      text->assign(buffer.data(), static_cast<size_t>(length));
      return 0;
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

bool MayFollow(uid_t link_owner, uid_t target_owner) {
  return link_owner == geteuid() || link_owner == target_owner;
}

int ResolvePath(PosixCalls& calls, const std::string& name, ResolvedPath* resolved, bool* refused) {
  *refused = false;
  if (name.empty()) return ENOENT;
  bool absolute = name.front() == '/';
  std::deque<std::string> todo = Components(name);
  // Every component here is a real folder or file, so ".." may drop the last.
  std::vector<std::string> done;
  std::vector<uid_t> link_owners;
  struct stat status {};
  bool have_status = false;
  while (!todo.empty()) {
    std::string part = std::move(todo.front());
    todo.pop_front();
    if (part == ".") continue;
    if (part == "..") {
      if (!done.empty() && done.back() != "..") {
        done.pop_back();
      } else if (!absolute) {
        done.push_back(part);
      }
      have_status = false;
      continue;
    }
    done.push_back(std::move(part));
    const std::string path = Join(absolute, done);
    if (calls.Lstat(path.c_str(), &status) != 0) return LastErrno();
    have_status = true;
    if (S_ISLNK(status.st_mode)) {
      if (link_owners.size() >= kMaxLinkHops) return ELOOP;
      link_owners.push_back(status.st_uid);
      std::string link;
      if (const int error = ReadLinkText(calls, path, &link)) return error;
      if (link.empty()) return ENOENT;
      done.pop_back();
      if (link.front() == '/') {
        absolute = true;
        done.clear();
      }
      std::deque<std::string> parts = Components(link);
      todo.insert(todo.begin(), parts.begin(), parts.end());
      have_status = false;
    } else if (!todo.empty() && !S_ISDIR(status.st_mode)) {
      return ENOTDIR;
    }
  }
  resolved->path = Join(absolute, done);
  if (!have_status && calls.Lstat(resolved->path.c_str(), &status) != 0) return LastErrno();
  resolved->status = status;
  resolved->through_link = !link_owners.empty();
  for (const uid_t owner : link_owners) {
    if (!MayFollow(owner, status.st_uid)) {
      *refused = true;
      return EACCES;
    }
  }
  return 0;
}

int OpenResolved(PosixCalls& calls, const ResolvedPath& resolved, int flags, int* fd,
                 struct stat* status) {
  FileDescriptor opened(calls, calls.OpenNoLinks(resolved.path.c_str(), flags | O_CLOEXEC));
  if (!opened.ok()) return LastErrno();
  struct stat own;
  if (status == nullptr) status = &own;
  if (calls.Fstat(opened.get(), status) != 0) return LastErrno();
  if (status->st_dev != resolved.status.st_dev || status->st_ino != resolved.status.st_ino) {
    return ELOOP;  // a link or another file took its place since
  }
  *fd = opened.Release();
  return 0;
}

}  // namespace sorrel::platform
