// Every report line of a run, in both languages, against the texts as they
// must read.
#include <cerrno>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "base/main_dialog_ids.h"
#include "engine/job.h"
#include "engine/process_file.h"
#include "engine/report.h"
#include "engine/test_support.h"
#include "engine/walk.h"

namespace sorrel {
namespace {

using testing::CodePageServiceWrapper;
using testing::Environment;
using testing::FileSystemWrapper;
using testing::TempFolder;

// Fails or throws where a test asks it to.
struct Faults : FileSystemWrapper {
  using FileSystemWrapper::FileSystemWrapper;
  platform::ReadStatus ReadWholeFile(const std::string& name, std::string* bytes,
                                     platform::FileSnapshot* snapshot) override {
    switch (throw_on_read) {
      case 1:
        throw std::bad_alloc();
      case 2:
        throw std::out_of_range("x");
      case 3:
        throw std::runtime_error("x");
      case 4:
        throw 42;
      default:
        break;
    }
    if (read_error) return platform::ReadStatus::ReadError;
    if (not_followed) return platform::ReadStatus::NotFollowed;
    return FileSystemWrapper::ReadWholeFile(name, bytes, snapshot);
  }
  bool CopyFile(const std::string&, const std::string&) override { return false; }
  bool GetFileTimes(const std::string& name, platform::FileTimes* times) override {
    return times_readable && FileSystemWrapper::GetFileTimes(name, times);
  }
  platform::TimesStatus SetFileTimes(const std::string&, const platform::FileTimes&) override {
    return set_times;
  }
  std::vector<platform::Recovery> FinishInterruptedRuns() override { return recoveries; }
  platform::RewriteResult RewriteFile(const std::string& name,
                                      const platform::FileSnapshot& snapshot,
                                      const std::string& data) override {
    if (attributes_lost) return {platform::RewriteStatus::AttributesLost, ENOTSUP};
    return FileSystemWrapper::RewriteFile(name, snapshot, data);
  }
  int throw_on_read = 0;
  bool read_error = false;
  bool not_followed = false;
  bool attributes_lost = false;
  std::vector<platform::Recovery> recoveries;
  bool times_readable = true;
  platform::TimesStatus set_times = platform::TimesStatus::Ok;
};

struct NoService : CodePageServiceWrapper {
  using CodePageServiceWrapper::CodePageServiceWrapper;
  std::unique_ptr<platform::CodePageConverter> Create(platform::CreateStatus* status) override {
    *status = platform::CreateStatus::Other;
    return nullptr;
  }
};

// Runs each situation in a fresh folder and returns the line it reports for
// the file "f.txt" (or f.txt.bak).
class ReportLines : public ::testing::TestWithParam<UiLanguage> {
 protected:
  ReportLines() : env(GetParam()), faults(env.ctx.fs) {
    env.ctx.fs = &faults;
    options.CharEncode = 1;
    EXPECT_EQ(getcwd(home, sizeof home), home);
    EXPECT_EQ(chdir(dir.path().c_str()), 0);
  }
  ~ReportLines() override { EXPECT_EQ(chdir(home), 0); }
  std::u16string Line(const std::string& content) {
    if (!content.empty() || !dir.Exists("f.txt")) dir.Write("f.txt", content);
    env.ctx.MessageLog.clear();
    ProcessFile(env.ctx, "f.txt", options);
    return env.ctx.MessageLog;
  }
  bool ja() const { return GetParam() == UiLanguage::Japanese; }

