#include "base/control_store.h"

#include <gtest/gtest.h>

#include <vector>

namespace sorrel {
namespace {

TEST(ControlStore, AbsentControlsReadAsEmptyAndEnabled) {
  ControlStore store;
  EXPECT_EQ(store.Text(1000), u"");
  EXPECT_EQ(store.Check(1002), kUnchecked);
  EXPECT_EQ(store.Selection(1025), -1);
  EXPECT_TRUE(store.Enabled(1));
}

TEST(ControlStore, OnlyTheFullyCheckedStateCounts) {
  ControlStore store;
  store.SetCheck(1002, kIndeterminate);
  EXPECT_FALSE(store.IsChecked(1002));
  store.SetCheck(1002, kChecked);
  EXPECT_TRUE(store.IsChecked(1002));
}

TEST(ControlStore, SelectionOutsideTheListIsNoSelection) {
  ControlStore store;
  store.AddItem(1024, u"a");
  store.AddItem(1024, u"b");
  store.SetSelection(1024, 1);
  EXPECT_EQ(store.Selection(1024), 1);
  store.SetSelection(1024, 2);
  EXPECT_EQ(store.Selection(1024), -1);
  store.SetSelection(1024, 0);
  store.ClearItems(1024);
  EXPECT_EQ(store.Selection(1024), -1);
}

TEST(ControlStore, ObserverHearsEveryChange) {
  ControlStore store;
  std::vector<int> seen;
  store.SetObserver([&](int id) { seen.push_back(id); });
  store.SetText(1000, u"x");
  store.SetEnabled(1, false);
  EXPECT_EQ(seen, (std::vector<int>{1000, 1}));
}

}  // namespace
}  // namespace sorrel
