// The main window as the key router's view: messages in, widgets read back. The routing itself
// is tested on the router (tests/routing); these check that the window shows it and feeds it.
#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QStyle>
#include <QTextBlock>

#include "shell_fixture.h"

namespace koru {

class WindowRoutingTest : public ShellTest {
 protected:
  // Chooses an item of a menu field the way the user does.
  void Choose(const char* field_name, const char* item_text) {
    QAction* item = FindMenuItem(Find<MenuField>(field_name)->Menu(), QString(item_text));
    ASSERT_NE(item, nullptr) << item_text;
    item->trigger();
    Settle();
  }
};

TEST_F(WindowRoutingTest, ReportsReachTheKeyDisplayTheCompactViewAndTheReceiver) {
  Start();
  Key(kLrSat, kLrSatN1, 204);
  EXPECT_EQ(Texts({"irSender", "irSenKey", "irType", "irPrgNr", "miniKey", "miniRem", "miniType"}),
            "LR-SAT / N1 / RC5-Code / 179 / N1 / LR-SAT /  Default");
  EXPECT_NE(Log().find(" Header: 253128 | 179 204 --- "), std::string::npos) << Log();
  // The log's lines are never wrapped: the time stays on the line of its code.
  const QTextBlock first = Find<QTextEdit>("text_view")->document()->firstBlock();
  ASSERT_TRUE(first.text().contains("Header:")) << first.text().toStdString();
  EXPECT_EQ(first.layout()->lineCount(), 1);
  EXPECT_EQ(Window()->PulseRate(), 250000);
  Post(kClearShownKey);
  EXPECT_EQ(Texts({"irSenKey"}), "  ");

  Report("-0101010101-");  // short: the receiver slows down through the shared flag
  EXPECT_EQ(Window()->PulseRate(), 750000);
  EXPECT_TRUE(Window()->Flags().slow_down.load());
  EXPECT_EQ(Texts({"irSender"}), "..pulse");

  SetAlertPresenter(nullptr);
  TraceCapture trace;
  Window()->Flags().scanning = 1;
  Window()->Router().HandleReceiverTurnedAway();
  EXPECT_EQ(Window()->Flags().scanning.load(), 0);
  EXPECT_EQ(Log().rfind("..no port \t\tserial2", 0), 0u) << Log();
}

TEST_F(WindowRoutingTest, GroupMenusAreBuiltFromTheRouterAndChosenThroughTheirItems) {
  Prefs::SetText(Settings()->Audio, "LR-SAT");
  Start();
  QMenu* audio = Find<MenuField>("r4AuMF")->Menu();
  EXPECT_EQ(MenuText(audio).substr(0, 20), "-unset-, --, AIWA_A,");
  EXPECT_EQ(audio->actions().size(), 2 + 35);
  EXPECT_EQ(Texts({"r4AuMF", "r4dMF"}), "Audio|LR-SAT / Desktop|-unset-");
  QMenu* teach = Find<MenuField>("vaMF")->Menu();
  EXPECT_EQ(teach->actions()[0]->text(), "Add New");
  EXPECT_TRUE(teach->style()->styleHint(QStyle::SH_Menu_Scrollable, nullptr, teach))
      << "one column that scrolls";
  EXPECT_EQ(Enabled({"r4ViMF"}), "");

  Find<QCheckBox>("ReSplit")->click();
  Settle();
  EXPECT_TRUE(Settings()->use_splitting);
  EXPECT_EQ(Enabled({"r4wMF", "r4dMF", "r4aMF", "r4AuMF", "r4ViMF"}),
            "r4wMF r4dMF r4aMF r4AuMF r4ViMF");
  Choose("r4ViMF", "DENON");
  ASSERT_NE(Window()->Router().GroupRemote(4), nullptr);
  EXPECT_EQ(Window()->Router().GroupRemote(4)->name_, "DENON");
  EXPECT_STREQ(Settings()->Video, "DENON");
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(Texts({"miniType"}), "Audio");

  Key(kLrSat, kLrSatMenu);  // "Menu" switches splitting off
  EXPECT_FALSE(Find<QCheckBox>("ReSplit")->isChecked());
  EXPECT_EQ(Enabled({"r4wMF", "r4dMF", "r4aMF", "r4AuMF", "r4ViMF"}), "");
  EXPECT_EQ(Texts({"miniType"}), " Default");
}

namespace {

// Keys as the keyboard delivers them to the focused widget: text, then Tab to the next field.
void Press(QWidget* widget, int key, const QString& text = {}) {
  for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent event(type, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &event);
  }
}
void TypeThenTab(QWidget* widget, const QString& text) {
  for (QChar c : text) Press(widget, c.unicode(), QString(c));
  Press(widget, Qt::Key_Tab);
}

}  // namespace

