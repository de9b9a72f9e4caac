// The settings files over a real temporary folder.
#include "platform/posix/posix_settings_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sorrel::platform {
namespace {

class PosixSettingsFilesTest : public ::testing::Test {
 protected:
  PosixSettingsFilesTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sorrel-files-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    dir_ = pattern;
  }
  ~PosixSettingsFilesTest() override { std::filesystem::remove_all(dir_); }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  size_t Count() const {
    size_t n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) n += entry.exists();
    return n;
  }
  std::string dir_;
  PosixSettingsFiles files_;
};

TEST_F(PosixSettingsFilesTest, ConfigFolderFollowsTheXdgRules) {
  const char* old_xdg = std::getenv("XDG_CONFIG_HOME");
  const char* old_home = std::getenv("HOME");
  const std::string saved_xdg = old_xdg ? old_xdg : "";
  const std::string saved_home = old_home ? old_home : "";
  setenv("XDG_CONFIG_HOME", "/x/conf", 1);
  setenv("HOME", "/h", 1);
  EXPECT_EQ(files_.ConfigFolder(), "/x/conf/sorrel");
  setenv("XDG_CONFIG_HOME", "relative", 1);
  EXPECT_EQ(files_.ConfigFolder(), "/h/.config/sorrel");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(files_.ConfigFolder(), "/h/.config/sorrel");
  unsetenv("HOME");
  EXPECT_EQ(files_.ConfigFolder(), "");
  if (old_xdg) setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1);
  if (old_home) setenv("HOME", saved_home.c_str(), 1);
}

TEST_F(PosixSettingsFilesTest, ReplaceMakesFoldersAndPrivateFilesAndKeepsModes) {
  const std::string path = Path("a/b/registry.reg");
  std::string bytes;
  int error = 0;
  EXPECT_EQ(files_.ReadFile(path, &bytes, &error), SettingsReadStatus::Missing);
  EXPECT_EQ(files_.Lock(path, false, &error), nullptr);
  EXPECT_EQ(error, ENOENT);
  {
    auto locked = files_.Lock(path, true, &error);
    ASSERT_NE(locked, nullptr);
    EXPECT_EQ(locked->Read(&bytes, &error), SettingsReadStatus::Missing);
    ASSERT_TRUE(locked->Replace("one", &error));
  }
  struct stat st;
  ASSERT_EQ(stat(Path("a").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  chmod(path.c_str(), 0640);
  ASSERT_TRUE(files_.Lock(path, false, &error)->Replace("two", &error));
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(files_.ReadFile(path, &bytes, &error), SettingsReadStatus::Ok);
  EXPECT_EQ(bytes, "two");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("a/b")),
                          std::filesystem::directory_iterator()),
            1);
  // What a writer killed before its rename left goes at the next replacement;
  // a file that only looks like one in length or name stays.
  std::ofstream(Path("a/b/registry.reg.tmp-Ab12Cd")) << "killed";
  std::ofstream(Path("a/b/registry.reg.tmp-mine")) << "kept";
  ASSERT_TRUE(files_.Lock(path, false, &error)->Replace("three", &error));
  EXPECT_FALSE(std::filesystem::exists(Path("a/b/registry.reg.tmp-Ab12Cd")));
  EXPECT_TRUE(std::filesystem::exists(Path("a/b/registry.reg.tmp-mine")));
  // A folder in the way of the folder to make: the system's reason comes back.
  std::ofstream(Path("file")) << "x";
  EXPECT_EQ(files_.Lock(Path("file/sorrel/registry.reg"), true, &error), nullptr);
  EXPECT_EQ(error, ENOTDIR);
}

TEST_F(PosixSettingsFilesTest, AnythingButARegularFileIsNeverRead) {
  std::string bytes;
  int error = 0;
  ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
  // A FIFO without a writer would block a plain open for ever.
  EXPECT_EQ(files_.ReadFile(Path("fifo"), &bytes, &error), SettingsReadStatus::NotRegular);
  EXPECT_EQ(files_.Lock(Path("fifo"), false, &error)->Read(&bytes, &error),
            SettingsReadStatus::NotRegular);
  EXPECT_TRUE(files_.CanRead(Path("fifo")));
  EXPECT_EQ(files_.ReadFile(dir_, &bytes, &error), SettingsReadStatus::NotRegular);
  EXPECT_EQ(files_.ReadFile("/dev/null", &bytes, &error), SettingsReadStatus::NotRegular);
}

