#include "virtual_remote/all_buttons_view.h"
#include "remotes/remote_fields.h"

#include <QCheckBox>
#include <QMenu>
#include <QPainter>
#include <fstream>
#include <sstream>

#include "platform/files/safe_file.h"
#include "platform/messaging/trace.h"
#include "remotes/remote_definition.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "virtual_remote/layout_file.h"
#include "virtual_remote/placement_rules.h"
#include "virtual_remote/remote_button_view.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace {

const QColor kBoardColor(232, 232, 232);

// The layout file of a name, or empty when the name could leave the remote folder.
std::filesystem::path LayoutPath(const std::string& name) {
  if (!IsPlainFileName(name)) {
    Trace(" layout name '%s' is no file name\n", name.c_str());
    return {};
  }
  return RemoteDefinition::Folder() / name;
}

}  // namespace

AllButtonsView::AllButtonsView(const QRect& frame, const char* name, const Messenger& target,
                               const Prefs* settings, QWidget* parent)
    : QWidget(parent), fTarget(target) {
  setObjectName(name);
  setGeometry(frame);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, kBoardColor);
  setPalette(colours);
  if (settings != nullptr) {
    fLayoutName = settings->Layoutfile;
    fDualMode = settings->use_DualButton;
  }
  QFont font = this->font();
  font.setPixelSize(10);
  setFont(font);

  fGridBox = new QCheckBox(getLabel(kLabelShowGrid), this);
  fGridBox->setObjectName("showGrid");
  fGridBox->setGeometry(2, 2, 179, 21);
  fGridBox->setChecked(fShowGrid);
  connect(fGridBox, &QCheckBox::clicked, this, [this] { fTarget.SendMessage(kShowGridToggled); });

  // The menu's title shows while no layout file is marked (before the first one is written).
  fLayoutMenu = new QMenu(QString::fromStdString(fLayoutName));
  fLayoutField = new MenuField(QString(), fLayoutMenu, this);
  fLayoutField->setObjectName("lfMF");
  fLayoutField->setGeometry(15, 13, 160, 24);

  fDualBox = new QCheckBox(getLabel(kLabelUseDualFunctionButtons), this);
  fDualBox->setObjectName("useDuBu");
  fDualBox->setGeometry(2, 2, 179, 21);
  fDualBox->setChecked(fDualMode);
  fDualBox->hide();
  connect(fDualBox, &QCheckBox::clicked, this,
          [this] { fTarget.SendMessage(kDualButtonsToggled); });

  ScanLayoutFiles(fLayoutMenu);
}

AllButtonsView::~AllButtonsView() = default;

void AllButtonsView::FillWithAllPosButtons() {
  const auto& table = DefaultButtons();
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    if (fButtons[slot] != nullptr || table[slot].key_function == 0) continue;
    const ButtonDef& def = table[slot];
    const std::string name = "bt" + std::to_string(slot);
    auto* button =
        new RemoteButtonView(QRect(def.x, def.y, ButtonWidth(def.key_function), kButtonHeight),
                             name.c_str(), def.key_function, this);
    button->SetTarget(fTarget);
    button->show();
    fButtons[slot] = button;
  }
  LoadPositions();
}

void AllButtonsView::LoadPositions() {
  const std::filesystem::path path = LayoutPath(fLayoutName);
  std::ifstream file;
  if (!path.empty()) file.open(path, std::ios::binary);
  if (file.is_open()) {
    std::stringstream text;
    text << file.rdbuf();
    for (const LayoutPlace& place : ParseLayoutFile(text.str())) {
      RemoteButtonView* button = fButtons[place.slot];
      if (button == nullptr) continue;
      button->move(ClampOntoBoard(QPoint(place.x, place.y), button->width()));
    }
  }
  window()->setWindowTitle(QString::fromStdString(fLayoutName));
}

void AllButtonsView::SavePositions() {
  const std::filesystem::path path = LayoutPath(fLayoutName);
  if (path.empty()) return;
  std::vector<LayoutPlace> places;
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    if (const RemoteButtonView* button = fButtons[slot]) {
      places.push_back(LayoutPlace{slot, button->x(), button->y(), button->Label().toStdString()});
    }
  }
  if (WriteLayoutFile(path, places) != kOk) {
    Trace(" layout '%s' not written\n", path.c_str());
  }
}

void AllButtonsView::ScanLayoutFiles(QMenu* menu) {
  if (menu == nullptr) return;
  menu->clear();
  for (const std::string& name : ScanLayoutFileNames(RemoteDefinition::Folder())) {
    Message choose(kChooseLayoutFile);
    choose.AddString("layout_name", name);
    QAction* item = AddMenuItem(menu, QString::fromStdString(name), choose, fTarget);
    item->setCheckable(true);
    // A prefix comparison: "_LAYOUT_" marks an item "_LAY" as well.
    item->setChecked(fLayoutName.compare(0, name.size(), name) == 0);
  }
}