// No Enter anywhere: the typed name and header are taken when Tab leaves their field.
TEST_F(WindowRoutingTest, ARemoteIsTaughtThroughTheTeachBox) {
  Start();
  Window()->show();
  Window()->activateWindow();
  QApplication::setActiveWindow(Window());
  Find<QPushButton>("TRBut")->click();
  Settle();
  EXPECT_EQ(Showing({"teachBox", "result", "SpBox"}), "teachBox");
  EXPECT_EQ(Enabled({"TRBut"}), "");
  EXPECT_FALSE(FindMenuItem(FileMenu(), kTeachStart)->isEnabled());
  EXPECT_EQ(Texts({"te_head"}), "Header: |from the first key");

  for (const auto& [field, text] : {std::pair{"te_name", "MyRemote"}, {"te_head", "100200"}}) {
    QLineEdit* edit = Find<TextControl>(field)->Edit();
    edit->setFocus();
    edit->selectAll();
    TypeThenTab(edit, text);
    Settle();
    EXPECT_FALSE(edit->isEnabled()) << field;
  }
  Find<QCheckBox>("te_dbyt")->click();  // one byte
  Settle();
  Key(100200, 5);
  EXPECT_EQ(Texts({"teData"}), "select for: '5' ");
  EXPECT_EQ(Showing({"teClr", "teMF"}), "teMF");
  Key(kLrSat, kLrSatN1);  // another remote's key before the choice
  Choose("teMF", "N1");
  EXPECT_TRUE(FindMenuItem(Find<MenuField>("teMF")->Menu(), QString("N1"))->isChecked());
  Key(100200, 5);
  EXPECT_EQ(Texts({"teData"}), " '5' is Code for 'N1' ");
  EXPECT_EQ(Showing({"teClr"}), "teClr");

  Find<QPushButton>("doneBut")->click();
  Settle();
  EXPECT_EQ(Log().rfind("Done..\n", 0), 0u) << Log();
  EXPECT_EQ(Showing({"teachBox", "result"}), "result");
  EXPECT_EQ(Enabled({"TRBut"}), "TRBut");
  EXPECT_NE(FindMenuItem(Find<MenuField>("vaMF")->Menu(), QString("MyRemote")), nullptr);
  RemoteDefinition stored(setup_.remote_folder);
  stored.RemoteLoad("MyRemote");
  EXPECT_EQ(stored.header_, 100200);
  EXPECT_EQ(stored.Slot(2), 5);
  Key(100200, 5);
  EXPECT_EQ(Texts({"irSender", "irSenKey"}), "MyRemote / N1");
}

TEST_F(WindowRoutingTest, SwitchesIndicatorsAndTheMediaListLineFollowTheRouter) {
  Start();
  Find<QCheckBox>("hyCheckBox")->click();
  Settle();
  EXPECT_TRUE(Window()->Router().Hysteresis());
  EXPECT_TRUE(Find<QCheckBox>("hyCheckBox")->isChecked());
  Find<QCheckBox>("hyContinue")->click();
  Settle();
  EXPECT_EQ(Window()->Flags().receiving.load(), 0);
  EXPECT_FALSE(Find<QCheckBox>("hyContinue")->isChecked());
  Post(kContinueToggled);
  EXPECT_EQ(Window()->Flags().receiving.load(), 1);
  Post(kHysteresisToggled);

  Key(kLrSat, kLrSatMute);
  EXPECT_TRUE(mixer_->muted);
  Settle();  // the indicator is set on the GUI thread
  EXPECT_TRUE(Find<QPushButton>("fMute")->isChecked());
  Post(kOpenMediaList);
  Key(kLrSat, kLrSatVolUp);
  EXPECT_EQ(Texts({"gloInfo"}), "(Locked) Toplist");
  EXPECT_TRUE(desktop_->sent.empty());
}

TEST_F(WindowRoutingTest, TheCodeChartIsWrittenFromTheMenu) {
  Start();
  FindMenuItem(FileMenu(), kWriteCodeChart)->trigger();
  Settle();
  EXPECT_NE(ReadAll(Program() / "_Remotes_" / "_ChartData.html").find("LR-SAT"), std::string::npos);
  EXPECT_NE(Log().find("_ChartData.html"), std::string::npos);
}

TEST_F(WindowRoutingTest, ClosingTheWindowStopsTheReceiverWithoutANoPortAlert) {
  Start();
  int alerts = 0;
  SetAlertPresenter([&](const std::string&) { ++alerts; });
  TraceCapture trace;
  app_.reset();
  SetAlertPresenter(nullptr);
  EXPECT_EQ(alerts, 0);
  EXPECT_FALSE(trace.Contains("..no port"));
}

}  // namespace koru
