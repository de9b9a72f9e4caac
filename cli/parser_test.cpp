#include "cli/parser.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "cli/texts.h"

namespace sorrel::cli {
namespace {

using Args = std::vector<std::string>;

// The names that exist for these tests: a file directly under the root.
bool Exists(const std::string& name) {
  return name == "/data.txt";
}

ParseOutcome Parse(const Args& args) {
  return ParseCommandLine(args, Exists);
}

// Parses switches followed by one target; the parse must succeed.
CliOptions Parsed(Args switches) {
  switches.push_back("file.txt");
  const ParseOutcome outcome = Parse(switches);
  EXPECT_TRUE(outcome.ok) << (outcome.message ? "failed on: " + outcome.argument : "");
  return outcome.options;
}

// The message a command line fails with, checked to carry exit code 1.
const TextPair* FailureOf(const Args& args) {
  const ParseOutcome outcome = Parse(args);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.exit_code, 1);
  return outcome.message;
}

TEST(IsUsageRequest, NoArgumentsOrAQuestionMarkFirst) {
  EXPECT_TRUE(IsUsageRequest({}));
  EXPECT_TRUE(IsUsageRequest({"/?"}));
  EXPECT_TRUE(IsUsageRequest({"-?", "/Z", "a.txt"}));
  EXPECT_FALSE(IsUsageRequest({"/Z", "/?"}));
  EXPECT_FALSE(IsUsageRequest({"/??"}));
  EXPECT_FALSE(IsUsageRequest({"?"}));
}

TEST(ParseCommandLine, WithoutSwitchesEverythingKeepsItsStartValue) {
  const CliOptions o = Parsed({"/Z"});
  EXPECT_FALSE(o.backup);
  EXPECT_FALSE(o.subfolders);
  EXPECT_EQ(o.input_code, 1);
  EXPECT_EQ(o.input_code_page, 0);
  EXPECT_EQ(o.output_code, 0);
  EXPECT_EQ(o.line_end_kind, 0);
  EXPECT_FALSE(o.line_end_unify);
  EXPECT_FALSE(o.tab_expand);
  EXPECT_EQ(o.tab_width, 4);
  EXPECT_FALSE(o.before_replace.has_value());
  EXPECT_FALSE(o.after_replace.has_value());
  EXPECT_EQ(o.insert_every_bytes, 0);
}

TEST(ParseCommandLine, SwitchesThatDoNotConvertAreNotEnough) {
  EXPECT_EQ(FailureOf({"/K", "file.txt"}), &messages::kNoConversion);
  EXPECT_EQ(FailureOf({"/K", "/Y", "/F:utf8", "/E", "/P", "/G", "/N", "file.txt"}),
            &messages::kNoConversion);
  // Half a replacement converts nothing.
  EXPECT_EQ(FailureOf({"/RB:abc", "file.txt"}), &messages::kNoConversion);
  EXPECT_EQ(FailureOf({"/RA:abc", "file.txt"}), &messages::kNoConversion);
  // The target is only looked for after the switches.
  EXPECT_EQ(FailureOf({"file.txt"}), &messages::kNoConversion);
}

TEST(ParseCommandLine, EveryConvertingSwitchIsEnoughAlone) {
  for (const char* arg :
       {"/M:10", "/L:0", "/C:LF", "/Z", "/W", "/T:8", "/D", "/A", "/O:utf8", "/Q"}) {
    const ParseOutcome outcome = Parse({arg, "file.txt"});
    EXPECT_TRUE(outcome.ok) << arg;
  }
}

TEST(ParseCommandLine, AReplacementByNothingConverts) {
  const CliOptions o = Parsed({"/Z", "/RB:abc", "/RA:"});
  EXPECT_EQ(o.before_replace, "abc");
  EXPECT_EQ(o.after_replace, "");
  // Both texts in either order make a conversion without any other switch.
  EXPECT_TRUE(Parsed({"/RA:", "/RB:abc"}).conversion_chosen);
  EXPECT_EQ(FailureOf({"/Z", "/RB:", "file.txt"}), &messages::kInvalidOption);
}

TEST(ParseCommandLine, MissingTargets) {
  EXPECT_EQ(FailureOf({"/Z"}), &messages::kNoTarget);
  // Without a target the missing target is said, not the missing conversion.
  EXPECT_EQ(FailureOf({"/K"}), &messages::kNoTarget);
}

TEST(ParseCommandLine, LineEnds) {
  const CliOptions crlf = Parsed({"/C:crlf"});
  EXPECT_TRUE(crlf.line_end_unify);
  EXPECT_EQ(crlf.line_end_kind, 3);
  EXPECT_EQ(Parsed({"/c:Lf"}).line_end_kind, 1);
  EXPECT_EQ(Parsed({"/C:CR"}).line_end_kind, 2);
  for (const char* arg : {"/C:CRLF ", "/C:LFCR", "/C:\\n", "/C:0"}) {
    EXPECT_EQ(FailureOf({arg, "file.txt"}), &messages::kInvalidNewline) << arg;
  }
}

TEST(ParseCommandLine, CharacterCodeNames) {
  struct Case {
    const char* arg;
    int32_t choice;
  } cases[] = {{"/F:auto", 0},     {"/F:SJIS", 1},        {"/F:Shift-JIS", 1}, {"/F:unicode", 2},
               {"/F:UTF-16LE", 2}, {"/F:utf16be", 3},     {"/F:utf-8", 4},     {"/F:UTF7", 5},
               {"/F:euc-jp", 6},   {"/F:ISO-2022-JP", 7}, {"/F:ebcdik", 8}};
  for (const Case& c : cases) {
    const CliOptions o = Parsed({"/Z", c.arg});
    EXPECT_EQ(o.input_code, c.choice) << c.arg;
    EXPECT_EQ(o.input_code_page, 0) << c.arg;
  }
  const CliOptions out = Parsed({"/O:EUC"});
  EXPECT_EQ(out.output_code, 6);
  EXPECT_TRUE(out.conversion_chosen);
}

TEST(ParseCommandLine, CodePageNumbers) {
  const CliOptions o = Parsed({"/Z", "/F:932", "/O:65001"});
  EXPECT_EQ(o.input_code, 9);
  EXPECT_EQ(o.input_code_page, 932);
  EXPECT_EQ(o.output_code, 9);
  EXPECT_EQ(o.output_code_page, 65001);
  // The leading number decides, as strtol reads it.
  EXPECT_EQ(Parsed({"/O:1252x"}).output_code_page, 1252);
  EXPECT_EQ(Parsed({"/O: +437"}).output_code_page, 437);
  EXPECT_EQ(Parsed({"/O:99999999999"}).output_code_page, std::numeric_limits<int32_t>::max());
  for (const char* arg : {"/F:0", "/F:xyz", "/F:-932", "/F: ", "/F:utf", "/O:+0"}) {
    EXPECT_EQ(FailureOf({"/Z", arg, "file.txt"}), &messages::kInvalidCharCode) << arg;
  }
}

TEST(ParseCommandLine, ACodePageNumberIsReplacedOnlyByANumber) {
  const CliOptions o = Parsed({"/Z", "/F:932", "/F:utf8"});
  EXPECT_EQ(o.input_code, 4);
  EXPECT_EQ(o.input_code_page, 932);
  EXPECT_EQ(Parsed({"/Z", "/F:932", "/F:1200"}).input_code_page, 1200);
}

TEST(ParseCommandLine, TabWidthsFromOneTo99) {
  const CliOptions o = Parsed({"/T:99"});
  EXPECT_TRUE(o.tab_expand);
  EXPECT_EQ(o.tab_width, 99);
  EXPECT_EQ(Parsed({"/T:1"}).tab_width, 1);
  EXPECT_EQ(Parsed({"/T:8px"}).tab_width, 8);
  for (const char* arg : {"/T:0", "/T:100", "/T:-4", "/T:abc", "/T:4294967300"}) {
    EXPECT_EQ(FailureOf({arg, "file.txt"}), &messages::kInvalidTabCount) << arg;
  }
}

TEST(ParseCommandLine, CountsAreNotRangeChecked) {
  const CliOptions o = Parsed({"/M:-5", "/L: 72 columns"});
  EXPECT_EQ(o.insert_every_bytes, -5);
  EXPECT_EQ(o.insert_every_chars, 72);
  EXPECT_EQ(Parsed({"/M:x"}).insert_every_bytes, 0);
  EXPECT_EQ(Parsed({"/M:-99999999999"}).insert_every_bytes, std::numeric_limits<int32_t>::min());
}

TEST(ParseCommandLine, TheLastValueWins) {
  const CliOptions o = Parsed(
      {"/T:2", "/T:8", "/C:LF", "/C:CR", "/RB:a", "/RB:b", "/RA:x", "/RA:y", "/M:3", "/M:0"});
  EXPECT_EQ(o.tab_width, 8);
  EXPECT_EQ(o.line_end_kind, 2);
  EXPECT_EQ(o.before_replace, "b");
  EXPECT_EQ(o.after_replace, "y");
  EXPECT_EQ(o.insert_every_bytes, 0);
}

TEST(ParseCommandLine, LettersInAnyCaseAfterEitherPrefix) {
  const CliOptions o = Parsed({"-k", "/y", "-z", "/w", "-d", "/a", "-q", "/e", "-p", "/g", "-n",
                               "-rB:x", "/Ra:y", "-f:UTF8"});
  EXPECT_TRUE(o.backup && o.subfolders && o.full_width_space && o.trailing_space &&
              o.delete_control && o.control_to_space && o.keep_times && o.use_regex &&
              o.ignore_case && o.single_line && o.dot_not_newline);
  EXPECT_EQ(o.before_replace, "x");
  EXPECT_EQ(o.after_replace, "y");
  EXPECT_EQ(o.input_code, 4);
}

TEST(ParseCommandLine, MalformedSwitchesNameTheArgument) {
  for (const char* arg :
       {"/",   "-",   "/X", "/KY", "/K:",    "/Z1", "/F",    "/F:", "/Fsjis", "/T",
        "/T8", "/M:", "/R", "/RB", "/RBabc", "/RA", "/RC:x", "/?",  "--Z",    "/RB:"}) {
    const ParseOutcome outcome = Parse({"/Z", arg, "file.txt"});
    EXPECT_EQ(outcome.message, &messages::kInvalidOption) << arg;
    EXPECT_EQ(outcome.argument, arg);
    EXPECT_EQ(outcome.exit_code, 1);
  }
}

TEST(ParseCommandLine, TheFirstFailureDecides) {
  const ParseOutcome outcome = Parse({"/T:0", "/X", "file.txt"});
  EXPECT_EQ(outcome.message, &messages::kInvalidTabCount);
  EXPECT_EQ(outcome.argument, "/T:0");
}

TEST(ParseCommandLine, AnAbsolutePathIsATargetNotASwitch) {
  // No switch's name holds a slash: a second one before any colon, a
  // wildcard in the last part, or a name that is there makes a path.
  for (const char* path :
       {"/tmp/a.txt", "//K", "/home/u/x:y.txt", "/*.txt", "/a?.txt", "/data.txt"}) {
    const ParseOutcome outcome = Parse({"/Z", path});
    ASSERT_TRUE(outcome.ok) << path;
    EXPECT_EQ(outcome.first_target, 1u) << path;
  }
  // A slash in a switch's value leaves it a switch.
  ParseOutcome outcome = Parse({"/Z", "/RB:a/b", "/RA:/c", "a.txt"});
  ASSERT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.first_target, 3u);
  EXPECT_EQ(outcome.options.before_replace, "a/b");
  EXPECT_EQ(outcome.options.before_argument, "/RB:a/b");
  // A switch of the usage text stays one even when a file has its name, and
  // a mistyped one that names nothing is said to be invalid.
  EXPECT_EQ(Parse({"/Z", "/W", "a.txt"}).first_target, 2u);
  EXPECT_EQ(FailureOf({"/Z", "/dta.txt", "a.txt"}), &messages::kInvalidOption);
  EXPECT_EQ(FailureOf({"/Z", "-tmp/a.txt"}), &messages::kInvalidOption);
}

TEST(ParseCommandLine, TwoDashesEndTheSwitches) {
  const ParseOutcome outcome = Parse({"/Z", "--", "/W", "-x.txt"});
  ASSERT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.first_target, 2u);
  EXPECT_FALSE(outcome.options.trailing_space);
  EXPECT_EQ(FailureOf({"/Z", "--"}), &messages::kNoTarget);
  EXPECT_EQ(FailureOf({"/K", "--", "a.txt"}), &messages::kNoConversion);
  // Only the exact argument: "--Z" is a mistyped switch.
  EXPECT_EQ(FailureOf({"/Z", "--Z", "a.txt"}), &messages::kInvalidOption);
}

TEST(ParseCommandLine, EverythingFromTheFirstTargetOnIsATarget) {
  const ParseOutcome outcome = Parse({"/Z", "a.txt", "/X", "-", "/T:0"});
  ASSERT_TRUE(outcome.ok);
  EXPECT_EQ(outcome.first_target, 1u);
  EXPECT_FALSE(outcome.options.tab_expand);
  // An empty argument does not begin with a switch prefix.
  EXPECT_EQ(Parse({"/Z", "", "b.txt"}).first_target, 1u);
}

}  // namespace
}  // namespace sorrel::cli
