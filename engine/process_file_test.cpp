#include "engine/process_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>

#include <gtest/gtest.h>

#include "engine/replacement.h"
#include "engine/test_support.h"

namespace sorrel {
namespace {

using testing::Environment;
using testing::FileSystemWrapper;
using testing::TempFolder;

class ProcessFileTest : public ::testing::Test {
 protected:
  ProcessFileTest() {
    options.CharEncode = 1;  // Shift-JIS
  }
  bool Process(const std::string& name = "f.txt") {
    return ProcessFile(env.ctx, dir.Path(name), options);
  }
  // The report lines with the folder taken out of the names.
  std::u16string Log() {
    std::u16string log = env.ctx.MessageLog;
    const std::u16string prefix(dir.path().begin(), dir.path().end());
    for (size_t at; (at = log.find(prefix + u"/")) != std::u16string::npos;) {
      log.erase(at, prefix.size() + 1);
    }
    return log;
  }
  Environment env;
  TempFolder dir;
  ConversionOptions options;
};

TEST_F(ProcessFileTest, AnUnchangedFileIsCountedButNotTouched) {
  dir.Write("f.txt", "line\r\n");
  struct timespec old_times[2] = {{0, 0}, {1000000000, 123456789}};
  utimensat(AT_FDCWD, dir.Path("f.txt").c_str(), old_times, 0);
  options.UnifyLineEndKind = kLineEndCrLf;
  options.FileBackup = true;
  EXPECT_TRUE(Process());
  EXPECT_EQ(env.ctx.TargetCount, 1u);
  EXPECT_EQ(env.ctx.ReplacedCount, 0u);
  EXPECT_FALSE(dir.Exists("f.txt.bak"));
  struct stat st;
  stat(dir.Path("f.txt").c_str(), &st);
  EXPECT_EQ(st.st_mtim.tv_sec, 1000000000);
  EXPECT_EQ(Log(), u"");
}

TEST_F(ProcessFileTest, AnotherOutputCodePageAloneRewritesTheFile) {
  dir.Write("f.txt", "\x82\xA0");
  options.WriteEncode = 4;
  EXPECT_TRUE(Process());
  EXPECT_EQ(dir.Read("f.txt"), "\xE3\x81\x82");
  EXPECT_EQ(env.ctx.ReplacedCount, 1u);
}

TEST_F(ProcessFileTest, LineEndsEveryNBytesAlwaysRewrite) {
  dir.Write("f.txt", "ab");
  options.InsLfByte = 10;
  EXPECT_TRUE(Process());
  EXPECT_EQ(env.ctx.ReplacedCount, 1u);
  EXPECT_EQ(dir.Read("f.txt"), "ab");
}

TEST_F(ProcessFileTest, ReaderFailuresAreReportedAndCountedNowhere) {
  dir.Write("f.txt", "");
  EXPECT_TRUE(Process());
  dir.Write("g.txt", "\x82");
  EXPECT_TRUE(Process("g.txt"));
  options.InsLfByte = 1;
  EXPECT_TRUE(Process("g.txt"));
  EXPECT_EQ(env.ctx.TargetCount, 0u);
  EXPECT_EQ(Log(),
            u"f.txt is empty.\r\nCannot encode g.txt to Unicode.\r\n"
            u"Cannot encode g.txt to Unicode.\r\n");
}

TEST_F(ProcessFileTest, JapaneseReaderLinesDependOnTheByteInsertion) {
  Environment ja(UiLanguage::Japanese);
  dir.Write("g.txt", "\x82");
  ProcessFile(ja.ctx, dir.Path("g.txt"), options);
  options.InsLfByte = 1;
  ProcessFile(ja.ctx, dir.Path("g.txt"), options);
  const std::u16string& log = ja.ctx.MessageLog;
  EXPECT_NE(
      log.find(
          u"のUnicode変換工程でエラーが発生しました。ファイル内容が文字列として解釈できません。"
          u"\r\n"),
      std::u16string::npos);
  EXPECT_NE(log.find(u"「指定したバイト数毎に改行コードを挟む」"), std::u16string::npos);
}

TEST_F(ProcessFileTest, BackupCopiesBeforeWritingAndItsFailureNamesTheBackup) {
  dir.Write("f.txt", "a\n");
  options.UnifyLineEndKind = kLineEndCrLf;
  options.FileBackup = true;
  EXPECT_TRUE(Process());
  EXPECT_EQ(dir.Read("f.txt"), "a\r\n");
  EXPECT_EQ(dir.Read("f.txt.bak"), "a\n");

  struct NoCopy : FileSystemWrapper {
    using FileSystemWrapper::FileSystemWrapper;
    bool CopyFile(const std::string&, const std::string&) override { return false; }
  } fs(env.ctx.fs);
  env.ctx.fs = &fs;
  dir.Write("g.txt", "b\n");
  EXPECT_TRUE(Process("g.txt"));
  EXPECT_EQ(dir.Read("g.txt"), "b\n");
  EXPECT_EQ(env.ctx.TargetCount, 2u);
  EXPECT_EQ(env.ctx.ReplacedCount, 1u);
  EXPECT_EQ(Log(), u"Cannot create a backup file - g.txt.bak.\r\n");
}

TEST_F(ProcessFileTest, TimeStampsComeBackToTheNanosecond) {
  dir.Write("f.txt", "a\n");
  struct timespec old_times[2] = {{0, 0}, {1234567890, 987654321}};
  utimensat(AT_FDCWD, dir.Path("f.txt").c_str(), old_times, 0);
  options.UnifyLineEndKind = kLineEndCrLf;
  options.SETTS = true;
  EXPECT_TRUE(Process());
  struct stat st;
  stat(dir.Path("f.txt").c_str(), &st);
  EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
  EXPECT_EQ(st.st_mtim.tv_nsec, 987654321);
  EXPECT_EQ(dir.Read("f.txt"), "a\r\n");
}

TEST_F(ProcessFileTest, TimeStampLinesComeBeforeTheWritersLine) {
  struct NoTimes : FileSystemWrapper {
    using FileSystemWrapper::FileSystemWrapper;
    bool GetFileTimes(const std::string&, platform::FileTimes*) override { return false; }
  } fs(env.ctx.fs);
  env.ctx.fs = &fs;
  testing::NoServiceConversion service(env.ctx.code_pages);
  env.ctx.code_pages = &service;
  dir.Write("f.txt", "\xE2\x82\xAC");  // the euro sign, which Shift-JIS lacks
  options.CharEncode = 4;
  options.WriteEncode = 1;
  options.SETTS = true;
  EXPECT_TRUE(Process());
  EXPECT_EQ(env.ctx.ReplacedCount, 1u);
  EXPECT_EQ(dir.Read("f.txt"), "?");
  EXPECT_EQ(Log(),
            u"Cannot read the timestamp. - f.txt\r\n"
            u"f.txt:Force Conversion - Unconvertible charactors are contained.\r\n");
}

TEST_F(ProcessFileTest, AnAbortInsideTheFileLeavesItUnwrittenAndUncounted) {
  dir.Write("f.txt", "a\n");
  options.UnifyLineEndKind = kLineEndCrLf;
  env.user.abort_at = {3};
  env.user.answers = {platform::Answer::Yes};
  EXPECT_FALSE(Process());
  EXPECT_EQ(dir.Read("f.txt"), "a\n");
  EXPECT_EQ(env.ctx.TargetCount, 0u);
  ASSERT_EQ(env.user.boxes.size(), 1u);
  EXPECT_EQ(env.user.boxes[0].text, u"Do you want to abort?");
  EXPECT_EQ(env.user.boxes[0].caption, u"Abort");
}

TEST_F(ProcessFileTest, AnAbortEndsAnExpressionThatWouldRunForMinutes) {
  // Each position reads the rest of its line twice: about 40 s in all.
  std::string text;
  for (int i = 0; i < 2000; ++i) text += std::string(2000, 'a') + "\n";
  dir.Write("f.txt", text);
  options.ReplaceString = true;
  ASSERT_TRUE(PrepareReplacement(env.ctx, u"(?=(\\w*))\\1X", u"y", true, false, false, false,
                                 &options.Replacement));
  env.user.abort_at = {9};  // the first look from inside the match
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Process());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(env.user.abort_polls, 9);
  EXPECT_EQ(dir.Read("f.txt"), text);
  EXPECT_EQ(env.ctx.TargetCount, 0u);
  EXPECT_EQ(Log(), u"");
}

TEST_F(ProcessFileTest, TheAbortKeyIsCheckedNineTimesForAFinishedFile) {
  dir.Write("f.txt", "a\n");
  env.user.abort_at = {100};
  EXPECT_TRUE(Process());
  EXPECT_EQ(env.user.abort_polls, 9);
}

TEST_F(ProcessFileTest, RunningOutOfMemoryEndsOnlyThisFile) {
  dir.Write("f.txt", "\t\t\tx");
  options.Tab2Space = true;
  options.Tab2SpaceClm = 4000000000u;
  EXPECT_TRUE(Process());
  EXPECT_EQ(dir.Read("f.txt"), "\t\t\tx");
  EXPECT_EQ(env.ctx.TargetCount, 0u);
  EXPECT_EQ(Log(), u"Not enough memory. - f.txt\r\n");
}

}  // namespace
}  // namespace sorrel
