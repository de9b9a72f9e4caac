#include "gui/version_info.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/program.h"

namespace sorrel {
namespace {

// The block is found in an ELF file; the Windows programs keep their
// version in the version resource, which their About box reads instead.
#ifdef _WIN32
#define SKIP_WITHOUT_ELF() GTEST_SKIP() << "the Windows programs keep their version in a resource"
#else
#define SKIP_WITHOUT_ELF() static_cast<void>(0)
#endif

// The test binary carries the program's own block.
std::string OwnBytes() {
  std::ifstream in(platform::ProgramPath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class VersionFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_ELF();
    folder_ =
        std::filesystem::temp_directory_path() /
        ("sorrel_version_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code error;
    if (!folder_.empty()) std::filesystem::remove_all(folder_, error);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = (folder_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::filesystem::path folder_;
};

TEST_F(VersionFileTest, ReadsTheBlockOfARunningProgram) {
  const std::optional<VersionStrings> version = ReadVersionBlock(platform::ProgramPath());
  ASSERT_TRUE(version);
  EXPECT_EQ(version->file_version, u"1.5.0.0");
  EXPECT_EQ(version->special_build, u"beta");
  EXPECT_EQ(version->private_build, u"2021/04/19");
  EXPECT_EQ(version->legal_copyright, u"Copyright (C) 2021 FenwrightAns");
  EXPECT_EQ(version->file_description, u"Sorrel text file converter");
}

TEST_F(VersionFileTest, BytesAppendedAfterLinkingDoNotMatter) {
  std::string bytes = OwnBytes();
  bytes += "SORREL-SEAL-SHA256:" + std::string(32, '\xAB');
  const std::optional<VersionStrings> version = ReadVersionBlock(Write("sealed", bytes));
  ASSERT_TRUE(version);
  EXPECT_EQ(version->file_version, u"1.5.0.0");
}

TEST_F(VersionFileTest, ProgramsWithoutTheBlock) {
  EXPECT_FALSE(ReadVersionBlock((folder_ / "missing").string()));
  EXPECT_FALSE(ReadVersionBlock(Write("empty", "")));
  EXPECT_FALSE(ReadVersionBlock(Write("text", "#!/bin/sh\necho SORRELVB\n")));
  // The same image with its section renamed has no block.
  std::string bytes = OwnBytes();
  const size_t name = bytes.rfind(".sorrel_version");
  ASSERT_NE(name, std::string::npos);
  bytes[name + 1] = 'x';
  EXPECT_FALSE(ReadVersionBlock(Write("renamed", bytes)));
}

TEST(VersionSectionTest, DamagedImagesAreRefusedNotRead) {
  SKIP_WITHOUT_ELF();
  const std::string bytes = OwnBytes();
  ASSERT_TRUE(FindElfSection(bytes, kVersionSectionName));
  // Cut anywhere: the section table (at the end of the image) is gone.
  for (size_t size :
       {size_t{0}, size_t{4}, size_t{63}, size_t{64}, bytes.size() / 2, bytes.size() - 1}) {
    EXPECT_FALSE(FindElfSection(std::string_view(bytes).substr(0, size), kVersionSectionName))
        << size;
  }
  // A section table offset, entry size or count that points outside.
  for (size_t field : {size_t{0x28}, size_t{0x2F}, size_t{0x3A}, size_t{0x3D}, size_t{0x3F}}) {
    std::string damaged = bytes;
    damaged[field] = '\x7f';
    EXPECT_FALSE(FindElfSection(damaged, kVersionSectionName)) << field;
  }
  // A 32-bit or big-endian image is not read.
  for (size_t field : {size_t{4}, size_t{5}}) {
    std::string other = bytes;
    other[field] = 3 - other[field];
    EXPECT_FALSE(FindElfSection(other, kVersionSectionName)) << field;
  }
}

std::string Block(std::string_view pairs) {
  return std::string(kVersionBlockMagic) + std::string(pairs);
}

TEST(VersionBlockTest, MissingNamesAreEmpty) {
  using namespace std::string_literals;
  const auto version =
      ParseVersionBlock(Block("Other\0x\0FileVersion\0"
                              "2.0.0.1\0\0"s));
  ASSERT_TRUE(version);
  EXPECT_EQ(version->file_version, u"2.0.0.1");
  EXPECT_EQ(version->special_build, u"");
  EXPECT_EQ(version->file_description, u"");
  const auto japanese =
      ParseVersionBlock(Block("FileVersion\0"
                              "1\0LegalCopyright\0著作権\0\0"s));
  ASSERT_TRUE(japanese);
  EXPECT_EQ(japanese->legal_copyright, u"著作権");
}

TEST(VersionBlockTest, NoFileVersionOrNoMagic) {
  using namespace std::string_literals;
  EXPECT_FALSE(ParseVersionBlock(Block("SpecialBuild\0beta\0\0"s)));
  EXPECT_FALSE(
      ParseVersionBlock("SORRELVX\0FileVersion\0"
                        "1.5.0.0\0\0"s));
  EXPECT_FALSE(ParseVersionBlock(""));
  // Names after the empty end name are not read.
  EXPECT_FALSE(
      ParseVersionBlock(Block("\0FileVersion\0"
                              "1\0"s)));
}

TEST(VersionBlockTest, BlockCutShortKeepsWhatCameBefore) {
  using namespace std::string_literals;
  const auto cut =
      ParseVersionBlock(Block("FileVersion\0"
                              "1.5.0.0\0SpecialBuild\0be"s));
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->file_version, u"1.5.0.0");
  EXPECT_EQ(cut->special_build, u"");
  EXPECT_FALSE(
      ParseVersionBlock(Block("FileVersion\0"
                              "1.5"s)));
}

}  // namespace
}  // namespace sorrel
