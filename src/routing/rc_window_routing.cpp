// Key routing in the main window: from a receiver report to a key function, and on to a
// preset or an action. Actions run on the action thread in key order.
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>

#include "actions/actions.h"
#include "actions/desktop_pointer_view.h"
#include "platform/alert.h"
#include "platform/paths.h"
#include "platform/trace.h"
#include "receiver/code_bytes.h"
#include "receiver/pulse_view.h"
#include "receiver/receiver_flags.h"
#include "remotes/key_match.h"
#include "routing/window_indicators.h"
#include "shell/label_table.h"
#include "shell/menu_field.h"
#include "shell/prefs.h"
#include "shell/rc_window.h"
#include "shell/view_utilities.h"

namespace {

std::function<DesktopServices()> g_services_factory;
std::function<void()> g_after_action;

QString Label(int n) {
  return QString::fromUtf8(getLabel(n));
}

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Group index (1 desktop .. 4 video) of a record, first in group order; 0 for none.
int GroupOf(const RemoteCL* const groups[5], const RemoteCL* record) {
  for (int group = 1; group < 5; ++group) {
    if (record != nullptr && groups[group] == record) return group;
  }
  return 0;
}

}  // namespace

void RcWindow::SetServicesFactory(std::function<DesktopServices()> factory) {
  g_services_factory = std::move(factory);
}

void RcWindow::SetAfterActionHook(std::function<void()> hook) {
  g_after_action = std::move(hook);
}

void RcWindow::BuildActions() {
  fServices = g_services_factory ? g_services_factory() : CreateDesktopServices();
  ActionServices services;
  services.desktop = fServices.desktop.get();
  services.players = fServices.players.get();
  services.mixer = fServices.mixer.get();
  services.launcher = fServices.launcher.get();
  fIndicators = std::make_unique<WindowIndicators>(fMuteButton, fGloInfo);
  fActions = std::make_unique<ActionThread>(services);
}

void RcWindow::RunAction(ActionThread::Action action) {
  if (!fActions) return;
  fActions->Post([action = std::move(action)](ActionServices& services) {
    action(services);
    if (g_after_action) g_after_action();
  });
}

void RcWindow::WaitForActions() {
  if (fActions) fActions->WaitIdle();
}

bool RcWindow::ActionsIdle() {
  if (!fActions) return true;
  fActions->WaitIdle();
  return true;
}

void RcWindow::ShutdownActions() {
  if (fActions) {
    // Focus-follows-mouse goes off with the window, after whatever is still queued.
    RunAction([](ActionServices& services) { FollowMousFocus(services, false); });
    fActions->WaitIdle();
    fActions.reset();
  }
}

QString RcWindow::TimeText() const {
  return QDateTime::currentDateTime().toString("| HH:mm:ss \n");
}

void RcWindow::ShowCheckedEnd(Message* message) {
  std::string blink;
  if (message->FindString("_blink", &blink) != kOk) {
    NoPortReport();
    return;
  }
  const int32_t type = message->GetInt32("_remotetype", 0);
  bool slowdown = message->GetBool("_slowdown", false);
  const std::string bits = StripCodeSeparators(blink);
  if (bits.size() < 12) slowdown = true;
  SetPulseRate(slowdown ? 750000 : 250000);
  SLOWDOWN_GLOBAL = slowdown;

  if (slowdown) {
    fIrType->setText(Label(20));
    fIrSender->setText(Label(16));
    fIrSenKey->setText(Label(49));
    if (fTextView->toPlainText().size() > 150) fTextView->setPlainText("--\n");
    InsertLog(TimeText());
    return;
  }

  std::string line;
  int32_t keyfn = 0;
  if (bits.size() > 12) {
    line = "Header: ";
    const int32_t byte0 = IrStr4Value(bits, 0, &line);
    const int32_t byte1 = IrStr4Value(bits, 1, &line);
    line += " | ";
    const int32_t byte2 = IrStr4Value(bits, 2, &line);
    line += " ";
    const int32_t byte3 = IrStr4Value(bits, 3, &line);
    line += " ";
    IrStr4Value(bits, 4, &line);
    keyfn = IsDeviceKey(byte0 * 1000 + byte1, byte2, byte3);
  }
  if (keyfn != 0 && fSettings != nullptr && fSettings->use_systemsound) QApplication::beep();
  if (CHECK_SCAN_HYTERESE != 0) line += " (Hyst.)";
  fIrType->setText(Label(20 + std::clamp(type, 0, 10)));

  QString entry = " " + QString::fromStdString(line) + TimeText();
  InsertLog(entry);
  QString log = fTextView->toPlainText();
  if (log.size() > 400) {
    log.chop(200);
    fTextView->setPlainText(log + "\t..(Crunched)");
  }
}

