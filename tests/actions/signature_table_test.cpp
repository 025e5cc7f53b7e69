#include "platform/desktop/signature_table.h"

#include <gtest/gtest.h>

#include <fstream>

#include "actions/actions.h"
#include "platform/messaging/trace.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

namespace {

TEST(SignatureTable, ShippedTableNamesEverySignatureTheActionsUse) {
  SignatureTable table = SignatureTable::Parse(SignatureTable::BuiltInText());
  for (const char* signature :
       {kKoruSignature, kTrackerSignature, kDeskbarSignature, kTerminalSignature,
        kWorkspacesSignature, kPdfViewerSignature, kOfficeSignature, kSoundplaySignature,
        kZenebonaSignature, kMediaPlayerSignature, kMediaPlayer2Signature, kVlcSignature,
        kStampTvSignature}) {
    const SignatureEntry* entry = table.Find(signature);
    ASSERT_NE(entry, nullptr) << signature;
    EXPECT_FALSE(entry->wm_classes.empty()) << signature;
  }
  EXPECT_FALSE(table.Find(kSoundplaySignature)->mpris_names.empty());
  EXPECT_FALSE(table.Find(kVlcSignature)->desktop_ids.empty());
}

TEST(SignatureTable, ShippedTableKnowsApplicationsByTheirX11AndWaylandNames) {
  SignatureTable table = SignatureTable::Parse(SignatureTable::BuiltInText());
  for (const auto& row : ReadTable("actions/data/window_classes.tsv", 3)) {
    EXPECT_EQ(table.SignatureForWindowClass(row[0], row[0]), row[2]) << row[0];
    EXPECT_EQ(table.SignatureForWindowClass("", row[1]), row[2]) << row[1];
  }
}

TEST(SignatureTable, LooksUpWindowClassesAndBusNames) {
  SignatureTable table = SignatureTable::Parse(
      "; comment\n"
      "application/x-a  wmclass=Foo,bar  mpris=foo\n"
      "application/x-b  wmclass=baz  bogus=1\n");
  EXPECT_EQ(table.SignatureForWindowClass("foo", "Foo"), "application/x-a");
  EXPECT_EQ(table.SignatureForWindowClass("x", "BAR"), "application/x-a");
  EXPECT_EQ(table.SignatureForWindowClass("gimp-2.10", "Gimp"), "application/x-vnd.linux-gimp");
  EXPECT_EQ(table.Find("application/x-b"), nullptr);  // line with an unknown key is skipped
  EXPECT_EQ(table.SignatureForMprisBusName("org.mpris.MediaPlayer2.foo"), "application/x-a");
  EXPECT_EQ(table.SignatureForMprisBusName("org.mpris.MediaPlayer2.foo.instance42"),
            "application/x-a");
  EXPECT_EQ(table.SignatureForMprisBusName("org.mpris.MediaPlayer2.foobar"), "");
}

TEST(SignatureTable, SettingsFileReplacesAndAdds) {
  TempDir settings;
  ScopedEnv env("XDG_CONFIG_HOME", settings.Path().c_str());
  std::ofstream(settings.Path() / "signatures.conf")
      << "application/x-vnd.videolan-vlc wmclass=myvlc\napplication/x-new wmclass=new\n";
  SignatureTable table = SignatureTable::Load();
  EXPECT_EQ(table.Find(kVlcSignature)->wm_classes, std::vector<std::string>{"myvlc"});
  EXPECT_TRUE(table.Find(kVlcSignature)->desktop_ids.empty());
  EXPECT_NE(table.Find("application/x-new"), nullptr);
  EXPECT_NE(table.Find(kTrackerSignature), nullptr);
}

}  // namespace

}  // namespace koru
