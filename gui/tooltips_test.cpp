#include "gui/tooltips.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace sorrel {
namespace {

std::vector<int> Ids(std::span<const ToolTipEntry> table) {
  std::vector<int> ids;
  for (const auto& [id, text] : ToolTipPairs(table)) ids.push_back(id);
  return ids;
}

TEST(ToolTipsTest, MainDialogTablesInOrder) {
  const std::vector<int> japanese = {1000, 1001, 1023, 1016, 1025, 1031, 1027, 1028, 1002, 1024,
                                     1005, 1006, 1007, 1008, 1010, 1011, 1026, 1029, 1012, 1033,
                                     1013, 1014, 1019, 1021, 1022, 1,    2,    9,    1015};
  EXPECT_EQ(Ids(MainDialogToolTips(UiLanguage::Japanese)), japanese);
  // The English dialog has no tips over the byte count, the line-end list
  // and the character count; everything else keeps its place.
  std::vector<int> english = japanese;
  std::erase_if(english, [](int id) { return id == 1028 || id == 1024 || id == 1029; });
  EXPECT_EQ(Ids(MainDialogToolTips(UiLanguage::English)), english);
  EXPECT_EQ(english.size(), 26u);
}

TEST(ToolTipsTest, AboutBoxTables) {
  const std::vector<int> ids = {2006, 2, 2005, 2009};
  EXPECT_EQ(Ids(AboutBoxToolTips(UiLanguage::Japanese)), ids);
  EXPECT_EQ(Ids(AboutBoxToolTips(UiLanguage::English)), ids);
  EXPECT_EQ(ToolTipPairs(AboutBoxToolTips(UiLanguage::English))[1].second,
            u"Closes this dialog box.");
  EXPECT_EQ(ToolTipPairs(AboutBoxToolTips(UiLanguage::Japanese))[1].second,
            u"このダイアログを閉じます");
}

TEST(ToolTipsTest, TableEndsAtFirstEndEntry) {
  const ToolTipEntry table[] = {{5, u"a"}, {6, nullptr}, {7, u"c"}, {0, u"d"}, {8, u"e"}};
  EXPECT_EQ(Ids(table), std::vector<int>({5}));
  const ToolTipEntry zero_id[] = {{5, u"a"}, {0, u"b"}, {7, u"c"}};
  EXPECT_EQ(Ids(zero_id), std::vector<int>({5}));
  EXPECT_TRUE(ToolTipPairs({}).empty());
}

}  // namespace
}  // namespace sorrel
