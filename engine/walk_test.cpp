#include "engine/walk.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <utility>

#include <gtest/gtest.h>

#include "engine/process_file.h"
#include "engine/replacement.h"
#include "engine/test_support.h"

namespace sorrel {
namespace {

using testing::Environment;
using testing::FileSystemWrapper;
using testing::TempFolder;

// Runs each test inside its temporary folder and comes back afterwards.
class WalkTest : public ::testing::Test {
 protected:
  WalkTest() {
    char* cwd = getcwd(nullptr, 0);
    home_ = cwd;
    free(cwd);
    options.CharEncode = 1;
    options.TargetPattern = u"*.txt";
  }
  ~WalkTest() override { EXPECT_EQ(chdir(home_.c_str()), 0); }
  bool Walk() {
    EXPECT_EQ(chdir(dir.path().c_str()), 0);
    return WalkTargets(env.ctx, options);
  }
  // The log of a walk over empty files names the files in the order visited.
  std::u16string Visited() const { return env.ctx.MessageLog; }

  Environment env;
  TempFolder dir;
  ConversionOptions options;

 private:
  std::string home_;
};

// The order a depth-first walk must take, from the directory listings.
void ExpectedOrder(const std::string& folder, const std::string& suffix, std::u16string* out) {
  std::vector<std::pair<std::string, bool>> entries;
  DIR* d = opendir(folder.c_str());
  while (dirent* e = readdir(d)) entries.push_back({e->d_name, e->d_type == DT_DIR});
  closedir(d);
  for (const auto& [name, is_dir] : entries) {
    if (!is_dir && name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      out->append(std::u16string(name.begin(), name.end()) + u" is empty.\r\n");
    }
  }
  for (const auto& [name, is_dir] : entries) {
    if (is_dir && name != "." && name != "..") ExpectedOrder(folder + "/" + name, suffix, out);
  }
}

TEST_F(WalkTest, FilesOfAFolderComeBeforeItsSubfoldersDepthFirst) {
  for (const char* f : {"a.txt", "b.txt", "skip.dat", "sub1/c.txt", "sub1/deep/d.txt",
                        "sub1/deep/e.txt", "sub2/f.txt", "match.txt/g.txt"}) {
    const std::string path = f;
    for (size_t slash = path.find('/'); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
      dir.MakeFolder(path.substr(0, slash));
    }
    dir.Write(path, "");
  }
  options.SearchSubFolders = true;
  EXPECT_TRUE(Walk());
  std::u16string expected;
  ExpectedOrder(dir.path(), ".txt", &expected);
  EXPECT_EQ(Visited(), expected);
  // The folder named like a match is walked, never processed as a file.
  EXPECT_NE(Visited().find(u"g.txt is empty."), std::u16string::npos);
  EXPECT_EQ(Visited().find(u"match.txt is empty."), std::u16string::npos);
}

// Records the searches made and refuses to enter one folder.
struct Recording : FileSystemWrapper {
  using FileSystemWrapper::FileSystemWrapper;
  std::unique_ptr<platform::DirectorySearch> FindFirst(const std::string& pattern) override {
    patterns.push_back(pattern);
    return FileSystemWrapper::FindFirst(pattern);
  }
  bool SetCurrentDirectory(const std::string& path) override {
    return path != locked && FileSystemWrapper::SetCurrentDirectory(path);
  }
  std::vector<std::string> patterns;
  std::string locked;
};

TEST_F(WalkTest, WithoutSubfolderSearchNothingBelowIsTouched) {
  dir.MakeFolder("sub");
  dir.Write("sub/a.txt", "");
  Recording fs(env.ctx.fs);
  env.ctx.fs = &fs;
  EXPECT_TRUE(Walk());
  EXPECT_EQ(fs.patterns, std::vector<std::string>{"*.txt"});
  EXPECT_EQ(Visited(), u"");
}

TEST_F(WalkTest, AFolderThatCannotBeEnteredIsReportedOnceAndSiblingsGoOn) {
  for (const char* f : {"locked", "open1", "open2"}) dir.MakeFolder(f);
  dir.Write("locked/x.txt", "");
  dir.Write("open1/y.txt", "");
  dir.Write("open2/z.txt", "");
  Recording fs(env.ctx.fs);
  fs.locked = "locked";
  env.ctx.fs = &fs;
  options.SearchSubFolders = true;
  EXPECT_TRUE(Walk());
  const std::u16string log = Visited();
  EXPECT_NE(log.find(u"SetCurrentDirectory error. - locked\r\n"), std::u16string::npos);
  EXPECT_NE(log.find(u"y.txt is empty."), std::u16string::npos);
  EXPECT_NE(log.find(u"z.txt is empty."), std::u16string::npos);
  EXPECT_EQ(log.find(u"x.txt"), std::u16string::npos);
}

TEST_F(WalkTest, ALinkBackIntoTheTreeIsWalkedOnce) {
  dir.MakeFolder("sub");
  dir.Write("sub/a.txt", "");
  ASSERT_EQ(symlink("..", dir.Path("sub/up").c_str()), 0);
  ASSERT_EQ(symlink(dir.Path("sub").c_str(), dir.Path("again").c_str()), 0);
  options.SearchSubFolders = true;
  EXPECT_TRUE(Walk());
  EXPECT_EQ(Visited(), u"a.txt is empty.\r\n");
}

TEST_F(WalkTest, AFileReachedUnderTwoNamesIsConvertedOnce) {
  // A replacement that is not idempotent shows a second pass at once.
  options.ReplaceString = true;
  ASSERT_TRUE(
      PrepareReplacement(env.ctx, u"a", u"aa", false, false, false, false, &options.Replacement));
  dir.Write("hard.txt", "abc");
  ASSERT_EQ(link(dir.Path("hard.txt").c_str(), dir.Path("hard2.txt").c_str()), 0);
  dir.Write("target.txt", "xa");
  ASSERT_EQ(symlink("target.txt", dir.Path("soft.txt").c_str()), 0);
  // An old backup in the listing is replaced by this run's, which must stay
  // the untouched original.
  dir.Write("k.txt", "ka");
  dir.Write("k.txt.bak", "old backup a");
  options.FileBackup = true;
  options.TargetPattern = u"*";
  EXPECT_TRUE(Walk());
  EXPECT_EQ(dir.Read("hard.txt"), "aabc");
  EXPECT_EQ(dir.Read("hard2.txt"), "aabc");
  EXPECT_EQ(dir.Read("target.txt"), "xaa");
  EXPECT_EQ(dir.Read("k.txt"), "kaa");
  EXPECT_EQ(dir.Read("k.txt.bak"), "ka");
}

// Hands sub/b.txt the number a.txt had when it was read (a rewrite frees it,
// and the system gives it to the next file made), and sub/d.txt the number
// of c.txt, which the run read and left as it was. The rewrite itself sees
// the real file.
struct ReusedNumbers : FileSystemWrapper {
  using FileSystemWrapper::FileSystemWrapper;
  bool FileId(const std::string& name, platform::FileSnapshot* id) override {
    return FileSystemWrapper::FileId(name, id) && Borrow(name, id);
  }
  platform::ReadStatus ReadWholeFile(const std::string& name, std::string* bytes,
                                     platform::FileSnapshot* snapshot) override {
    const platform::ReadStatus status = FileSystemWrapper::ReadWholeFile(name, bytes, snapshot);
    if (name == "a.txt" || name == "c.txt")
      numbers[name == "a.txt" ? "b.txt" : "d.txt"] = *snapshot;
    Borrow(name, snapshot);
    return status;
  }
  platform::RewriteResult RewriteFile(const std::string& name,
                                      const platform::FileSnapshot& snapshot,
                                      const std::string& data) override {
    platform::FileSnapshot real = snapshot;
    if (numbers.count(name) != 0) FileSystemWrapper::FileId(name, &real);
    return FileSystemWrapper::RewriteFile(name, real, data);
  }
  bool Borrow(const std::string& name, platform::FileSnapshot* id) {
    if (const auto it = numbers.find(name); it != numbers.end()) {
      id->device = it->second.device;
      id->inode = it->second.inode;
    }
    return true;
  }
  std::map<std::string, platform::FileSnapshot> numbers;
};

TEST_F(WalkTest, ANumberHandedOnIsNotTakenForAFileAlreadyConverted) {
  ReusedNumbers fs(env.ctx.fs);
  env.ctx.fs = &fs;
  options.UnifyLineEndKind = kLineEndLf;
  options.SearchSubFolders = true;
  dir.Write("a.txt", "a\r\n");
  dir.Write("c.txt", "c\n");
  dir.MakeFolder("sub");
  dir.Write("sub/b.txt", "b\r\n");
  dir.Write("sub/d.txt", "d\r\n");
  EXPECT_TRUE(Walk());
  EXPECT_EQ(dir.Read("a.txt"), "a\n");
  EXPECT_EQ(dir.Read("sub/b.txt"), "b\n");
  EXPECT_EQ(dir.Read("sub/d.txt"), "d\n");
  EXPECT_EQ(env.ctx.TargetCount, 4u);
}

// While the walk is in the first of b's subfolders, b is swapped for a link
// to another folder with subfolders of the same names: the way back by name
// would lead there, so the walk stops with a line.
TEST_F(WalkTest, AFolderSwappedForALinkOnTheWayBackStopsTheWalk) {
  for (const char* f : {"b", "b/c1", "b/c2", "elsewhere", "elsewhere/c1", "elsewhere/c2"}) {
    dir.MakeFolder(f);
  }
  dir.Write("elsewhere/c1/x.txt", "");
  dir.Write("elsewhere/c2/x.txt", "");
  options.SearchSubFolders = true;
  struct Swap : FileSystemWrapper {
    Swap(platform::FileSystem* fs, TempFolder* dir) : FileSystemWrapper(fs), dir(dir) {}
    bool SetCurrentDirectory(const std::string& path) override {
      const bool entered = FileSystemWrapper::SetCurrentDirectory(path);
      if ((path == "c1" || path == "c2") && !std::exchange(swapped, true)) {
        EXPECT_EQ(rename(dir->Path("b").c_str(), dir->Path("b.old").c_str()), 0);
        EXPECT_EQ(symlink(dir->Path("elsewhere").c_str(), dir->Path("b").c_str()), 0);
      }
      return entered;
    }
    TempFolder* dir;
    bool swapped = false;
  } fs(env.ctx.fs, &dir);
  env.ctx.fs = &fs;
  EXPECT_FALSE(Walk());
  EXPECT_EQ(Visited().rfind(u"SetCurrentDirectory error. - ", 0), 0u);
  EXPECT_EQ(Visited().find(u"x.txt"), std::u16string::npos);
}

TEST_F(WalkTest, AnAbortDeepDownStopsEveryLevel) {
  dir.MakeFolder("a");
  dir.MakeFolder("a/b");
  dir.Write("a/b/1.txt", "");
  dir.Write("a/b/2.txt", "");
  dir.MakeFolder("z");
  dir.Write("z/3.txt", "");
  options.SearchSubFolders = true;
  env.ctx.cui_mode = true;  // the key stops the run at once
  // The key goes down as the walk enters the deepest folder.
  struct KeyDown : FileSystemWrapper {
    KeyDown(platform::FileSystem* fs, testing::FakeUser* user)
        : FileSystemWrapper(fs), user(user) {}
    bool SetCurrentDirectory(const std::string& path) override {
      if (path == "b") user->abort_at = {user->abort_polls + 1};
      return FileSystemWrapper::SetCurrentDirectory(path);
    }
    testing::FakeUser* user;
  } fs(env.ctx.fs, &env.user);
  env.ctx.fs = &fs;
  EXPECT_FALSE(Walk());
  // The walk went in its order up to the deepest folder, and no further.
  std::u16string order;
  ExpectedOrder(dir.path(), ".txt", &order);
  const size_t first = std::min(order.find(u"1.txt"), order.find(u"2.txt"));
  EXPECT_EQ(env.console.out, order.substr(0, first));
  char* cwd = getcwd(nullptr, 0);
  EXPECT_EQ(std::string(cwd), dir.path());
  free(cwd);
}

TEST_F(WalkTest, TheAbortKeyCountsOnlyForTheForegroundDialogAndAsks) {
  dir.Write("a.txt", "x");
  env.user.foreground = false;
  env.user.abort_at = {1, 2, 3};
  EXPECT_TRUE(Walk());
  EXPECT_TRUE(env.user.boxes.empty());

  env.user.foreground = true;
  env.user.abort_polls = 0;
  env.user.answers = {platform::Answer::No, platform::Answer::Yes};
  EXPECT_FALSE(Walk());
  ASSERT_EQ(env.user.boxes.size(), 2u);
  EXPECT_EQ(env.user.boxes[0].icon, platform::Icon::Question);
}

TEST_F(WalkTest, JapaneseAbortQuestionAndFolderLine) {
  Environment ja(UiLanguage::Japanese);
  dir.MakeFolder("locked");
  Recording fs(ja.ctx.fs);
  fs.locked = "locked";
  ja.ctx.fs = &fs;
  options.SearchSubFolders = true;
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  EXPECT_TRUE(WalkTargets(ja.ctx, options));
  EXPECT_EQ(ja.ctx.MessageLog, u"フォルダ locked に移動できません。\r\n");
  ja.user.abort_at = {ja.user.abort_polls + 1};
  ja.user.answers = {platform::Answer::Yes};
  EXPECT_FALSE(WalkTargets(ja.ctx, options));
  ASSERT_EQ(ja.user.boxes.size(), 1u);
  EXPECT_EQ(ja.user.boxes[0].text, u"Escキーが押されました。中断しますか?");
  EXPECT_EQ(ja.user.boxes[0].caption, u"中断");
}

// The walk reads ahead and converts on other threads; what it gives must be
// what processing the same entries one at a time gives: every file's bytes,
// the lines in their order, the counts. Among the files: ones that change and
// ones that do not, empty, undecodable and read-only ones, one too large to
// be read ahead beside others, a file under two names, and a link to another.
TEST_F(WalkTest, ReadingAheadGivesWhatOneFileAtATimeGives) {
  options.CharEncode = 4;  // UTF-8
  options.UnifyLineEndKind = kLineEndLf;
  options.DelRightWhiteSpace = true;
  options.SETTS = true;
  TempFolder other;
  for (const TempFolder* folder : {&dir, &other}) {
    for (int i = 0; i < 150; ++i) {
      const std::string name = "f" + std::to_string(i) + ".txt";
      std::string bytes = "line " + std::to_string(i) + (i % 3 == 0 ? " \n" : " \r\n");
      if (i % 17 == 0) bytes.clear();
      if (i % 19 == 0) bytes += "\xFF";
      folder->Write(name, bytes);
      if (i % 23 == 0) chmod(folder->Path(name).c_str(), 0444);
    }
    folder->Write("big.txt", std::string(5 << 20, 'x') + "\r\n");
    ASSERT_EQ(link(folder->Path("f1.txt").c_str(), folder->Path("hard.txt").c_str()), 0);
    ASSERT_EQ(symlink("f2.txt", folder->Path("soft.txt").c_str()), 0);
  }
  EXPECT_TRUE(Walk());

  // One at a time, in the order the walk met the entries.
  Environment one;
  ASSERT_EQ(chdir(other.path().c_str()), 0);
  std::map<std::pair<uint64_t, uint64_t>, platform::FileSnapshot> walked;
  one.ctx.walked_files = &walked;
  std::unique_ptr<platform::DirectorySearch> search = one.ctx.fs->FindFirst("*.txt");
  ASSERT_NE(search, nullptr);
  std::vector<std::string> names;
  for (platform::FindEntry entry; search->Next(&entry);) {
    names.push_back(entry.name);
    EXPECT_TRUE(ProcessFile(one.ctx, entry.name, options));
  }
  one.ctx.walked_files = nullptr;
  EXPECT_EQ(env.ctx.MessageLog, one.ctx.MessageLog);
  EXPECT_EQ(env.ctx.TargetCount, one.ctx.TargetCount);
  EXPECT_EQ(env.ctx.ReplacedCount, one.ctx.ReplacedCount);
  EXPECT_GT(env.ctx.ReplacedCount, 50u);
  for (const std::string& name : names) EXPECT_EQ(dir.Read(name), other.Read(name)) << name;
}

// An abort in the middle of a folder leaves every file before it converted
// and every file after it untouched, whatever was done ahead.
TEST_F(WalkTest, AnAbortLeavesTheFilesAfterItAsTheyWere) {
  for (int i = 0; i < 100; ++i) dir.Write("f" + std::to_string(i) + ".txt", "a\r\n");
  options.UnifyLineEndKind = kLineEndLf;
  // Ten checks a file: before it, before each stage, after it. The eleventh
  // file stops at its sixth.
  env.user.abort_at = {10 * 10 + 6};
  EXPECT_FALSE(Walk());
  EXPECT_EQ(env.ctx.TargetCount, 10u);
  EXPECT_EQ(env.ctx.ReplacedCount, 10u);
  std::unique_ptr<platform::DirectorySearch> search = env.ctx.fs->FindFirst("*.txt");
  int seen = 0;
  for (platform::FindEntry entry; search->Next(&entry); ++seen) {
    EXPECT_EQ(dir.Read(entry.name), seen < 10 ? "a\n" : "a\r\n") << entry.name;
  }
  EXPECT_EQ(seen, 100);
}

}  // namespace
}  // namespace sorrel
