// Remote groups and splitting: which remote drives the desktop, the application, the audio
// and the video player, and the routing of their keys.
#include <QCheckBox>
#include <QGroupBox>
#include <QMenuBar>

#include "actions/actions.h"
#include "platform/trace.h"
#include "routing/window_indicators.h"
#include "shell/label_table.h"
#include "shell/menu_field.h"
#include "shell/message_action.h"
#include "shell/prefs.h"
#include "shell/rc_window.h"
#include "shell/view_utilities.h"

namespace {

QString Label(int n) {
  return QString::fromUtf8(getLabel(n));
}

struct GroupInfo {
  int32_t kind;
  const char* code;
  const char* name;   // for the trace
  const char* found;  // traced when the setting names a loaded remote
};
constexpr GroupInfo kGroups[5] = {
    {10, "r4ws", "Workspace", ""},
    {11, "r4dt", "Desktop", "#DesktopRemote "},
    {12, "r4ap", "Application", "#AppsRemote "},
    {13, "r4au", "Audio", "#AudioRemote "},
    {14, "r4vi", "Video", "#VideoRemote "},
};

const QColor kSplitRed(250, 200, 200);   // normal group colour with pimped colours
const QColor kSplitBlue(180, 200, 250);  // highlight with pimped colours

// The setting that keeps a group's remote name (none for the workspace group).
char* GroupSetting(Prefs* prefs, int group) {
  switch (group) {
    case 1:
      return prefs->Desktop;
    case 2:
      return prefs->Application;
    case 3:
      return prefs->Audio;
    case 4:
      return prefs->Video;
    default:
      return nullptr;
  }
}

}  // namespace

void RcWindow::SetGroupColours(bool highlight_record, const RemoteCL* record) {
  const bool pimped = fPimpColors;
  const QColor normal = pimped ? kSplitRed : palette().color(QPalette::Window);
  const QColor highlight = pimped ? kSplitBlue : palette().color(QPalette::Highlight);
  for (int group = 0; group < 5; ++group) {
    const bool lit = highlight_record && record != nullptr && fGroupRemote[group] == record;
    SetViewColor(fGroupFields[group], lit ? highlight : normal);
  }
}

int32_t RcWindow::DoWithRemote(const RemoteCL* record, int32_t keyfn) {
  if (record == nullptr) {
    Trace(" ## Remote==NULL \n");
    return 0;
  }
  if (fSettings == nullptr || !fSettings->use_splitting) {
    Trace("- RemoteSplitting ist aus ! \n");
    return 0;
  }
  SetGroupColours(false, nullptr);
  int32_t done = 0;
  if (keyfn == 67) {
    MuteSound();
    done = 1;
  } else if (keyfn == 81) {
    RunAction([](ActionServices& services) { ICloseThisFAW(services); });
    done = 1;
  } else if (keyfn == 71) {
    ChangeSplitting();
    done = 1;
  }
  if (fSettings->use_splitting) SetGroupColours(true, record);
  if (done != 0) {
    Trace(" ## MASTER-FUNC.. %ld\n", static_cast<long>(keyfn));
    return 1;
  }
  if (fGroupRemote[0] == record) Trace(" ## WorkspaceRemote but Func-REMOVED \n");
  const bool numeric = keyfn >= 51 && keyfn <= 60;
  if (fGroupRemote[1] == record) {
    if (numeric) done = DoWithPresetList(keyfn - 41);
    if (done == 0) {
      if ((keyfn >= 61 && keyfn <= 64) || keyfn == 69) {
        MoveMouse(keyfn, menuBar() ? 18 : 0);
        done = 1;
      } else if (keyfn == 68) {
        DoWithApp(68);
        done = 1;
      } else if (keyfn == 70) {
        RunAction([](ActionServices& services) { IStrgTab(services, nullptr); });
        done = 1;
      }
    }
  }
  if (done == 0 && fGroupRemote[2] == record) {
    if (numeric) done = DoWithPresetList(keyfn - 31);
    if (done == 0) {
      RunAction([keyfn](ActionServices& services) { IKeypress2App(services, keyfn); });
      if (keyfn == 69) {
        MoveMouse(keyfn, 0);
        done = 1;
      }
    }
  }
  if (done == 0 && fGroupRemote[3] == record) {
    if (numeric) done = DoWithPresetList(keyfn - 21);
    if (done == 0) {
      RunAction([keyfn](ActionServices& services) { IAudioApps(services, keyfn); });
      done = 1;
    }
  }
  if (done == 0 && fGroupRemote[4] == record) {
    if (numeric) done = DoWithPresetList(keyfn - 11);
    if (done == 0) {
      RunAction([keyfn](ActionServices& services) { IVideoApps(services, keyfn); });
      done = 1;
    }
  }
  Trace(" ## DoWithRemote.. %ld \n", static_cast<long>(done));
  return done;
}