int32_t RcWindow::IsDeviceKey(int32_t header, int32_t byte2, int32_t byte3) {
  const KeyMatch match = MatchKey(fRemoteList, header, byte2, byte3, CHECK_SCAN_HYTERESE != 0);
  fIrSender->setText(QString::fromStdString(match.remote_label));
  fIrSenKey->setText(QString::fromStdString(match.key_label));
  if (match.shown_value) fIrPrgNr->setText(QString::number(match.key_value));
  const int32_t keyfn = match.key_function;
  // What the user pressed, in words: the trace is the log of every recognised key.
  Trace(" => %s '%s'\n", match.remote_label.c_str(), match.key_label.c_str());

  if (Teaching()) {
    Message taught(FourCC("nRtb"));
    TeachingRemote(&taught, header, match.key_value, byte2, byte3);
    return 0;
  }
  if (match.remote == nullptr) {
    fIrSender->setText(Label(16));
    fIrSenKey->setText(Label(50));
  }
  if (fPulseView != nullptr) fPulseView->SetRemoteDev(keyfn >= 51 ? keyfn : -1);

  const bool splitting = fSettings != nullptr && fSettings->use_splitting;
  const int group = splitting ? GroupOf(fGroupRemote, match.remote) : 0;
  Message key(FourCC("VR_H"));
  key.AddInt32("vr_key", keyfn);
  key.AddBool("vr_splitt", splitting);
  key.AddPointer("vr_remote", match.remote);
  key.AddInt32("vr_target", group == 0 ? 54 : 49 + group);
  key.AddInt32("vr_dblNum", fNumberAccumulator);
  AppMessenger().SendMessage(key);
  fMiniKey->setText(fIrSenKey->text());
  fMiniRem->setText(fIrSender->text());
  static const int kGroupLabels[5] = {119, 113, 114, 115, 116};
  fMiniType->setText(Label(kGroupLabels[group]));
  fMiniType->setAlignment(group == 0 ? Qt::AlignLeft : Qt::AlignRight);
  if (MiniViewShowing()) fMiniView->update();

  if (fMediaListMode) {
    fGloInfo->setText(Label(169) + Label(171));
    fGloInfo->show();
    if (keyfn == 68) {
      AppMessenger().SendMessage(FourCC("MW_C"));
      return keyfn;
    }
    const bool list_key =
        (keyfn >= 61 && keyfn <= 64) || keyfn == 69 || keyfn == 81 || (keyfn >= 91 && keyfn <= 96);
    if (list_key) {
      Message select(FourCC("MWse"));
      select.AddInt32("korukey", keyfn);
      AppMessenger().SendMessage(select);
      return keyfn;
    }
    if (keyfn != 67) return keyfn;
  }
  if (splitting) {
    DoWithRemote(match.remote, keyfn);
    return keyfn;
  }
  if (fPresetList && keyfn >= 51 && keyfn <= 60) {
    if (const int32_t done = DoWithPresetList(keyfn - 51); done != 0) return done;
  } else if (!fPresetList) {
    Trace(" NO PRESET-FILE \n");
  }
  GlobalKeys(keyfn);
  return keyfn;
}

