// Teach-in: a new remote, or a loaded one changed, key by key through the teach box.
//
// The code a key is taught with is the value the matching will later compare for this remote:
// byte2 * 1000 + byte3 for a two-byte remote, byte2 (byte2 / 10 while hysteresis is on) for a
// one-byte remote. It follows the teach remote's own mode, not the modes of loaded remotes that
// happen to share its header, so a taught key is recognised by the same key afterwards in the
// mode and hysteresis setting it was taught in.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

#include "platform/safe_file.h"
#include "platform/trace.h"
#include "receiver/pulse_view.h"
#include "receiver/receiver_flags.h"
#include "remotes/key_menu.h"
#include "shell/label_table.h"
#include "shell/menu_field.h"
#include "shell/message_action.h"
#include "shell/prefs.h"
#include "shell/rc_window.h"
#include "shell/text_control.h"
#include "shell/view_utilities.h"

namespace {

QString Label(int n) {
  return QString::fromUtf8(getLabel(n));
}

// The key-function menu of the teach box, as the remote library marks it.
class TeachKeyMenu : public KeyMenu {
 public:
  explicit TeachKeyMenu(QMenu* menu) : menu_(menu) {}
  bool SetItemTo(const char* label, bool enable, bool mark) override {
    return ::SetItemTo(menu_, 0, label, enable, nullptr, mark);
  }

 private:
  QMenu* menu_;
};

void StyleField(TextControl* field, const QColor& background, const QColor& text, bool enabled) {
  QPalette palette = field->Edit()->palette();
  palette.setColor(QPalette::Base, background);
  palette.setColor(QPalette::Text, text);
  field->Edit()->setPalette(palette);
  field->Edit()->setEnabled(enabled);
}

void ShowTeachData(QLabel* label, const QString& text, const QColor& background) {
  label->setText(text);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, background);
  label->setPalette(palette);
  label->setAutoFillBackground(true);
}

}  // namespace

bool RcWindow::Teaching() const {
  return fMiniView->isHidden() && fResultBox->isHidden();
}