void RcWindow::ReloadRemoteMenu(QMenu* menu, int32_t kind, MenuField* field) {
  if (menu == nullptr) return;
  for (QAction* action : menu->actions()) {
    menu->removeAction(action);
    if (action->parent() == menu) delete action;
  }
  const bool teach = kind == 0;
  const int group = teach ? -1 : kind - 10;
  const uint32_t code = teach ? FourCC("nRvr") : FourCCOf(kGroups[group].code);
  auto item_message = [&](int32_t position) {
    Message message(code);
    message.AddInt32("vaRemote", position);
    if (field != nullptr) message.AddPointer("tq:menu", field);
    return message;
  };
  MessageAction* first =
      AddMenuItem(menu, teach ? Label(3) : Label(5), item_message(-1), GetMessenger());
  first->setCheckable(!teach);
  menu->addSeparator();
  const char* setting = group >= 1 && fSettings ? GroupSetting(fSettings, group) : nullptr;
  bool marked = false;
  for (size_t position = 0; position < fRemoteList.size(); ++position) {
    const RemoteCL* record = fRemoteList[position].get();
    if (record == nullptr) continue;
    MessageAction* item = AddMenuItem(menu, QString::fromStdString(record->fName),
                                      item_message(static_cast<int32_t>(position)), GetMessenger());
    item->setCheckable(!teach);
    if (setting != nullptr && record->fName == setting) {
      fGroupRemote[group] = record;
      item->setChecked(true);
      marked = true;
      Trace("%s", kGroups[group].found);
    }
    snooze(200);
  }
  if (!teach && !marked) first->setChecked(true);
}

void RcWindow::ResetRemSplit() {
  if (fIrSenKey != nullptr) fIrSenKey->setText("reload Remotes");
  for (int group = 0; group < 5; ++group) {
    ReloadRemoteMenu(fGroupFields[group]->Menu(), kGroups[group].kind, fGroupFields[group]);
  }
  if (fIrSenKey != nullptr) fIrSenKey->setText(Label(8));
}

void RcWindow::StoreDefRemote(Message* message) {
  if (message->what == FourCC("irpt")) ApplySplitting();
  int group = -1;
  for (int g = 0; g < 5; ++g) {
    if (message->what == FourCCOf(kGroups[g].code)) group = g;
  }
  if (group >= 1 && fSettings != nullptr) {
    const int32_t index = message->GetInt32("index", -1);
    const QList<QAction*> items = fGroupFields[group]->Menu()->actions();
    if (index >= 0 && index < items.size()) {
      const std::string label = items[index]->text().toStdString();
      Trace("'%s' Remote for %s\n", label.c_str(), kGroups[group].name);
      Prefs::CopyText(GroupSetting(fSettings, group), 80, label.c_str());
      fGroupRemote[group] = RemoteCL::FindRemote(&fRemoteList, label);
    }
  }
  const void* field = nullptr;
  if (message->FindPointer("tq:menu", &field) == kOk && field != nullptr) {
    static_cast<QWidget*>(const_cast<void*>(field))->clearFocus();
  }
  AppMessenger().SendMessage(FourCC("PR_I"));
}

void RcWindow::ApplySplitting() {
  const bool on = fReSplit->isChecked();
  if (fSettings != nullptr) fSettings->use_splitting = on;
  const QColor colour = on && fPimpColors ? kSplitRed : palette().color(QPalette::Window);
  for (MenuField* field : fGroupFields) {
    SetViewColor(field, colour);
    field->setEnabled(on);
  }
  SetViewColor(fReSplit, colour);
  SetViewColor(fSplitBox, colour);
  ColorToChilds(fSplitBox);
  fSplitBox->update();
}

void RcWindow::ChangeSplitting() {
  fReSplit->setChecked(!fReSplit->isChecked());
  fMiniType->setText(fReSplit->isChecked() ? Label(141) : Label(119));
  fMiniType->setAlignment(Qt::AlignHCenter);
  ApplySplitting();
}