void RcWindow::MoveMouse(int32_t keyfn, int offset) {
  const QPoint corner = pos();
  const ViewPoint origin{static_cast<float>(corner.x()), static_cast<float>(corner.y() + offset)};
  StatusLabel* status = fIndicators.get();
  RunAction([origin, keyfn, status](ActionServices& services) {
    DesktopPointerView view(services.desktop, origin);
    IMoveMouse(services, origin, keyfn, &view, status);
  });
}

void RcWindow::MuteSound() {
  MuteIndicator* indicator = fIndicators.get();
  RunAction([indicator](ActionServices& services) { IMuteSound(services, false, indicator); });
}

void RcWindow::GlobalKeys(int32_t keyfn) {
  if ((keyfn >= 61 && keyfn <= 64) || keyfn == 69) MoveMouse(keyfn, menuBar() ? 20 : 0);
  if (keyfn == 65 || keyfn == 66) {
    RunAction([keyfn](ActionServices& services) { IAltPlusMinus(services, keyfn); });
  }
  if (keyfn == 67) MuteSound();
  if (keyfn == 68) DoWithApp(68);
  if (keyfn == 70) {
    auto info = fAppInfo;
    RunAction([info](ActionServices& services) { IStrgTab(services, info.get()); });
  }
  if (keyfn == 71) ChangeSplitting();
  if (keyfn == 81) RunAction([](ActionServices& services) { ICloseThisFAW(services); });
  if (keyfn == 75) AppMessenger().SendMessage(FourCC("MW_O"));
}

void RcWindow::DoWithApp(int32_t keyfn) {
  if (keyfn != 68 && keyfn != 81) return;
  if (isMinimized()) {
    showNormal();
  } else {
    showMinimized();
  }
}

int32_t RcWindow::DoWithPresetList(int32_t index) {
  if (!fPresetList) {
    Trace(" NON");
    Trace(" PRESET END\n");
    return 0;
  }
  if (index < 0 || index >= 50) {
    Trace(" PRESET END\n");
    return 0;
  }
  const std::string entry = (*fPresetList)[index];
  if (entry.empty()) return 0;
  Trace("\n PRESET [%ld|%ld] \n", static_cast<long>(index), static_cast<long>(index) + 51);
  const int32_t keyfn = index + 51;
  if (StartsWith(entry, getLabel(168))) {
    RunAction([keyfn](ActionServices& services) { IJumpWorkSpace(services, keyfn); });
    return keyfn;
  }
  if (StartsWith(entry, "http") || StartsWith(entry, "file:/")) {
    RunAction([entry](ActionServices& services) { IOpenThisUrl(services, entry, false); });
    return keyfn;
  }
  // "/boot/..." is a stored path; any other absolute path is a Linux path.
  if (StartsWith(entry, "/")) {
    RunAction([entry](ActionServices& services) { IOpenThisFile(services, entry, true); });
    return keyfn;
  }
  Trace(" PRESET END\n");
  return 0;
}

void RcWindow::ChangeHysterese(bool show_only) {
  if (!show_only) CHECK_SCAN_HYTERESE = CHECK_SCAN_HYTERESE != 0 ? 0 : 1;
  fHysterese->setChecked(CHECK_SCAN_HYTERESE != 0);
}

void RcWindow::ChangeContinue(bool show_only) {
  if (!show_only) {
    SCAN_CONTINOUS = SCAN_CONTINOUS != 0 ? 0 : 1;
    if (fPulseView != nullptr) {
      if (SCAN_CONTINOUS == 0) {
        fPulseView->StopSniffer();
      } else {
        fPulseView->ReStartSniffer();
      }
      fPulseView->update();
    }
  }
  fContinue->setChecked(SCAN_CONTINOUS != 0);
}

void RcWindow::ChangeWorkspaceMode() {
  if (fSettings == nullptr) return;
  fSettings->all_workspaces = !fSettings->all_workspaces;
  ApplyWorkspaceMode();
}

