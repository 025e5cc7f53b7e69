#pragma once
// The small floating window that holds the virtual remote board. It opens at the size of the
// board's used area, zooms out to show the parking area (double-click the board), remembers its
// place in "vr_window_rect", routes the messages about received and taught keys to the board,
// reacts to the board's controls and writes the layout file when it closes after a button moved.
//
// The application creates it on 'VR_O' and forwards 'VR_H', 'VR_M' and 'RUBR'; the window sends
// 'VR_Q' to the application when it goes and 'VR_W' for the Super keys. It deletes itself when
// closed.
#include <QSize>
#include <QWidget>
#include <filesystem>

#include "platform/messaging/message.h"
#include "platform/messaging/rect.h"

namespace koru {

class AllButtonsView;
class Prefs;

class VirtualRemoteWindow : public QWidget, public Handler {
  Q_OBJECT
 public:
  // `settings` (may be null) gives the layout and keeps the window's frame; the layout files
  // are in `remote_folder`.
  VirtualRemoteWindow(const Rect& frame, Prefs* settings,
                      const std::filesystem::path& remote_folder, QWidget* parent = nullptr);
  ~VirtualRemoteWindow() override;

  void MessageReceived(Message* message) override;

  void AddOptionalByWinKey(const Message* msg);
  void FrameMoved(QPoint where);
  void FrameResized(float width, float height);
  void Zoom();

  AllButtonsView* Board() const { return board_; }
  bool LayoutChanged() const { return layout_changed_; }
  bool Zoomed() const { return zoomed_; }
  QSize MinimumLimit() const { return min_limit_; }
  QSize MaximumLimit() const { return max_limit_; }

  // Resizes within the size limits (the user cannot resize the window by its border).
  void ResizeTo(int width, int height);

 protected:
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetSizeLimits(QSize minimum, QSize maximum);

  Prefs* settings_ = nullptr;
  AllButtonsView* board_ = nullptr;
  bool layout_changed_ = false;
  bool zoomed_ = false;
  QSize min_limit_{150, 300};
  QSize max_limit_{460, 840};
};

}  // namespace koru
