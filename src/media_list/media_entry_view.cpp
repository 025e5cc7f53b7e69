#include "media_list/media_entry_view.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <filesystem>

#include "media_list/media_list_messages.h"
#include "platform/files/paths.h"
#include "platform/messaging/message.h"
#include "settings/label_table.h"
#include "toolkit/message_action.h"

namespace koru {

namespace {

QString Label(int n) {
  return QString::fromUtf8(getLabel(n));
}

}  // namespace

MediaEntryView::MediaEntryView(QWidget* parent, int32_t index, std::string path,
                               const QPixmap* picture, Messenger window)
    : QWidget(parent),
      index_(index),
      path_(std::move(path)),
      picture_(picture),
      window_(std::move(window)) {
  setObjectName("MediaEntryView");
  const std::filesystem::path file(MapStoredPath(path_));
  name_ = QString::fromStdString(file.filename().string());
  // The folder as the user knows it: "~/Music/..." for one in the home folder.
  std::string folder = file.parent_path().string();
  const std::string home = HomeFolder().string();
  if (!home.empty() && home != "/" && folder.rfind(home + "/", 0) == 0) {
    folder = "~" + folder.substr(home.size());
  }
  folder_ = QString::fromStdString(folder);
  // A file that can no longer be opened is drawn dimmed and offers no folder to open.
  missing_ = !QFileInfo(QString::fromStdString(file.string())).isReadable();
  setToolTip(QString::fromStdString(path_));
}

void MediaEntryView::SetSelected(bool selected) {
  if (selected_ == selected) return;
  selected_ = selected;
  update();
}

void MediaEntryView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF frame = QRectF(rect()).adjusted(3, 3, -3, -3);
  QPainterPath outline;
  outline.addRoundedRect(frame, 8, 8);
  painter.fillPath(outline, selected_ ? QColor(250, 230, 145) : QColor(255, 255, 255, 215));
  painter.setPen(QPen(selected_ ? QColor(200, 140, 30) : QColor(150, 150, 160), selected_ ? 3 : 1));
  painter.drawPath(outline);

  const int side = height() - 16;
  const QRect picture_box(10, 8, side, side);
  if (picture_ != nullptr && !picture_->isNull()) {
    const QPixmap scaled =
        picture_->scaled(picture_box.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    painter.drawPixmap(picture_box.x() + (side - scaled.width()) / 2,
                       picture_box.y() + (side - scaled.height()) / 2, scaled);
  }
  const int text_left = picture_box.right() + 14;
  const int text_width = width() - text_left - 12;
  QFont name_font = font();
  name_font.setBold(true);
  name_font.setPointSizeF(name_font.pointSizeF() * (height() >= 100 ? 1.35 : 1.1));
  painter.setFont(name_font);
  painter.setPen(missing_ ? QColor(140, 140, 140) : QColor(20, 20, 30));
  const QFontMetrics name_metrics(name_font);
  const int name_y = height() / 2 - 2;
  painter.drawText(text_left, name_y, name_metrics.elidedText(name_, Qt::ElideMiddle, text_width));
  QFont folder_font = font();
  painter.setFont(folder_font);
  painter.setPen(QColor(90, 90, 100));
  const QFontMetrics folder_metrics(folder_font);
  painter.drawText(text_left, name_y + folder_metrics.height() + 4,
                   folder_metrics.elidedText(folder_, Qt::ElideLeft, text_width));
}

void MediaEntryView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    Message play(kPlayMediaEntry);
    play.AddInt32("ml_nr", index_);
    window_.SendMessage(play);
    event->accept();
  } else {
    QWidget::mousePressEvent(event);
  }
}

void MediaEntryView::contextMenuEvent(QContextMenuEvent* event) {
  // Taken here, so the window's own menu does not open as well.
  ShowMenu(event->globalPos());
  event->accept();
}

QMenu* MediaEntryView::ShowMenu(const QPoint& global) {
  delete findChild<QMenu*>("MeView_Menu");
  auto* menu = new QMenu(this);
  menu->setObjectName("MeView_Menu");
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const auto& [label, what] : {std::pair{177, 9}, std::pair{176, 7}}) {
    Message message(kMediaFilesAction);
    message.AddInt32("mpl_what", what);
    message.AddInt32("mpl_nr", index_);
    QAction* item = AddMenuItem(menu, Label(label), message, window_);
    if (what == 9) item->setEnabled(!missing_);
  }
  menu->popup(global);
  return menu;
}

}  // namespace koru