TEST_F(PosixSettingsFilesTest, ALinkIsWrittenThroughAndSharesTheLockOfItsTarget) {
  std::filesystem::create_directories(Path("dotfiles"));
  std::filesystem::create_directories(Path("config"));
  std::ofstream(Path("dotfiles/registry.reg")) << "old";
  std::filesystem::create_symlink("../dotfiles/registry.reg", Path("config/registry.reg"));
  int error = 0;
  auto locked = files_.Lock(Path("config/registry.reg"), false, &error);
  ASSERT_NE(locked, nullptr);
  std::string bytes;
  EXPECT_EQ(locked->Read(&bytes, &error), SettingsReadStatus::Ok);
  EXPECT_EQ(bytes, "old");
  ASSERT_TRUE(locked->Replace("new", &error));
  EXPECT_TRUE(std::filesystem::is_symlink(Path("config/registry.reg")));
  EXPECT_EQ(Read("dotfiles/registry.reg"), "new");
  // The lock is the target folder's, whichever name was used.
  const int fd = open(Path("dotfiles").c_str(), O_RDONLY | O_DIRECTORY);
  EXPECT_NE(flock(fd, LOCK_EX | LOCK_NB), 0);
  locked.reset();
  EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  close(fd);
  // A link that someone else planted, to a file that is not theirs, is not
  // followed.
  if (geteuid() == 0) {
    std::filesystem::create_symlink(Path("dotfiles/registry.reg"), Path("planted.reg"));
    ASSERT_EQ(lchown(Path("planted.reg").c_str(), 65534, 65534), 0);
    EXPECT_EQ(files_.Lock(Path("planted.reg"), false, &error), nullptr);
    EXPECT_EQ(error, EACCES);
  }
}

TEST_F(PosixSettingsFilesTest, SetAsideNeverTakesAnotherFilesName) {
  int error = 0;
  std::ofstream(Path("s.ini")) << "first";
  std::string first;
  ASSERT_TRUE(files_.Lock(Path("s.ini"), false, &error)->SetAside(&first, &error));
  std::ofstream(Path("s.ini")) << "second";
  std::string second;
  ASSERT_TRUE(files_.Lock(Path("s.ini"), false, &error)->SetAside(&second, &error));
  EXPECT_EQ(first.substr(0, Path("s.ini.damaged-").size()), Path("s.ini.damaged-"));
  EXPECT_NE(first, second);
  std::string bytes;
  EXPECT_EQ(files_.ReadFile(first, &bytes, &error), SettingsReadStatus::Ok);
  EXPECT_EQ(bytes, "first");
  EXPECT_EQ(files_.ReadFile(second, &bytes, &error), SettingsReadStatus::Ok);
  EXPECT_EQ(bytes, "second");
  EXPECT_EQ(files_.ReadFile(Path("s.ini"), &bytes, &error), SettingsReadStatus::Missing);
  EXPECT_EQ(Count(), 2u);
}

TEST_F(PosixSettingsFilesTest, CreateNewNeverReplacesAFile) {
  EXPECT_FALSE(files_.CanRead(Path("n.ini")));
  EXPECT_TRUE(files_.CreateNew(Path("n.ini"), std::string_view("\xFF\xFE\r\0\n\0", 6)));
  EXPECT_TRUE(files_.CanRead(Path("n.ini")));
  EXPECT_FALSE(files_.CreateNew(Path("n.ini"), "other"));
  EXPECT_EQ(Read("n.ini"), std::string("\xFF\xFE\r\0\n\0", 6));
  EXPECT_FALSE(files_.CreateNew(Path("missing/n.ini"), "x"));
}

TEST_F(PosixSettingsFilesTest, TheLockExcludesOtherProcessesUntilTheHolderLetsGo) {
  // The agreed descriptor is kept busy, so that the lock is never opened
  // there itself, whatever descriptors the test was started with.
  const int saved = fcntl(kHandedOnLockDescriptor, F_DUPFD_CLOEXEC, 64);
  const int null = open("/dev/null", O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(dup2(null, kHandedOnLockDescriptor), kHandedOnLockDescriptor);
  if (null != kHandedOnLockDescriptor) close(null);
  int error = 0;
  auto locked = files_.Lock(Path("r.reg"), false, &error);
  ASSERT_NE(locked, nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Another process's lock on the same folder must not be granted now.
    const int fd = open(dir_.c_str(), O_RDONLY | O_DIRECTORY);
    _exit(flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  // Held on at the agreed descriptor, as a started program holds it, the lock
  // outlives the holder's own descriptor until the program lets go of it.
  ASSERT_EQ(dup2(static_cast<int>(locked->Handle()), kHandedOnLockDescriptor),
            kHandedOnLockDescriptor);
  locked.reset();
  const int other = open(dir_.c_str(), O_RDONLY | O_DIRECTORY);
  EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
  files_.ReleaseHandedOnLock(Path("elsewhere/r.reg"));  // not this store's lock
  EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);
  files_.ReleaseHandedOnLock(Path("r.reg"));
  EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  close(other);
  if (saved >= 0) {
    dup2(saved, kHandedOnLockDescriptor);
    close(saved);
  } else {
    close(kHandedOnLockDescriptor);
  }
}

}  // namespace
}  // namespace sorrel::platform
