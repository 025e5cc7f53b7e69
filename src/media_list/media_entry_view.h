#pragma once
// One entry of the media list: its folder's picture, the file name and the folder. A click with
// the primary button plays the entry ('MWpl' to the window); the secondary button opens the
// pop-up menu "MeView_Menu" ("Open folder", "Remove from List").
#include <QWidget>
#include <string>

#include "platform/messaging/messenger.h"

class QMenu;

namespace koru {

class MediaEntryView : public QWidget {
  Q_OBJECT
 public:
  // `picture` belongs to the window's folder pictures and outlives this view (may be null).
  MediaEntryView(QWidget* parent, int32_t index, std::string path, const QPixmap* picture,
                 Messenger window);

  int32_t Index() const { return index_; }
  const std::string& Path() const { return path_; }
  void SetSelected(bool selected);
  bool Selected() const { return selected_; }

  // Builds the pop-up menu and shows it at `global` (a screen position).
  QMenu* ShowMenu(const QPoint& global);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  int32_t index_;
  std::string path_;
  QString name_;
  QString folder_;
  const QPixmap* picture_;
  Messenger window_;
  bool selected_ = false;
  bool missing_ = false;
};

}  // namespace koru