void RcWindow::SetPresetList(bool reload, bool edit) {
  const std::string name = fSettings ? fSettings->Presetfile : "_preset_";
  const std::filesystem::path path = RemoteCL::Folder() / name;
  if (edit) {
    AppMessenger().SendMessage(FourCC("PR_O"));
    snooze(1000);
  }
  if (reload) fPresetList.reset();
  if (!fPresetList) fPresetList = std::make_unique<PresetList>(NewPresetList());
  if (ReadPresetFile(path, fPresetList.get()) < 0) {
    Trace(" '%s' Missing !\n", name.c_str());
    if (reload) AnyAlert("missing:  '" + name + "'\n", false);
  }
  fTextView->setPlainText(Label(160) + ": '" + QString::fromStdString(name) + "'\n");
  fSplitBox->setTitle(Label(141) + " '" + QString::fromStdString(name) + "' ");
}

bool RcWindow::HandleRoutingMessage(Message* message) {
  bool handled = true;
  const bool skip = fSkip;
  if (message->what != FourCC("TICK")) fSkip = false;
  switch (message->what) {
    case FourCC("irCE"):
      if (!skip) ShowCheckedEnd(message);
      break;
    case FourCC("TICK"):
      fSkip = true;
      break;
    case FourCC("nRtb"):
    case FourCC("nRgt"):
      if (!skip) TeachingRemote(message, 0, 0, 0, 0);
      break;
    case FourCC("nRdb"):
    case FourCC("nRbs"):
    case FourCC("nRad"):
    case FourCC("nRcx"):
    case FourCC("nRsh"):
    case FourCC("nRsn"):
    case FourCC("nRvr"):
      TeachingRemote(message, 0, 0, 0, 0);
      break;
    case FourCC("irpt"):
    case FourCC("r4ws"):
    case FourCC("r4dt"):
    case FourCC("r4ap"):
    case FourCC("r4au"):
    case FourCC("r4vi"):
      StoreDefRemote(message);
      break;
    case FourCC("irCM"):
      MuteSound();
      break;
    case FourCC("irCH"):
      ChangeHysterese(false);
      break;
    case FourCC("irCS"):
      ChangeContinue(false);
      break;
    case FourCC("iraw"):
      ChangeWorkspaceMode();
      break;
    case FourCC("irRP"):
      SetPresetList(true, false);
      break;
    case FourCC("irEP"):
      SetPresetList(false, true);
      break;
    case FourCC("RUBR"):
      fIrSenKey->setText("  ");
      fMiniKey->setText("  ");
      fNumberAccumulator = 0;
      break;
    case FourCC("MW_O"):
      AppMessenger().SendMessage(*message);
      fMediaListMode = true;
      break;
    case FourCC("MW_C"):
      AppMessenger().SendMessage(*message);
      fMediaListMode = false;
      break;
    case FourCC("MW_Q"):
      fMediaListMode = false;
      fGloInfo->setText(" ");
      break;
    case FourCC("MWkT"):
      SetItemTo(fViewMenu, 0, getLabel(175), true, nullptr, fSettings && fSettings->window_mtab);
      AppMessenger().SendMessage(*message);
      break;
    case FourCC("MW_E"): {
      const std::string list = "/boot/home/_koru_media_list";
      Trace("[open][%s]\n", list.c_str());
      RunAction([list](ActionServices& services) {
        if (services.launcher == nullptr ||
            services.launcher->OpenWithPreferredApp(MapStoredPath(list)) != kOk) {
          Trace(" oops: couldn't execute \n");
        }
      });
      break;
    }
    case FourCC("VR_O"):
      AppMessenger().SendMessage(*message);
      break;
    case FourCC("CHRT"):
      WriteCodeChart();
      break;
    default:
      handled = HandleReceiverMessage(message);
      break;
  }
  return handled;
}
