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

namespace koru {

namespace {

const QColor kBoardColor(232, 232, 232);

// The layout file of a name, or empty when the name could leave the remote folder.
std::filesystem::path LayoutPath(const std::filesystem::path& folder, const std::string& name) {
  if (!IsPlainFileName(name)) {
    Trace(" layout name '%s' is no file name\n", name.c_str());
    return {};
  }
  return folder / name;
}

}  // namespace

AllButtonsView::AllButtonsView(const QRect& frame, const char* name, const Messenger& target,
                               const Prefs* settings, std::filesystem::path remote_folder,
                               QWidget* parent)
    : QWidget(parent), remote_folder_(std::move(remote_folder)), target_(target) {
  setObjectName(name);
  setGeometry(frame);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, kBoardColor);
  setPalette(colours);
  if (settings != nullptr) {
    layout_name_ = settings->Layoutfile;
    dual_mode_ = settings->use_DualButton;
  }
  QFont font = this->font();
  font.setPixelSize(10);
  setFont(font);

  grid_box_ = new QCheckBox(getLabel(kLabelShowGrid), this);
  grid_box_->setObjectName("showGrid");
  grid_box_->setGeometry(2, 2, 179, 21);
  grid_box_->setChecked(show_grid_);
  connect(grid_box_, &QCheckBox::clicked, this, [this] { target_.SendMessage(kShowGridToggled); });

  // The menu's title shows while no layout file is marked (before the first one is written).
  layout_menu_ = new QMenu(QString::fromStdString(layout_name_));
  layout_field_ = new MenuField(QString(), layout_menu_, this);
  layout_field_->setObjectName("lfMF");
  layout_field_->setGeometry(15, 13, 160, 24);

  dual_box_ = new QCheckBox(getLabel(kLabelUseDualFunctionButtons), this);
  dual_box_->setObjectName("useDuBu");
  dual_box_->setGeometry(2, 2, 179, 21);
  dual_box_->setChecked(dual_mode_);
  dual_box_->hide();
  connect(dual_box_, &QCheckBox::clicked, this,
          [this] { target_.SendMessage(kDualButtonsToggled); });

  ScanLayoutFiles(layout_menu_);
}

AllButtonsView::~AllButtonsView() = default;

void AllButtonsView::FillWithAllPosButtons() {
  const auto& table = DefaultButtons();
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    if (buttons_[slot] != nullptr || table[slot].key_function == 0) continue;
    const ButtonDef& def = table[slot];
    const std::string name = "bt" + std::to_string(slot);
    auto* button =
        new RemoteButtonView(QRect(def.x, def.y, ButtonWidth(def.key_function), kButtonHeight),
                             name.c_str(), def.key_function, this);
    button->SetTarget(target_);
    button->show();
    buttons_[slot] = button;
  }
  LoadPositions();
}

void AllButtonsView::LoadPositions() {
  const std::filesystem::path path = LayoutPath(remote_folder_, layout_name_);
  std::ifstream file;
  if (!path.empty()) file.open(path, std::ios::binary);
  if (file.is_open()) {
    std::stringstream text;
    text << file.rdbuf();
    for (const LayoutPlace& place : ParseLayoutFile(text.str())) {
      RemoteButtonView* button = buttons_[place.slot];
      if (button == nullptr) continue;
      button->move(ClampOntoBoard(QPoint(place.x, place.y), button->width()));
    }
  }
  window()->setWindowTitle(QString::fromStdString(layout_name_));
}

void AllButtonsView::SavePositions() {
  const std::filesystem::path path = LayoutPath(remote_folder_, layout_name_);
  if (path.empty()) return;
  std::vector<LayoutPlace> places;
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    if (const RemoteButtonView* button = buttons_[slot]) {
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
  for (const std::string& name : ScanLayoutFileNames(remote_folder_)) {
    Message choose(kChooseLayoutFile);
    choose.AddString("layout_name", name);
    QAction* item = AddMenuItem(menu, QString::fromStdString(name), choose, target_);
    item->setCheckable(true);
    // A prefix comparison: "_LAYOUT_" marks an item "_LAY" as well.
    item->setChecked(layout_name_.compare(0, name.size(), name) == 0);
  }
}

void AllButtonsView::GetDesRect() {
  int used_right = 30, used_bottom = 40;
  int park_right = 0, park_bottom = 0;
  for (int slot = kBoardSlots - 1; slot >= 0; --slot) {
    RemoteButtonView* button = buttons_[slot];
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
  used_area_ = QRect(QPoint(1, 1), QPoint(used_right, used_bottom));
  parking_ = QSize(park_right, park_bottom);

  const int left = used_area_.left();
  grid_box_->move(5 + left, used_bottom + 8);
  layout_field_->move(35 + left, used_bottom + 35);
  dual_box_->move(35 + left, used_bottom + 30);

  bool dual = false;
  for (int slot = 60; slot < kBoardSlots; ++slot) {
    if (slot != 69 && buttons_[slot] != nullptr &&
        buttons_[slot]->geometry().right() < kUsedAreaLimit) {
      dual = true;
    }
  }
  dual_box_->setChecked(dual);
  dual_mode_ = dual;
  RemoteButtonView::useingDualButtons = dual;

  if (size_limits_) {
    size_limits_(QSize(used_right + 1, used_bottom + 1), QSize(park_right, park_bottom + 40));
  }
  update();
}

void AllButtonsView::Highlight(long slot) {
  if (slot > 70 || slot < 0) {
    if (RemoteButtonView* lit = Button(lit_slot_)) {
      lit->SetLit(false);
      lit->update();
    }
    return;
  }
  RemoteButtonView* button = buttons_[slot];
  if (button == nullptr) return;
  if (slot >= 49) {
    // The group buttons light one at a time; the lit key stays lit.
    for (int group = 50; group <= 54; ++group) {
      if (RemoteButtonView* other = buttons_[group]) {
        other->SetLit(false);
        other->update();
      }
    }
    button->SetLit(true);
    button->update();
    return;
  }
  const int target =
      dual_mode_ ? DualSlotFor(static_cast<int32_t>(slot) + 51) : static_cast<int>(slot);
  RemoteButtonView* lit = buttons_[target];
  if (lit == nullptr) return;
  if (RemoteButtonView* previous = Button(lit_slot_)) {
    previous->SetLit(false);
    previous->update();
  }
  lit->SetLit(true);
  lit->update();
  lit_slot_ = target;
}

void AllButtonsView::MarkRemotesButton(const Message* msg) {
  const RemoteDefinition* remote = msg != nullptr ? MarkedRemote(*msg) : nullptr;
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    RemoteButtonView* button = buttons_[slot];
    if (button == nullptr) continue;
    button->SetTaught(remote != nullptr && slot < 50 && remote->HasKey(slot + 1));
    button->update();
  }
  if (remote == nullptr) return;
  for (int slot = 60; slot < kBoardSlots; ++slot) {
    if (RemoteButtonView* button = buttons_[slot]) {
      button->SetTaught(true);
      button->update();
    }
  }
}

void AllButtonsView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBoardColor);
  if (show_grid_) {
    const int L = used_area_.left(), T = used_area_.top();
    const int R = used_area_.right(), B = used_area_.bottom();
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
  const QRectF panel(kUsedAreaLimit + 3.5, 3.5, parking_.width() - kUsedAreaLimit - 8,
                     parking_.height() - 8);
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

}  // namespace koru
