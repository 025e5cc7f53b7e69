#pragma once
// A board (or a virtual remote window) on a fresh program folder, offscreen; the board's
// messages are recorded. With the headers the board tests share.
#include <QMouseEvent>
#include <fstream>
#include <vector>

#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "remotes/remote_definition.h"
#include "remotes/remote_fields.h"
#include "shell/shell_fixture.h"
#include "virtual_remote/all_buttons_view.h"
#include "virtual_remote/layout_file.h"
#include "virtual_remote/remote_button_view.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

class BoardTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    std::filesystem::create_directories(Folder());
  }
  const std::filesystem::path& Folder() const { return setup_.remote_folder; }

  AllButtonsView* MakeBoard() {
    // Earlier boards stay alive: a test compares a board with the one made after it.
    windows_.push_back(std::make_unique<QWidget>());
    window_ = windows_.back().get();
    window_->resize(460, 840);
    auto* board = new AllButtonsView(QRect(0, 0, 460, 840), "possibleView",
                                     recorder_.GetMessenger(), Settings(), Folder(), window_);
    board->FillWithAllPosButtons();
    board->GetDesRect();
    return board;
  }
  void WriteLayout(const std::string& name, const std::string& lines) {
    std::ofstream(Folder() / name) << "; - \n; - KORU / LAYOUT-FILE \n; - \n" << lines << "; - \n";
  }
  static QPoint Place(AllButtonsView* board, int slot) { return board->Button(slot)->pos(); }
  // The slots whose button is lit (or taught).
  static std::vector<int> LitSlots(AllButtonsView* board,
                                   bool (RemoteButtonView::*is)() const = &RemoteButtonView::Lit) {
    std::vector<int> found;
    for (int slot = 0; slot < kBoardSlots; ++slot)
      if (board->Button(slot) != nullptr && (board->Button(slot)->*is)()) found.push_back(slot);
    return found;
  }

  // Presses a button at 20, 10 inside it, drags it so that its corner lands at `drop` (unless
  // `drop` is where it is) and releases it `held_ms` after the press.
  static void Drag(RemoteButtonView* button, QPoint drop, quint64 held_ms) {
    const QPoint grip(20, 10);
    Send(button, QEvent::MouseButtonPress, grip, Qt::LeftButton, 1000);
    if (drop != button->pos())
      Send(button, QEvent::MouseMove, drop + grip - button->pos(), Qt::NoButton,
           1000 + held_ms / 2);
    Send(button, QEvent::MouseButtonRelease, grip, Qt::LeftButton, 1000 + held_ms);
  }
  static void Send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                   quint64 time) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held,
                      Qt::NoModifier);
    event.setTimestamp(time);
    QCoreApplication::sendEvent(widget, &event);
  }

  MessageRecorder recorder_;
  std::vector<std::unique_ptr<QWidget>> windows_;
  QWidget* window_ = nullptr;  // the latest board's window
};

}  // namespace koru
