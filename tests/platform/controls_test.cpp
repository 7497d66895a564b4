#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/controls.h"

TEST(Controls, UpDownArrowsMoveTowardsMaximumEvenWhenItIsBelowMinimum) {
  platform::Edit edit("edt");
  platform::UpDown decel("updwnDecel", -100, -1500, 50, -700);
  decel.associate = &edit;
  decel.clickUp();
  EXPECT_EQ(decel.position(), -750);
  EXPECT_EQ(edit.text(), "-750");
  decel.setPosition(-1490);
  decel.clickUp();
  EXPECT_EQ(decel.position(), -1500);  // no wrap
  decel.clickDown();
  EXPECT_EQ(decel.position(), -1450);

  platform::UpDown cutoff("updwnCutoff", 60, 180, 10, 120);
  cutoff.clickUp();
  EXPECT_EQ(cutoff.position(), 130);
  cutoff.setPosition(500);
  EXPECT_EQ(cutoff.position(), 180);
}

TEST(Controls, RadioGroupClickFiresOnlyOnARealChange) {
  platform::RadioGroup g("rdgrp");
  int clicks = 0;
  g.onClick = [&] { ++clicks; };
  g.addItem("a", 5);
  g.addItem("b", 7);
  g.setItemIndex(0);
  g.setItemIndex(0);
  g.setItemIndex(1);
  g.setItemIndex(4);  // no such item: ignored
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(g.itemIndex(), 1);
  EXPECT_EQ(g.itemData(1), 7);
  EXPECT_EQ(g.selectedText(), "b");
}

TEST(Controls, GroupedSpeedButtonWithAllUpTogglesBeforeItsHandler) {
  platform::SpeedButton b("btn");
  b.groupIndex = 1;
  b.allowAllUp = true;
  bool downInHandler = false;
  b.onClick = [&] { downInHandler = b.down(); };
  b.click();
  EXPECT_TRUE(downInHandler);
  b.click();
  EXPECT_FALSE(b.down());
}

TEST(Controls, EachVisibleChangeIsReportedOnceWithWhatChanged) {
  std::vector<std::pair<std::string, platform::Change>> heard;
  auto listen = [&](platform::Control& c) {
    c.onChange = [&](platform::Control& x, platform::Change what) {
      heard.emplace_back(x.name(), what);
    };
  };
  platform::Label l("lbl");
  platform::SpeedButton b("btn");
  platform::Edit e("edt");
  platform::UpDown u("updwn", 0, 10, 1, 5);
  u.associate = &e;
  for (platform::Control* c : std::initializer_list<platform::Control*>{&l, &b, &e, &u}) listen(*c);
  l.setText("ACTIVE");
  l.setText("ACTIVE");  // the same text again is no change
  l.setColor(platform::Color::White);
  b.setDown(true);
  b.setEnabled(false);
  b.setEnabled(false);
  u.clickUp();  // the position, then the text of its edit field
  using C = platform::Change;
  EXPECT_EQ(heard, (std::vector<std::pair<std::string, C>>{{"lbl", C::Text},
                                                           {"lbl", C::Color},
                                                           {"btn", C::Down},
                                                           {"btn", C::Enabled},
                                                           {"updwn", C::Position},
                                                           {"edt", C::Text}}));
}

TEST(Controls, FileListShowsMatchingVisibleFilesSortedWithoutCase) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "corvane_filelist_test";
  fs::remove_all(dir);
  fs::create_directories(dir / "sub.dat");
  for (const char* name : {"b.dat", "A.DAT", "c.txt", ".hidden.dat", "Zed.dat"})
    std::ofstream(dir / name) << "x";
  platform::FileListBox list("lstbox");
  list.mask = "*.dat";
  list.setDirectory(dir.string() + "/");
  EXPECT_EQ(list.items(), (std::vector<std::string>{"A.DAT", "b.dat", "Zed.dat"}));
  fs::remove_all(dir);
}
