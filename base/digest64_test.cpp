#include "base/digest64.h"

#include <gtest/gtest.h>

#include <string>

namespace sorrel {
namespace {

// Values of the reference implementation (libxxhash), one for each path
// through the function: the short tail only, every tail step, stripes.
TEST(Digest64, GivesTheReferenceValues) {
  EXPECT_EQ(Digest64(""), 0xEF46DB3751D8E999ULL);
  EXPECT_EQ(Digest64("a"), 0xD24EC4F1A98C6E5BULL);
  EXPECT_EQ(Digest64("abc"), 0x44BC2CF5AD770999ULL);
  EXPECT_EQ(Digest64("Nobody inspects the spammish repetition"), 0xFBCEA83C8A378BF1ULL);
  std::string bytes;
  for (int i = 0; i < 3; ++i) {
    for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>(b));
  }
  EXPECT_EQ(Digest64(bytes + "xyz"), 0xE921A1B45BD779F8ULL);
  EXPECT_EQ(Digest64(bytes.substr(0, 100), 2654435761ULL), 0x8832442A88284F11ULL);
}

}  // namespace
}  // namespace sorrel