  Environment env;
  Faults faults;
  TempFolder dir;
  ConversionOptions options;
  char home[4096];
};

TEST_P(ReportLines, OfTheReader) {
  EXPECT_EQ(ProcessFile(env.ctx, "missing.txt", options), true);
  EXPECT_EQ(env.ctx.MessageLog, ja() ? u"ファイル missing.txt を読み込みモードで開けません。\r\n"
                                     : u"Cannot open missing.txt.\r\n");
  dir.Write("f.txt", "");
  EXPECT_EQ(Line(""), ja() ? u"ファイル f.txt は内容が空です。\r\n" : u"f.txt is empty.\r\n");
  faults.read_error = true;
  EXPECT_EQ(Line("x"), ja() ? u"ファイル f.txt の読み込み中にエラーが発生しました。\r\n"
                            : u"Cannot read f.txt.\r\n");
  faults.read_error = false;

  NoService no_service(env.ctx.code_pages);
  platform::CodePageService* real = env.ctx.code_pages;
  env.ctx.code_pages = &no_service;
  EXPECT_EQ(Line("x"), ja() ? u"IMultiLanguage2のインスタンス作成に失敗しました。\r\n"
                            : u"Cannot create IMultiLanguage2.\r\n");
  env.ctx.code_pages = real;

  EXPECT_EQ(Line("\x82"), ja() ? u"ファイル f.txt のUnicode変換工程でエラーが発生しました。"
                                 u"ファイル内容が文字列として解釈できません。\r\n"
                               : u"Cannot encode f.txt to Unicode.\r\n");
  options.InsLfByte = 1;
  EXPECT_EQ(
      Line("\x82"),
      ja() ? u"ファイル f.txt のUnicode変換工程でエラーが発生しました。"
             u"ファイル内容が文字列として解釈できないか、「指定したバイト数毎に改行コードを挟む」"
             u"によりファイル内容が破壊された可能性があります。\r\n"
           : u"Cannot encode f.txt to Unicode.\r\n");
  options.CharEncode = 2;
  env.user.answers = {platform::Answer::No};
  EXPECT_EQ(Line("ab"), ja() ? u"ファイル f.txt 処理中止しました。\r\n" : u"Abort f.txt.\r\n");

  // Under detection a stored ZIP (NUL bytes, not UTF-16) is left whole; with
  // a code page given, its NUL bytes go as they always did, and a line says so.
  const std::string zip("PK\x03\x04\x0a\0\0\0\0\0a.txt\r\n", 17);
  options.CharEncode = 0;
  options.InsLfByte = 0;
  options.UnifyLineEndKind = kLineEndLf;
  EXPECT_EQ(Line(zip), ja() ? u"ファイル f.txt はバイナリファイルのため、変換しませんでした。\r\n"
                            : u"Skipped a binary file - f.txt.\r\n");
  EXPECT_EQ(dir.Read("f.txt"), zip);
  options.CharEncode = 1;
  EXPECT_EQ(Line(zip), ja() ? u"ファイル f.txt のNUL文字を取り除きました。\r\n"
                            : u"Removed NUL characters - f.txt.\r\n");
  EXPECT_EQ(dir.Read("f.txt"),
            "PK\x03\x04\x0a"
            "a.txt\n");
  // A UTF-32 file is left whole, not read as UTF-16 or bytes.
  const std::string utf32("\xFF\xFE\0\0a\0\0\0\r\0\0\0\n\0\0\0", 16);
  EXPECT_EQ(Line(utf32), ja() ? u"ファイル f.txt はUTF-32のため、変換しませんでした。\r\n"
                              : u"Skipped a UTF-32 file - f.txt.\r\n");
  EXPECT_EQ(dir.Read("f.txt"), utf32);

  faults.not_followed = true;
  EXPECT_EQ(Line("x"),
            ja() ? u"シンボリックリンク f.txt は他のユーザーのものなので、たどりませんでした。\r\n"
                 : u"Did not follow a symbolic link of another user - f.txt.\r\n");
}

TEST_P(ReportLines, OfBackupAndTimes) {
  options.UnifyLineEndKind = kLineEndLf;
  options.FileBackup = true;
  EXPECT_EQ(
      Line("a\r\n"),
      ja() ? u"バックアップによるファイル f.txt.bak の作成に失敗しました。置換は中止します。\r\n"
           : u"Cannot create a backup file - f.txt.bak.\r\n");
  options.FileBackup = false;
  options.SETTS = true;
  faults.times_readable = false;
  EXPECT_EQ(Line("a\r\n"),
            ja() ? u"ファイル f.txt の元のタイムスタンプの読み出しに失敗しました。\r\n"
                 : u"Cannot read the timestamp. - f.txt\r\n");
  faults.times_readable = true;
  faults.set_times = platform::TimesStatus::CannotOpen;
  EXPECT_EQ(Line("a\r\n"),
            ja() ? u"ファイル f.txt タイムスタンプを設定するためのオープンに失敗。\r\n"
                 : u"Cannot open(for change the timestamp). - f.txt\r\n");
  faults.set_times = platform::TimesStatus::CannotSet;
  EXPECT_EQ(Line("a\r\n"), ja() ? u"ファイル f.txt タイムスタンプを設定できません。\r\n"
                                : u"Cannot change the timestamp. - f.txt\r\n");
}

TEST_P(ReportLines, OfTheWriter) {
  const std::u16string forced =
      ja() ? u"f.txt:強制変換しました - 変換できない文字が含まれており、'?'に置換しました。\r\n"
           : u"f.txt:Force Conversion - Unconvertible charactors are contained.\r\n";
  options.CharEncode = 4;
  options.WriteEncode = 1;
  // Through the service and through the system conversion alike.
  EXPECT_EQ(Line("\xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80 \xE2\x82\xAC \xC3\xA9"), forced);
  const std::string forced_bytes = dir.Read("f.txt");
  testing::NoServiceConversion service(env.ctx.code_pages);
  platform::CodePageService* real = env.ctx.code_pages;
  env.ctx.code_pages = &service;
  EXPECT_EQ(Line("\xE2\x82\xAC"), forced);
  env.ctx.code_pages = real;

  options.WriteEncode = 1;
  faults.attributes_lost = true;
  options.UnifyLineEndKind = kLineEndLf;
  EXPECT_EQ(Line("a\r\n"), (ja() ? u"f.txt:拡張属性を引き継げません - "
                                 : u"f.txt:Cannot keep the extended attributes - ") +
                               env.ctx.fs->SystemErrorText(GetParam(), ENOTSUP) + u"\r\n");

  if (testing::RunningUnderWine()) {
    GTEST_SKIP() << "needs Windows: the MultiLanguage service without best fit, one \"?\" for a "
                    "surrogate pair, and 50220 for a text that ends in half-width katakana "
                    "(Wine's writes e for U+00E9 and ?? for U+1F600, and fails with E_FAIL)";
  }
  EXPECT_EQ(forced_bytes, "\x93\xFA\x96\x7B ? ? ?");

  faults.attributes_lost = false;
  options.UnifyLineEndKind = LineEndKind{-1};
  options.WriteEncode = 7;  // JIS, which writes half-width katakana in full width
  EXPECT_EQ(Line("\xEF\xBD\xB1"),
            ja()
                ? u"f.txt:強制変換しました - 半角カタカナが含まれており、全角カタカナに置換"
                  u"しました。\r\n"
                : u"f.txt:Force Conversion - Half-width katakana are converted to full-width.\r\n");
  EXPECT_EQ(Line("\xEF\xBD\xB1\xE2\x82\xAC"),
            ja() ? u"f.txt:強制変換しました - 変換できない文字を'?'に、半角カタカナを全角カタカナ"
                   u"に置換しました。\r\n"
                 : u"f.txt:Force Conversion - Unconvertible characters are contained, and "
                   u"half-width katakana are converted to full-width.\r\n");
}

TEST_P(ReportLines, OfAnInterruptedRun) {
  options.TargetPattern = u"*.none";
  faults.recoveries = {{"a.txt", platform::RecoveryOutcome::Completed},
                       {"b.txt", platform::RecoveryOutcome::Changed},
                       {"c.txt", platform::RecoveryOutcome::Failed}};
  EXPECT_TRUE(WalkTargets(env.ctx, options));
  EXPECT_EQ(
      env.ctx.MessageLog,
      ja()
          ? u"ファイル a.txt の中断された書き込みを完了しました。\r\n"
            u"ファイル b.txt は中断された書き込みの後で変更されていたため、そのままにしました。\r\n"
            u"ファイル c.txt の中断された書き込みを完了できません。\r\n"
          : u"Completed an interrupted rewrite - a.txt.\r\n"
            u"Left as it is: changed after an interrupted rewrite - b.txt.\r\n"
            u"Cannot complete an interrupted rewrite - c.txt.\r\n");
}

TEST_P(ReportLines, OfExceptions) {
  faults.throw_on_read = 1;
  EXPECT_EQ(Line("x"), ja() ? u"ファイル f.txt を読込むためのメモリが足りません。\r\n"
                            : u"Not enough memory. - f.txt\r\n");
  faults.throw_on_read = 2;
  EXPECT_EQ(Line("x"), ja() ? u"ファイル f.txt を処理中の内部エラーです：out_of_range\r\n"
                            : u"out_of_range. - f.txt\r\n");
  faults.throw_on_read = 3;
  EXPECT_EQ(Line("x"), ja() ? u"ファイル f.txt を処理中の内部エラーです：exception\r\n"
                            : u"exception. - f.txt\r\n");
  faults.throw_on_read = 4;
  EXPECT_EQ(Line("x"), ja() ? u"ファイル f.txt を処理中の内部エラーです：想定外の例外\r\n"
                            : u"error. - f.txt\r\n");
  EXPECT_EQ(env.ctx.TargetCount, 0u);
}

TEST_P(ReportLines, OfTheJob) {
  ControlStore& dialog = *env.ctx.dialog;
  for (int list : {ids::kCharEncode, ids::kWriteEncode, ids::kCrlfTransWay}) {
    for (int i = 0; i < 10; ++i) dialog.AddItem(list, u"e");
  }
  dialog.SetSelection(ids::kCharEncode, 1);
  const std::string target = dir.Path("*.txt");
  dialog.SetText(ids::kTargetPath, std::u16string(target.begin(), target.end()));
  RunConversionJob(env.ctx);
  EXPECT_EQ(env.user.result_summary, ja() ? u"0個中 0個のファイルの置換を行いました。"
                                          : u"Target files:0, Replaced files:0");
  EXPECT_EQ(env.user.result_log,
            ja() ? u"変換中にエラーはありませんでした。" : u"No errors occured.");
  dir.Write("a.txt", "x");
  env.user.abort_at = {env.user.abort_polls + 1};
  RunConversionJob(env.ctx);
  EXPECT_EQ(env.user.result_log, ja() ? u"中断されました。\r\n" : u"Aborted.\r\n");
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, ReportLines,
                         ::testing::Values(UiLanguage::Japanese, UiLanguage::English));

TEST(ShownNameTest, ControlCharactersAreEscaped) {
  EXPECT_EQ(ShownName("x\nTarget files:0\r\t\x01\x7F.txt"),
            u"x\\nTarget files:0\\r\\t\\x01\\x7F.txt");
  EXPECT_EQ(ShownName("\xC2\x85|\xFF|\xE6\x97\xA5"), u"\\x85|\uFFFD|\u65E5");  // NEL, not UTF-8
}

}  // namespace
}  // namespace sorrel
