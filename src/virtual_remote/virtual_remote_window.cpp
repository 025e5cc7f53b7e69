#include "virtual_remote/virtual_remote_window.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <chrono>
#include <thread>

#include "platform/messaging/trace.h"
#include "receiver/receiver_messages.h"
#include "settings/prefs.h"
#include "toolkit/view_utilities.h"
#include "toolkit/window_placement.h"
#include "virtual_remote/all_buttons_view.h"
#include "virtual_remote/placement_rules.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

VirtualRemoteWindow::VirtualRemoteWindow(const Rect& frame, Prefs* settings,
                                         const std::filesystem::path& remote_folder,
                                         QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      settings_(settings) {
  setObjectName("_REMOTE_IMAGE_");
  setAttribute(Qt::WA_DeleteOnClose);
  move(static_cast<int>(frame.left), static_cast<int>(frame.top));
  ResizeTo(static_cast<int>(frame.Width()), static_cast<int>(frame.Height()));
  setWindowTitle(settings_ != nullptr ? QString::fromUtf8(settings_->Layoutfile) : QString());

  board_ =
      new AllButtonsView(rect(), "possibleView", GetMessenger(), settings_, remote_folder, this);
  board_->SetSizeLimitsHook(
      [this](QSize minimum, QSize maximum) { SetSizeLimits(minimum, maximum); });
  board_->installEventFilter(this);
  board_->FillWithAllPosButtons();
  board_->GetDesRect();
  const QRect used = board_->UsedArea();
  ResizeTo(used.right(), used.bottom());
  // A place stored on a larger screen is brought back onto this one; once shown, the frame's
  // decoration is known as well.
  KeepOnScreen(this);
  show();
  KeepOnScreen(this);
}

VirtualRemoteWindow::~VirtualRemoteWindow() {
  DetachHandler();
  const QRect used = board_->UsedArea();
  ResizeTo(used.right(), used.bottom());
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  AppMessenger().SendMessage(kVirtualRemoteClosed);
  if (layout_changed_) {
    board_->SavePositions();
    layout_changed_ = false;
  }
}

void VirtualRemoteWindow::MessageReceived(Message* message) {
  switch (message->what) {
    case kHighlightButton: {
      const int32_t target = message->GetInt32("vr_target", 0);
      board_->Highlight(target);
      if (target > 49 && (settings_ == nullptr || !settings_->use_splitting)) {
        board_->Highlight(54);
      }
      board_->Highlight(message->GetInt32("vr_key", 0) - 51);
      break;
    }
    case kClearShownKey:
      board_->Highlight(-1);
      break;
    case kMarkRemotesButton:
      board_->MarkRemotesButton(message);
      break;
    case kButtonMoved:
      board_->GetDesRect();
      board_->update();
      layout_changed_ = true;
      break;
    case kShowGridToggled:
      board_->SetShowGrid(board_->GridBox()->isChecked());
      board_->update();
      break;
    case kDualButtonsToggled:
      if (settings_ != nullptr) {
        settings_->use_DualButton = !settings_->use_DualButton;
        board_->SetDualMode(settings_->use_DualButton);
        settings_->Save();
      }
      break;
    case kChooseLayoutFile: {
      const std::string name = message->GetString("layout_name", "");
      Trace("\n LAY changed '%s'\n", name.c_str());
      if (settings_ != nullptr) Prefs::SetText(settings_->Layoutfile, name.c_str());
      board_->SetLayoutName(name);
      board_->LoadPositions();
      board_->GetDesRect();
      board_->update();
      break;
    }
    case kMainWindowToFront:
      break;
    default:
      Trace("VR_Window %s\n", message->Dump().c_str());
      break;
  }
}

void VirtualRemoteWindow::AddOptionalByWinKey(const Message* msg) {
  const int32_t modifiers = msg->GetInt32("modifiers", 0);
  const int32_t key = msg->GetInt32("key", 0);
  if (key == 102 || key == 103) {
    AppMessenger().SendMessage(kMainWindowToFront);
    return;
  }
  Trace("KState: %ld KKey %ld \n", static_cast<long>(modifiers), static_cast<long>(key));
}

void VirtualRemoteWindow::FrameMoved(QPoint where) {
  if (settings_ == nullptr) return;
  const Rect& stored = settings_->vr_window_rect;
  if (!MovedBeyondDeadZone(where,
                           QPoint(static_cast<int>(stored.left), static_cast<int>(stored.top)))) {
    return;
  }
  const QRect used = board_ != nullptr ? board_->UsedArea() : QRect();
  const float left = static_cast<float>(pos().x()), top = static_cast<float>(pos().y());
  settings_->vr_window_rect = Rect{left, top, left + static_cast<float>(used.right() - used.left()),
                                   top + static_cast<float>(used.bottom() - used.top())};
}

void VirtualRemoteWindow::FrameResized(float, float) {
  if (board_ == nullptr) return;
  board_->GetDesRect();
  board_->update();
}

void VirtualRemoteWindow::Zoom() {
  const QRect used = board_->UsedArea();
  const int w = width();
  const int u = used.right() - used.left();
  if (u + 5 >= w) {
    zoomed_ = true;
    ResizeTo(460, 840);
  }
  if (w >= 455) {
    zoomed_ = false;
    ResizeTo(u, used.bottom() - used.top());
  }
  // A window zoomed out near the screen's edge is moved to show the whole board.
  if (isVisible()) KeepOnScreen(this);
}

void VirtualRemoteWindow::ResizeTo(int width, int height) {
  setFixedSize(
      std::clamp(width, min_limit_.width(), std::max(min_limit_.width(), max_limit_.width())),
      std::clamp(height, min_limit_.height(), std::max(min_limit_.height(), max_limit_.height())));
}

void VirtualRemoteWindow::SetSizeLimits(QSize minimum, QSize maximum) {
  min_limit_ = minimum;
  max_limit_ = maximum;
  // A window outside its new limits is brought inside them, as a window system would.
  const QSize now = size();
  ResizeTo(now.width(), now.height());
}

void VirtualRemoteWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FrameMoved(pos());
}

void VirtualRemoteWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (board_ == nullptr) return;
  board_->setGeometry(rect());
  FrameResized(static_cast<float>(width()), static_cast<float>(height()));
}

void VirtualRemoteWindow::keyPressEvent(QKeyEvent* event) {
  Message key = KeyDownMessage(*event);
  AddOptionalByWinKey(&key);
  QWidget::keyPressEvent(event);
}

bool VirtualRemoteWindow::eventFilter(QObject* watched, QEvent* event) {
  // No window manager offers a zoom button on every window: a double-click on the board zooms.
  if (watched == board_ && event->type() == QEvent::MouseButtonDblClick) {
    Zoom();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace koru
