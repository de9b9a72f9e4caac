#include "engine/writer.h"

#include <cerrno>
#include <filesystem>

#include <gtest/gtest.h>

#include "engine/messages.h"
#include "engine/reader.h"
#include "engine/test_support.h"

namespace sorrel {
namespace {

using testing::CodePageServiceWrapper;
using testing::Environment;
using testing::FileSystemWrapper;
using testing::NoServiceConversion;
using testing::TempFolder;

class WriterTest : public ::testing::Test {
 protected:
  // Writes text over f.txt (which holds old) and returns the new bytes.
  std::string Write(const TextBuffer& text, uint32_t code_page, uint32_t bom,
                    const std::string& old = "old") {
    dir.Write("f.txt", old);
    std::string bytes;
    platform::FileSnapshot snapshot;
    env.ctx.fs->ReadWholeFile(dir.Path("f.txt"), &bytes, &snapshot);
    what.clear();
    detail.clear();
    written =
        WriteTextFile(env.ctx, dir.Path("f.txt"), text, code_page, bom, snapshot, &what, &detail);
    return dir.Read("f.txt");
  }
  Environment env;
  TempFolder dir;
  std::u16string what;
  std::u16string detail;
  bool written = false;
};

TEST_F(WriterTest, TheMarkFollowsTheOutputCodePageWhenTheInputHadOne) {
  EXPECT_EQ(Write(u"a", 65001, 1),
            "\xEF\xBB\xBF"
            "a");
  EXPECT_TRUE(written);
  EXPECT_EQ(Write(u"a", 65001, 0), "a");
  EXPECT_EQ(Write(u"\u3042", 1201, 1), "\xFE\xFF\x30\x42");
  EXPECT_EQ(Write(u"\u3042", 1200, 1), "\xFF\xFE\x42\x30");
  EXPECT_EQ(Write(u"\u3042", 932, 1), "\x82\xA0");
  EXPECT_TRUE(what.empty() && detail.empty());
}

TEST_F(WriterTest, CharactersThePageLacksBecomeQuestionMarksAndAreReported) {
  const std::string pair = Write(u"x\U0001F600y", 932, 0);
  EXPECT_TRUE(written);
  EXPECT_EQ(what, u"Force Conversion");
  EXPECT_EQ(detail, u"Unconvertible charactors are contained.");
  const std::string lone = Write(u"a\xD800", 65001, 0);
  EXPECT_EQ(what, u"Force Conversion");
  if (testing::RunningUnderWine()) {
    GTEST_SKIP() << "needs Windows: the MultiLanguage service without best fit, one \"?\" for a "
                    "surrogate pair (Wine's writes e for U+00E9, ?? for U+1F600 and U+FFFD for a "
                    "lone surrogate)";
  }
  // A surrogate pair is one character and becomes one "?".
  EXPECT_EQ(pair, "x?y");
  EXPECT_EQ(lone, "a?");
  // U+00E9 and U+301C have best fits in 932 that must not be used.
  EXPECT_EQ(Write(u"x\u00E9y", 932, 0), "x?y");
  EXPECT_EQ(Write(u"\u301C", 932, 0), "?");
}

TEST_F(WriterTest, Utf16WritesEveryUnitAsItIs) {
  // The halves of a pair that a line end was put between stay as they are.
  EXPECT_EQ(Write(u"a\xD83D\n\xDE00", 1200, 1), std::string("\xFF\xFE"
                                                            "a\0\x3D\xD8\n\0\x00\xDE",
                                                            10));
  EXPECT_EQ(Write(u"a\xD83D", 1201, 0), std::string("\0a\xD8\x3D", 4));
  EXPECT_TRUE(what.empty() && detail.empty());
}

TEST_F(WriterTest, SystemConversionReplacesWithWarningAndWrites) {
  NoServiceConversion service(env.ctx.code_pages);
  env.ctx.code_pages = &service;
  EXPECT_EQ(Write(u"A\u3042\u20AC", 932, 0), "A\x82\xA0?");
  EXPECT_TRUE(written);
  EXPECT_EQ(what, u"Force Conversion");
  EXPECT_EQ(detail, u"Unconvertible charactors are contained.");

  EXPECT_EQ(Write(u"A\u3042", 932, 0), "A\x82\xA0");
  EXPECT_TRUE(what.empty());
}

// Records the code page the system conversion is asked for.
class RecordingConversion : public platform::SystemConversion {
 public:
  bool Encode(uint32_t code_page, std::u16string_view, std::string* out, bool* used_default,
              int* error) override {
    pages.push_back(code_page);
    flag_passed.push_back(used_default != nullptr);
    if (fail) {
      *error = EILSEQ;
      return false;
    }
    out->assign("x");
    return true;
  }
  std::vector<uint32_t> pages;
  std::vector<bool> flag_passed;
  bool fail = false;
};

TEST_F(WriterTest, SystemConversionKnowsEucJpAs20932AndFailsWithTheSystemText) {
  NoServiceConversion service(env.ctx.code_pages);
  RecordingConversion conversion;
  env.ctx.code_pages = &service;
  env.ctx.system_conversion = &conversion;
  Write(u"a", 51932, 0);
  Write(u"a", 65001, 0);
  EXPECT_EQ(conversion.pages, (std::vector<uint32_t>{20932, 65001}));
  EXPECT_EQ(conversion.flag_passed, (std::vector<bool>{true, false}));

  conversion.fail = true;
  EXPECT_EQ(Write(u"a", 1252, 0), "old");
  EXPECT_FALSE(written);
  EXPECT_EQ(what, u"WideCharToMultiByte");
  EXPECT_EQ(detail, env.ctx.fs->SystemErrorText(UiLanguage::English, EILSEQ));
}

TEST_F(WriterTest, ServiceFailuresLeaveTheFileAndSayWhy) {
  class Broken : public CodePageServiceWrapper {
   public:
    using CodePageServiceWrapper::CodePageServiceWrapper;
    std::unique_ptr<platform::CodePageConverter> Create(platform::CreateStatus* s) override {
      *s = status;
      return nullptr;
    }
    platform::CreateStatus status = platform::CreateStatus::ClassNotRegistered;
  } service(env.ctx.code_pages);
  env.ctx.code_pages = &service;
  env.ctx.language = UiLanguage::Japanese;
  EXPECT_EQ(Write(u"new", 65001, 0), "old");
  EXPECT_FALSE(written);
  EXPECT_EQ(what, u"CoCreateInstance失敗");
  EXPECT_EQ(detail, messages::kClassNotRegistered.ja);
  service.status = platform::CreateStatus::Other;
  Write(u"new", 65001, 0);
  EXPECT_EQ(what, u"CoCreateInstance失敗");
  EXPECT_TRUE(detail.empty());
}

// The system's code for a file it will not let be written.
#ifdef _WIN32
constexpr int kAccessDenied = 5;  // ERROR_ACCESS_DENIED
#else
constexpr int kAccessDenied = EACCES;
#endif

TEST_F(WriterTest, AReadOnlyFileIsRefusedWithTheSystemText) {
  dir.Write("f.txt", "old");
  namespace fs = std::filesystem;
  fs::permissions(dir.Path("f.txt"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  std::string bytes;
  platform::FileSnapshot snapshot;
  env.ctx.fs->ReadWholeFile(dir.Path("f.txt"), &bytes, &snapshot);
  EXPECT_FALSE(WriteTextFile(env.ctx, dir.Path("f.txt"), u"new", 932, 0, snapshot, &what, &detail));
  EXPECT_EQ(dir.Read("f.txt"), "old");
  EXPECT_EQ(what, u"Cannot open a file as write mode");
  EXPECT_EQ(detail, env.ctx.fs->SystemErrorText(UiLanguage::English, kAccessDenied));
}

TEST_F(WriterTest, FailuresOfTheRewriteKeepTheOriginal) {
  struct Failing : FileSystemWrapper {
    using FileSystemWrapper::FileSystemWrapper;
    platform::RewriteResult RewriteFile(const std::string&, const platform::FileSnapshot&,
                                        const std::string&) override {
      return result;
    }
    platform::RewriteResult result{platform::RewriteStatus::WriteError, ENOSPC};
  } fs(env.ctx.fs);
  env.ctx.fs = &fs;
  EXPECT_EQ(Write(u"new", 932, 0), "old");
  EXPECT_FALSE(written);
  EXPECT_EQ(what, u"WriteFile error");
  EXPECT_EQ(detail, fs.SystemErrorText(UiLanguage::English, ENOSPC));

  fs.result = {platform::RewriteStatus::Changed, 0};
  env.ctx.language = UiLanguage::Japanese;
  Write(u"new", 932, 0);
  EXPECT_EQ(what, u"ファイルを書き込みモードで開けません");
  EXPECT_EQ(detail, messages::kChangedSinceRead.ja);

  fs.result = {platform::RewriteStatus::OthersPending, 0};
  Write(u"new", 932, 0);
  EXPECT_EQ(what, u"ファイルを書き込みモードで開けません");
  EXPECT_EQ(detail, messages::kOthersRewritePending.ja);

  fs.result = {platform::RewriteStatus::FolderNotWritable, EACCES};
  Write(u"new", 932, 0);
  EXPECT_EQ(what, u"ファイルを書き込みモードで開けません");
  EXPECT_EQ(detail, messages::kFolderNotWritable.ja);
}

TEST_F(WriterTest, AFileChangedAfterItWasReadIsNotOverwritten) {
  dir.Write("f.txt", "old");
  std::string bytes;
  platform::FileSnapshot snapshot;
  env.ctx.fs->ReadWholeFile(dir.Path("f.txt"), &bytes, &snapshot);
  dir.Write("f.txt", "someone else's");
  EXPECT_FALSE(WriteTextFile(env.ctx, dir.Path("f.txt"), u"new", 932, 0, snapshot, &what, &detail));
  EXPECT_EQ(dir.Read("f.txt"), "someone else's");
  EXPECT_EQ(detail, messages::kChangedSinceRead.en);
}

TEST_F(WriterTest, AgreesWithIconvOnJapaneseText) {
  if (std::system("command -v iconv >/dev/null 2>&1") != 0) GTEST_SKIP() << "no iconv";
  const TextBuffer text = u"漢字とかなカナ、ｶﾀｶﾅ ASCII 123。\r\n二行目①";
  dir.Write("utf8.txt", Write(text, 65001, 0));
  for (const auto& [page, name] :
       {std::pair<uint32_t, const char*>{932, "CP932"}, {51932, "EUC-JP-MS"}, {1201, "UTF-16BE"}}) {
    const std::string ours = Write(text, page, 0);
    const std::string cmd = "iconv -f UTF-8 -t " + std::string(name) + " " + dir.Path("utf8.txt") +
                            " > " + dir.Path("oracle");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ours, dir.Read("oracle")) << name;
  }
}

}  // namespace
}  // namespace sorrel
