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

VirtualRemoteWindow::VirtualRemoteWindow(const Rect& frame, Prefs* settings, QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      fSettings(settings) {
  setObjectName("_REMOTE_IMAGE_");
  setAttribute(Qt::WA_DeleteOnClose);
  move(static_cast<int>(frame.left), static_cast<int>(frame.top));
  ResizeTo(static_cast<int>(frame.Width()), static_cast<int>(frame.Height()));
  setWindowTitle(fSettings != nullptr ? QString::fromUtf8(fSettings->Layoutfile) : QString());

  fBoard = new AllButtonsView(rect(), "possibleView", GetMessenger(), fSettings, this);
  fBoard->SetSizeLimitsHook(
      [this](QSize minimum, QSize maximum) { SetSizeLimits(minimum, maximum); });
  fBoard->installEventFilter(this);
  fBoard->FillWithAllPosButtons();
  fBoard->GetDesRect();
  const QRect used = fBoard->UsedArea();
  ResizeTo(used.right(), used.bottom());
  // A place stored on a larger screen is brought back onto this one; once shown, the frame's
  // decoration is known as well.
  KeepOnScreen(this);
  show();
  KeepOnScreen(this);
}

VirtualRemoteWindow::~VirtualRemoteWindow() {
  DetachHandler();
  const QRect used = fBoard->UsedArea();
  ResizeTo(used.right(), used.bottom());
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  AppMessenger().SendMessage(kVirtualRemoteClosed);
  if (fLayoutChanged) {
    fBoard->SavePositions();
    fLayoutChanged = false;
  }
}

void VirtualRemoteWindow::MessageReceived(Message* message) {
  switch (message->what) {
    case kHighlightButton: {
      const int32_t target = message->GetInt32("vr_target", 0);
      fBoard->Highlight(target);
      if (target > 49 && (fSettings == nullptr || !fSettings->use_splitting)) {
        fBoard->Highlight(54);
      }
      fBoard->Highlight(message->GetInt32("vr_key", 0) - 51);
      break;
    }
    case kClearShownKey:
      fBoard->Highlight(-1);
      break;
    case kMarkRemotesButton:
      fBoard->MarkRemotesButton(message);
      break;
    case kButtonMoved:
      fBoard->GetDesRect();
      fBoard->update();
      fLayoutChanged = true;
      break;
    case kShowGridToggled:
      fBoard->SetShowGrid(fBoard->GridBox()->isChecked());
      fBoard->update();
      break;
    case kDualButtonsToggled:
      if (fSettings != nullptr) {
        fSettings->use_DualButton = !fSettings->use_DualButton;
        fBoard->SetDualMode(fSettings->use_DualButton);
        fSettings->Save();
      }
      break;
    case kChooseLayoutFile: {
      const std::string name = message->GetString("layout_name", "");
      Trace("\n LAY changed '%s'\n", name.c_str());
      if (fSettings != nullptr) Prefs::SetText(fSettings->Layoutfile, name.c_str());
      fBoard->SetLayoutName(name);
      fBoard->LoadPositions();
      fBoard->GetDesRect();
      fBoard->update();
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
  if (fSettings == nullptr) return;
  const Rect& stored = fSettings->vr_window_rect;
  if (!MovedBeyondDeadZone(where,
                           QPoint(static_cast<int>(stored.left), static_cast<int>(stored.top)))) {
    return;
  }
  const QRect used = fBoard != nullptr ? fBoard->UsedArea() : QRect();
  const float left = static_cast<float>(pos().x()), top = static_cast<float>(pos().y());
  fSettings->vr_window_rect = Rect{left, top, left + static_cast<float>(used.right() - used.left()),
                                   top + static_cast<float>(used.bottom() - used.top())};
}

void VirtualRemoteWindow::FrameResized(float, float) {
  if (fBoard == nullptr) return;
  fBoard->GetDesRect();
  fBoard->update();
}

void VirtualRemoteWindow::Zoom() {
  const QRect used = fBoard->UsedArea();
  const int w = width();
  const int u = used.right() - used.left();
  if (u + 5 >= w) {
    fZoomed = true;
    ResizeTo(460, 840);
  }
  if (w >= 455) {
    fZoomed = false;
    ResizeTo(u, used.bottom() - used.top());
  }
  // A window zoomed out near the screen's edge is moved to show the whole board.
  if (isVisible()) KeepOnScreen(this);
}

void VirtualRemoteWindow::ResizeTo(int width, int height) {
  setFixedSize(
      std::clamp(width, fMinLimit.width(), std::max(fMinLimit.width(), fMaxLimit.width())),
      std::clamp(height, fMinLimit.height(), std::max(fMinLimit.height(), fMaxLimit.height())));
}

void VirtualRemoteWindow::SetSizeLimits(QSize minimum, QSize maximum) {
  fMinLimit = minimum;
  fMaxLimit = maximum;
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
  if (fBoard == nullptr) return;
  fBoard->setGeometry(rect());
  FrameResized(static_cast<float>(width()), static_cast<float>(height()));
}

void VirtualRemoteWindow::keyPressEvent(QKeyEvent* event) {
  Message key = KeyDownMessage(*event);
  AddOptionalByWinKey(&key);
  QWidget::keyPressEvent(event);
}

bool VirtualRemoteWindow::eventFilter(QObject* watched, QEvent* event) {
  // No window manager offers a zoom button on every window: a double-click on the board zooms.
  if (watched == fBoard && event->type() == QEvent::MouseButtonDblClick) {
    Zoom();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