void AllButtonsView::GetDesRect() {
  int used_right = 30, used_bottom = 40;
  int park_right = 0, park_bottom = 0;
  for (int slot = kBoardSlots - 1; slot >= 0; --slot) {
    RemoteButtonView* button = fButtons[slot];
    if (button == nullptr) continue;
    button->SetLit(false);
    button->SetMoving(false);
    button->update();
    const int r = button->geometry().right();
    const int b = button->geometry().bottom();
    // A right edge of exactly 235 counts for neither area.
    if (r < kUsedAreaLimit) {
      if (r > used_right) used_right = r + 9;
      if (b > used_bottom) used_bottom = b + 9;
    } else if (r > kUsedAreaLimit) {
      if (r > park_right) park_right = r + 9;
      if (b > park_bottom) park_bottom = b + 9;
    }
  }
  if (used_bottom > park_bottom) park_bottom = used_bottom + 70;
  if (park_right < 460) park_right = 460;
  fUsedArea = QRect(QPoint(1, 1), QPoint(used_right, used_bottom));
  fParking = QSize(park_right, park_bottom);

  const int left = fUsedArea.left();
  fGridBox->move(5 + left, used_bottom + 8);
  fLayoutField->move(35 + left, used_bottom + 35);
  fDualBox->move(35 + left, used_bottom + 30);

  bool dual = false;
  for (int slot = 60; slot < kBoardSlots; ++slot) {
    if (slot != 69 && fButtons[slot] != nullptr &&
        fButtons[slot]->geometry().right() < kUsedAreaLimit) {
      dual = true;
    }
  }
  fDualBox->setChecked(dual);
  fDualMode = dual;
  RemoteButtonView::useingDualButtons = dual;

  if (fSizeLimits) {
    fSizeLimits(QSize(used_right + 1, used_bottom + 1), QSize(park_right, park_bottom + 40));
  }
  update();
}

void AllButtonsView::Highlight(long slot) {
  if (slot > 70 || slot < 0) {
    if (RemoteButtonView* lit = Button(fLitSlot)) {
      lit->SetLit(false);
      lit->update();
    }
    return;
  }
  RemoteButtonView* button = fButtons[slot];
  if (button == nullptr) return;
  if (slot >= 49) {
    // The group buttons light one at a time; the lit key stays lit.
    for (int group = 50; group <= 54; ++group) {
      if (RemoteButtonView* other = fButtons[group]) {
        other->SetLit(false);
        other->update();
      }
    }
    button->SetLit(true);
    button->update();
    return;
  }
  const int target =
      fDualMode ? DualSlotFor(static_cast<int32_t>(slot) + 51) : static_cast<int>(slot);
  RemoteButtonView* lit = fButtons[target];
  if (lit == nullptr) return;
  if (RemoteButtonView* previous = Button(fLitSlot)) {
    previous->SetLit(false);
    previous->update();
  }
  lit->SetLit(true);
  lit->update();
  fLitSlot = target;
}

void AllButtonsView::MarkRemotesButton(const Message* msg) {
  const RemoteDefinition* remote = msg != nullptr ? MarkedRemote(*msg) : nullptr;
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    RemoteButtonView* button = fButtons[slot];
    if (button == nullptr) continue;
    button->SetTaught(remote != nullptr && slot < 50 && remote->HasKey(slot + 1));
    button->update();
  }
  if (remote == nullptr) return;
  for (int slot = 60; slot < kBoardSlots; ++slot) {
    if (RemoteButtonView* button = fButtons[slot]) {
      button->SetTaught(true);
      button->update();
    }
  }
}

void AllButtonsView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBoardColor);
  if (fShowGrid) {
    const int L = fUsedArea.left(), T = fUsedArea.top();
    const int R = fUsedArea.right(), B = fUsedArea.bottom();
    // Darker than the board: a grid as light as the board itself could not be seen.
    painter.setPen(QColor(150, 150, 140, 90));
    for (int i = 0; i < (B - T) / 15; ++i) {
      const int y = 13 + 15 * i;
      painter.drawLine(L + 4, y, R - 4, y);
    }
    for (int i = 0; i < (R - L) / 10; ++i) {
      const int x = L + 8 + 10 * i;
      painter.drawLine(x, T + 4, x, B - 4);
    }
  }
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF panel(kUsedAreaLimit + 3.5, 3.5, fParking.width() - kUsedAreaLimit - 8,
                     fParking.height() - 8);
  painter.setPen(QPen(QColor(120, 120, 120), 1));
  painter.setBrush(QColor(214, 214, 214));
  painter.drawRoundedRect(panel, 6, 6);
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.setPen(QColor(20, 20, 20));
  painter.drawText(QPointF(240, 18), QString::fromUtf8(getLabel(kLabelImitateRemote)));
  painter.drawText(QPointF(240, 32), QString::fromUtf8(getLabel(kLabelMoveUnusedButtons)));
}
