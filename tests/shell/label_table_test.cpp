#include "settings/label_table.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/files/paths.h"
#include "temp_dir.h"

TEST(LabelTable, HasAllEntriesWithTheKeyLabelsInPlace) {
  EXPECT_STREQ(eLabel[0], "Koru");
  EXPECT_STREQ(eLabel[49], "-?-");
  EXPECT_STREQ(eLabel[50], "-unknown-");
  EXPECT_STREQ(eLabel[51], "N0");
  EXPECT_STREQ(eLabel[61], "up");
  EXPECT_STREQ(eLabel[91], "|<<");
  EXPECT_STREQ(eLabel[100], "-?\?\?-");
  EXPECT_STREQ(eLabel[127], "Thanks, press button on your remote to reassign..\n");
  EXPECT_STREQ(eLabel[210], "210");
  EXPECT_EQ(eLabel[kLabelCount], nullptr);
  for (int n = 0; n < kLabelCount; ++n) EXPECT_NE(eLabel[n], nullptr) << n;
}

TEST(LabelTable, TranslatesThroughTheLocalesCatalogueAndFallsBackToEnglish) {
  TempDir dir;
  SetProgramFolder(dir.Path());
  std::filesystem::create_directories(dir.Path() / "Language" / "Dictionaries");
  std::ofstream(dir.Path() / "Language" / "Dictionaries" / "de.catalog")
      << "# KORU German\n7\tBeenden\n130\tName eingeben\\n\nbad line\n999\tout of range\n";
  {
    ScopedEnv all("LC_ALL", "de_AT.UTF-8");
    ReloadLabelCatalogue();
    EXPECT_STREQ(getLabel(7), "Beenden");
    EXPECT_STREQ(getLabel(130), "Name eingeben\n");
    EXPECT_STREQ(getLabel(8), "Done..");  // not translated: English
    EXPECT_STREQ(getLabel(211), "");
    EXPECT_STREQ(getLabel(-1), "");
  }
  {
    ScopedEnv all("LC_ALL", "C");
    ReloadLabelCatalogue();
    EXPECT_STREQ(getLabel(7), "Quit");
  }
  SetProgramFolder({});
  ReloadLabelCatalogue();
}
