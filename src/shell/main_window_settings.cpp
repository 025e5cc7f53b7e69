// The settings page: receiver port, receiver priority and the display switches.
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "media_list/media_list_messages.h"
#include "platform/lines/receiver_port.h"
#include "platform/messaging/trace.h"
#include "receiver/receiver_messages.h"
#include "routing/routing_messages.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "shell/application_messages.h"
#include "shell/main_window.h"
#include "shell/settings_page_extension.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/mnemonics.h"

namespace koru {

namespace {

QString Label(int n) {
  return QString::fromUtf8(getLabel(n));
}

// The message that selects a receiver found on this machine, by its stored name.
Message PortMessage(const std::string& name) {
  static const struct {
    const char* port;
    uint32_t code;
  } kCodes[] = {{"serial1", kUseSerial1}, {"serial2", kUseSerial2}, {"serial3", kUseSerial3},
                {"serial4", kUseSerial4}, {"usb0", kUseUsb0},       {"usb1", kUseUsb1},
                {"usb2", kUseUsb2},       {"usb3", kUseUsb3}};
  for (const auto& [port, code] : kCodes) {
    if (name == port) {
      return Message(code);
    }
  }
  Message other(kUsePortByName);
  other.AddString("port", name);
  return other;
}

}  // namespace

bool MainWindow::SettingsPageShowing() const {
  return sett_view_ != nullptr && !sett_view_->isHidden();
}

void MainWindow::AddSettingsView() {
  const bool page_was_showing = SettingsPageShowing();
  if (sett_view_ != nullptr) {
    Trace(" settView exist !\n");
    delete sett_view_;
    sett_view_ = nullptr;
    slider_ = nullptr;
    port_menu_ = nullptr;
    port_field_ = nullptr;
    std::fill(std::begin(setting_checks_), std::end(setting_checks_), nullptr);
    sett_done_ = nullptr;
  }
  Trace(" build settView\n");
  if (page_was_showing) {
    // 'PREF' while the page shows: back to the main panel.
    pose_view_->show();
    EnableMenuCommands(true, {kTeachStart, kEditPresets, kToggleMiniView, kOpenMediaList});
    return;
  }

  const Messenger self = GetMessenger();
  sett_view_ = new QWidget(this);
  sett_view_->setObjectName("settView");
  sett_view_->setAutoFillBackground(true);
  sett_view_->setGeometry(0, MenuBarHeight() + 2, width(), height() - MenuBarHeight() - 2);

  auto* title = new QLabel(Label(kLabelSettings), sett_view_);
  title->setObjectName("toptext");
  QFont title_font = title->font();
  title_font.setBold(true);
  title_font.setPointSize(27);
  title->setFont(title_font);
  QPalette title_palette = title->palette();
  title_palette.setColor(QPalette::WindowText, QColor(20, 20, 20));
  title->setPalette(title_palette);
  title->setGeometry(8, 0, 220, 44);

  slider_ = new QSlider(Qt::Horizontal, sett_view_);
  slider_->setObjectName("slidder:koruscan");
  slider_->setRange(40, 120);
  slider_->setTickPosition(QSlider::TicksBothSides);
  slider_->setTickInterval((120 - 40) / 6);  // seven hash marks
  slider_->setValue(settings_ ? settings_->PRIORITY : 40);
  slider_->setToolTip("ScanPortSpeed:");
  slider_->setAutoFillBackground(true);
  slider_->setGeometry(300, 10, 300, 30);
  auto* slow = new QLabel("Slow", sett_view_);
  slow->setGeometry(300, 40, 60, 14);
  auto* fast = new QLabel("Fast", sett_view_);
  fast->setGeometry(570, 40, 30, 14);
  auto* caption = new QLabel("ScanPortSpeed:", sett_view_);
  caption->setGeometry(196, 16, 100, 14);
  // Every change applies: keyboard steps, clicks on the groove and the wheel at once, a drag
  // when the handle is let go (not once per pixel on the way).
  const auto apply = [this, self] {
    Message value(kReceiverPriority);
    value.AddInt32("be:value", slider_->value());
    self.SendMessage(value);
  };
  connect(slider_, &QSlider::valueChanged, slider_, [this, apply] {
    if (!slider_->isSliderDown()) apply();
  });
  connect(slider_, &QSlider::sliderReleased, slider_, apply);

  auto* sensor = new QLabel(Label(kLabelIrSensor), sett_view_);
  sensor->setObjectName("stext");
  sensor->setGeometry(8, 46, 80, 18);

  port_menu_ = new QMenu(Label(kLabelUnset));
  port_field_ = new MenuField("   ", port_menu_, sett_view_);
  port_field_->setObjectName("sepo");
  port_field_->setGeometry(90, 44, 160, 22);
  const std::string current = settings_ ? settings_->rs232_port : "";
  std::vector<std::string> devices = list_ports_ ? list_ports_() : std::vector<std::string>{};
  for (auto it = devices.rbegin(); it != devices.rend(); ++it) {
    Trace("pCom [%ld:'%s'] %ld\n", static_cast<long>(devices.rend() - it - 1), it->c_str(),
          static_cast<long>(devices.size()));
  }
  std::vector<std::string> items = {"serial1", "serial2", "serial3", "serial4"};
  for (const std::string& device : devices) {
    if (std::find(items.begin(), items.end(), device) == items.end()) items.push_back(device);
  }
  // A port given for this run (--port) is the one in use, not the stored one: it heads the list,
  // marked as such.
  if (!setup_.port.empty()) {
    MessageAction* item =
        AddMenuItem(port_menu_, QString::fromStdString(setup_.port) + " (this run)",
                    PortMessage(setup_.port), self);
    item->setCheckable(true);
    item->setChecked(true);
    port_menu_->addSeparator();
  }
  for (const std::string& port : items) {
    MessageAction* item =
        AddMenuItem(port_menu_, QString::fromStdString(CurrentReceiverDevices()->ShownName(port)),
                    PortMessage(port), self);
    item->setCheckable(true);
    item->setChecked(setup_.port.empty() && port == current);
    // Ports this machine does not have stay visible but cannot be chosen.
    item->setEnabled(std::find(devices.begin(), devices.end(), port) != devices.end());
  }

  struct Switch {
    const char* name;
    uint32_t code;
    int label;
    bool value;
  };
  const Switch switches[5] = {
      {"ScbA", kColorsToggled, 181, settings_ && settings_->use_pimped},
      {"ScbB", kPulseViewToggled, 182, settings_ && settings_->show_pulse},
      {"ScbC", kHoldReceiverInfoToggled, 184, settings_ && settings_->hold_irInfo},
      {"ScbD", kSystemSoundToggled, 185, settings_ && settings_->use_systemsound},
      {"ScbW", kAllWorkspacesToggled, 191, settings_ && settings_->all_workspaces},
  };
  for (int i = 0; i < 5; ++i) {
    auto* check = new QCheckBox(Label(switches[i].label), sett_view_);
    check->setObjectName(switches[i].name);
    check->setChecked(switches[i].value);
    check->setGeometry(8, 70 + i * 19, 220, 18);
    const uint32_t code = switches[i].code;
    connect(check, &QCheckBox::clicked, check, [self, code] { self.SendMessage(code); });
    setting_checks_[i] = check;
  }

  // The receiver thread reads it when it starts.
  auto* classic = new QCheckBox("Classic receiver timing", sett_view_);
  classic->setObjectName("ScbT");
  classic->setChecked(settings_ && settings_->classic_timing);
  classic->setGeometry(8, 70 + 5 * 19, 220, 18);
  Prefs* settings = settings_;
  connect(classic, &QCheckBox::toggled, classic, [settings](bool on) {
    if (settings != nullptr) settings->classic_timing = on;
  });

  // Stored, and applied at once: the socket opens or closes with the box.
  auto* lircd = new QCheckBox("Serve LIRC clients (lircd socket)", sett_view_);
  lircd->setObjectName("ScbL");
  lircd->setChecked((settings_ && settings_->lircd_socket) || lircd_.Running());
  lircd->setGeometry(8, 70 + 6 * 19, 260, 18);
  connect(lircd, &QCheckBox::toggled, lircd, [this](bool on) {
    if (settings_ != nullptr) settings_->lircd_socket = on;
    ServeLircdClients(on);
  });

  sett_done_ = new QPushButton(Label(kLabelDone), sett_view_);
  sett_done_->setObjectName("sVex");
  sett_done_->setGeometry(width() - 90, height() - MenuBarHeight() - 32, 80, 24);
  connect(sett_done_, &QPushButton::clicked, sett_done_,
          [self] { self.SendMessage(kShowSettings); });

  ExtendSettingsPage(sett_view_);
  // The switches, this page's and those added to it, fill a column under the port, then the next
  // one: the page is only as high as the window, and a switch below its edge could not be clicked.
  const int page_height = height() - MenuBarHeight() - 2;
  int column = 0, y = 70;
  for (QCheckBox* check : sett_view_->findChildren<QCheckBox*>(Qt::FindDirectChildrenOnly)) {
    if (y + check->height() > page_height) {
      ++column;
      y = 70;
    }
    check->move(8 + column * 230, y);
    y += 19;
  }
  // Notes added to the page follow the switches, in the first column with room for them: to
  // the page's right edge, and above "Done.." where they reach over it.
  for (QWidget* note : sett_view_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!note->property(kFollowsSwitches).toBool()) continue;
    for (;; ++column, y = 70) {
      const int x = 8 + column * 230;
      const int note_width = std::max(120, sett_view_->width() - 8 - x);
      const int note_height =
          note->hasHeightForWidth() ? note->heightForWidth(note_width) : note->height();
      const int bottom = x + note_width > sett_done_->x() ? sett_done_->y() - 4 : page_height;
      if (y + 2 + note_height <= bottom || y == 70) {
        note->setGeometry(x, y + 2, note_width, std::min(note_height, bottom - y - 2));
        y += note_height + 2;
        break;
      }
    }
  }

  GiveMnemonics(this);
  pose_view_->hide();
  sett_view_->show();
  EnableMenuCommands(false, {kTeachStart, kEditPresets, kToggleMiniView, kOpenMediaList});
}

}  // namespace koru
