// The read rules of registry values and of the settings' decimal texts.
#include "settings/registry_value.h"

#include <gtest/gtest.h>

#include "settings/decimal.h"
#include "settings/registry_store.h"
#include "settings/test_support.h"

namespace sorrel::settings {
namespace {

using testing::Utf16LeBytes;

int32_t FromText(uint32_t type, std::u16string_view text) {
  return RegValueToInteger(type, EncodeRegString(text), -99);
}

TEST(RegValueToIntegerTest, StringTypesNeedAWholeIntegerLiteral) {
  EXPECT_EQ(FromText(kRegSz, u"12"), 12);
  EXPECT_EQ(FromText(kRegSz, u"+7"), 7);
  EXPECT_EQ(FromText(kRegSz, u"-3"), -3);
  EXPECT_EQ(FromText(kRegExpandSz, u"40"), 40);
  EXPECT_EQ(FromText(kRegSz, u"12a"), -99);
  EXPECT_EQ(FromText(kRegSz, u" 12"), -99);
  EXPECT_EQ(FromText(kRegSz, u"12 "), -99);
  EXPECT_EQ(FromText(kRegSz, u""), -99);
  // Digits accumulate modulo 2^32, as the profile reader's do.
  EXPECT_EQ(FromText(kRegSz, u"4294967295"), -1);
  // A multi-string reads its first string.
  EXPECT_EQ(RegValueToInteger(kRegMultiSz, Utf16LeBytes(std::u16string(u"8\0x\0\0", 5)), -99), 8);
}

TEST(RegValueToIntegerTest, BinaryTypesReadTheirFirstFourBytes) {
  EXPECT_EQ(RegValueToInteger(kRegDword, EncodeRegDword(5), -99), 5);
  EXPECT_EQ(RegValueToInteger(kRegBinary, std::string("\x05\x00\x00\x00", 4), -99), 5);
  EXPECT_EQ(RegValueToInteger(kRegBinary, std::string("\x05", 1), -99), 5);
  EXPECT_EQ(RegValueToInteger(kRegBinary, "", -99), 0);
  EXPECT_EQ(RegValueToInteger(kRegQword, std::string("\xFF\xFF\xFF\xFF\x01\0\0\0", 8), -99), -1);
  EXPECT_EQ(RegValueToInteger(kRegDwordBigEndian, std::string("\0\0\x01\x02", 4), -99), 0x102);
  EXPECT_EQ(RegValueToInteger(kRegDwordBigEndian, std::string("\x01", 1), -99), 0x01000000);
  EXPECT_EQ(RegValueToInteger(kRegNone, EncodeRegDword(5), -99), -99);
  EXPECT_EQ(RegValueToInteger(6, EncodeRegDword(5), -99), -99);
}

TEST(DecodeRegStringTest, StaysWithinItsBufferWhateverTheData) {
  EXPECT_EQ(DecodeRegString(EncodeRegString(u"abc")), u"abc");
  EXPECT_EQ(DecodeRegString(std::string("a\0b", 3)), u"ab");  // an odd last byte, zero-padded
  // 16384 bytes and more, with and without a terminator: cut to 8191 units.
  for (size_t units : {8191u, 8192u, 8200u, 20000u}) {
    std::u16string text(units, u'x');
    EXPECT_EQ(DecodeRegString(Utf16LeBytes(text)).size(), kMaxSettingUnits) << units;
    EXPECT_EQ(DecodeRegString(EncodeRegString(text)).size(), kMaxSettingUnits) << units;
  }
}

TEST(DecimalTest, ProfileIntegers) {
  EXPECT_EQ(ParseProfileInt(u"4294967295"), -1);
  EXPECT_EQ(ParseProfileInt(u"4294967296"), 0);
  EXPECT_EQ(ParseProfileInt(u"  -12abc"), -12);
  EXPECT_EQ(ParseProfileInt(u"+5"), 5);
  EXPECT_EQ(ParseProfileInt(u"abc"), 0);
  EXPECT_EQ(ParseProfileInt(u""), 0);
  EXPECT_EQ(ParseProfileInt(u"- 5"), 0);
}

TEST(DecimalTest, UnsignedText) {
  EXPECT_EQ(FormatUnsigned(-1), u"4294967295");
  EXPECT_EQ(FormatUnsigned(0), u"0");
}

}  // namespace
}  // namespace sorrel::settings