void RcWindow::TeachingRemote(Message* message, int32_t header, int32_t /*key_value*/,
                              int32_t byte2, int32_t byte3) {
  RemoteCL& teach = *fTeachRemote;
  QMenu* key_menu = fTeachKeyField->Menu();
  TeachKeyMenu marker(key_menu);
  const auto send_shown_remote = [&teach] {
    Message shown(FourCC("VR_M"));
    shown.AddPointer("_ptrRemote", &teach);
    AppMessenger().SendMessage(shown);
  };
  // A fresh, unnamed remote in `mode`, with its name and header fields open for typing.
  const auto start_new_remote = [&](int32_t mode, const char* header_hint) {
    Trace("set New Remote..\n");
    teach.fName = "newRemote";
    teach.fComByte = mode;
    teach.ClearKeyDef();
    teach.fComHead = 127127;
    fTeachName->SetText("newRemote");
    StyleField(fTeachName, Qt::white, QColor(25, 25, 25), true);
    fTeachHead->SetText(header_hint);
    fTeachHead->Edit()->setEnabled(true);
  };
  const std::initializer_list<uint32_t> locked = {FourCC("nRgt"), FourCC("irRP"), FourCC("irEP"),
                                                  FourCC("PREF"), FourCC("irmi")};

  switch (message->what) {
    case FourCC("nRgt"): {
      fResultBox->hide();
      fSplitBox->hide();
      if (fTeachBox->isHidden()) {
        fTeachKeyField->hide();
        QPalette log = fTextView->palette();
        log.setColor(QPalette::Base, QColor(250, 250, 250));
        fTextView->setPalette(log);
        fTeachBox->show();
      }
      fTeachButton->setEnabled(false);
      start_new_remote(23, "first Value");
      fTeachDoubleByte->setChecked(true);
      InsertLog(Label(130));
      EnableMenuCommands(false, locked);
      return;
    }
    case FourCC("nRvr"): {
      const int32_t position = message->GetInt32("vaRemote", -1);
      const RemoteCL* record = position >= 0 && static_cast<size_t>(position) < fRemoteList.size()
                                   ? fRemoteList[position].get()
                                   : nullptr;
      if (record == nullptr) {
        start_new_remote(2, "fill first 2 Bytes");
        teach.SetMenuHarken(&marker, 0, "", 0);
      } else {
        Trace("change to existing Remote..\n");
        teach.CopyFrom(*record);
        AppMessenger().SendMessage(FourCC("VR_O"));
        Message shown(FourCC("VR_M"));
        shown.AddPointer("_ptrRemote", record);
        AppMessenger().SendMessage(shown);
        fTeachDoubleByte->setChecked(teach.fComByte == 23);
        fTeachName->SetText(QString::fromStdString(teach.fName));
        fTeachHead->SetText(QString::number(teach.fComHead));
        StyleField(fTeachName, QColor(105, 105, 105), QColor(25, 255, 25), false);
        StyleField(fTeachHead, QColor(105, 105, 105), QColor(25, 255, 25), false);
        teach.SetMenuHarken(&marker, 0, "", 0);
        InsertLog(Label(127));
      }
      fRemoteField->clearFocus();
      fSkip = false;
      return;
    }
    case FourCC("nRsn"): {
      const std::string name = fTeachName->Text().toStdString();
      // The name is also the file name: one that would leave the remote folder is refused.
      if (!IsSafeFileName(name) || name.size() > 78) {
        InsertLog("The name '" + QString::fromStdString(name) +
                  "' cannot be a remote file name: it must not be empty, begin with \".\", "
                  "contain '/', name one of KORU's own files or be longer than 78 "
                  "characters.\n");
        Trace("remote name refused: '%s'\n", name.c_str());
        return;
      }
      teach.fName = name;
      fTeachName->Edit()->setEnabled(false);
      return;
    }
    case FourCC("nRsh"):
      teach.fComHead =
          static_cast<int32_t>(std::strtol(fTeachHead->Text().toUtf8().constData(), nullptr, 10));
      fTeachHead->Edit()->setEnabled(false);
      return;
    case FourCC("nRdb"):
      teach.fComByte = fTeachDoubleByte->isChecked() ? 23 : 2;
      Trace(" set to %ld ComByte\n", static_cast<long>(teach.fComByte));
      fTeachDoubleByte->clearFocus();
      return;
    case FourCC("nRtb"): {
      fTeachCode = teach.IsTwoByte() ? byte2 * 1000 + byte3
                                     : (CHECK_SCAN_HYTERESE != 0 ? byte2 / 10 : byte2);
      Trace("%ld will teach..", static_cast<long>(fTeachCode));
      if (header != teach.fComHead) {
        ShowTeachData(fTeachData, QString("%1: %2").arg(Label(126)).arg(fTeachCode),
                      QColor(250, 200, 200));
        return;
      }
      const int32_t known = teach.ExistValue(fTeachCode);
      int32_t reported = 0;
      if (known < 50) {
        Trace("UNKNOWN NUMBER..\n");
        ShowTeachData(fTeachData, QString("%1: '%2' ").arg(Label(132)).arg(fTeachCode),
                      QColor(200, 250, 200));
        fTeachClear->hide();
        fTeachKeyField->show();
      } else {
        Trace("ALLREADY SET..\n");
        ShowTeachData(fTeachData,
                      QString(" '%1' %2 '%3' ").arg(fTeachCode).arg(Label(131)).arg(Label(known)),
                      QColor(250, 200, 200));
        fTeachClear->show();
        fTeachKeyField->hide();
        reported = known;
      }
      Message key(FourCC("VR_H"));
      key.AddInt32("vr_key", reported);
      key.AddPointer("vr_remote", &teach);
      AppMessenger().SendMessage(key);
      return;
    }
    case FourCC("nRbs"): {
      const int32_t keyfn = message->GetInt32("isCommand", 0);
      Trace("\nteach %ld to func %ld [%s]\n", static_cast<long>(fTeachCode),
            static_cast<long>(keyfn), keyfn >= 0 && keyfn < kLabelCount ? getLabel(keyfn) : "");
      if (keyfn >= kFirstKeyFunction && keyfn <= kLastKeyFunction)
        teach.SetSlot(keyfn - 50, fTeachCode);
      send_shown_remote();
      if (keyfn >= 50 && keyfn < kLabelCount)
        SetItemTo(key_menu, 0, getLabel(keyfn), true, nullptr, true);
      return;
    }
    case FourCC("nRcx"): {
      const int32_t keyfn = teach.ExistValue(fTeachCode);
      Trace("\n loesche eintrag (%ld) in Zelle %ld\n", static_cast<long>(fTeachCode),
            static_cast<long>(keyfn));
      if (keyfn >= kFirstKeyFunction && keyfn <= kLastKeyFunction) {
        teach.SetSlot(keyfn - 50, 0);
        teach.SetMenuHarken(&marker, 1, "", keyfn - kFirstKeyFunction);
      }
      Trace(" (%ld) nun in Zelle: %ld\n", static_cast<long>(fTeachCode),
            static_cast<long>(teach.ExistValue(fTeachCode)));
      send_shown_remote();
      return;
    }
    case FourCC("nRad"): {
      teach.RemoteSave();
      teach.fName = "-noname-";
      SCAN_CONTINOUS = 0;
      if (fPulseView != nullptr) fPulseView->StopSniffer();
      InsertLog(Label(129));
      fTeachBox->hide();
      QPalette log = fTextView->palette();
      log.setColor(QPalette::Base, palette().color(QPalette::Base));
      fTextView->setPalette(log);
      fResultBox->show();
      fSplitBox->show();
      RescanRemotes();
      fTeachRemote->Chart4Remotes(&fRemoteList);
      fTeachButton->setEnabled(true);
      AppMessenger().SendMessage(FourCC("VR_M"));
      SCAN_CONTINOUS = 1;
      if (fPulseView != nullptr) fPulseView->ReStartSniffer();
      InsertLog(Label(8) + "\n");
      EnableMenuCommands(true, locked);
      return;
    }
    default:
      return;
  }
}
