#include "media_list/media_entries_view.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QWheelEvent>
#include <filesystem>

#include "media_list/media_entry_view.h"
#include "media_list/media_list_messages.h"
#include "platform/files/paths.h"
#include "platform/messaging/message.h"
#include "settings/key_functions.h"

namespace koru {

namespace {

constexpr int kEntryHeights[] = {76, 114, 160};
constexpr int kGap = 6;
constexpr int kSideMargin = 16;

}  // namespace

MediaEntriesView::MediaEntriesView(QWidget* parent, const std::vector<std::string>* entries,
                                   const std::deque<BitmapPath>* pictures, Messenger window)
    : QWidget(parent), entries_(entries), pictures_(pictures), window_(std::move(window)) {
  setObjectName("MediaEntriesView");
  setFocusPolicy(Qt::StrongFocus);
  // The user's own background, if there is one in the program folder.
  background_.load(QString::fromStdString((ProgramFolder() / "_mediaback.jpg").string()));
  notice_ = new QLabel(this);
  notice_->setObjectName("MxNotice");
  notice_->setAlignment(Qt::AlignCenter);
  notice_->setWordWrap(true);
  notice_->setStyleSheet(
      "QLabel { background: rgba(250, 200, 200, 230); color: black; border-radius: 6px; "
      "padding: 4px; }");
  notice_->hide();
}

int MediaEntriesView::EntryHeight() const {
  return kEntryHeights[size_];
}

void MediaEntriesView::SetEntrySize(EntrySize size) {
  size_ = size;
  LayoutEntries();
}

const QPixmap* MediaEntriesView::PictureFor(const std::string& path) const {
  const std::string folder = std::filesystem::path(MapStoredPath(path)).parent_path().string();
  for (const BitmapPath& picture : *pictures_) {
    if (picture.folder == folder) return &picture.picture;
  }
  return nullptr;
}

void MediaEntriesView::RebuildEntries() {
  for (MediaEntryView* view : views_) {
    view->hide();
    // Later: the view may be the sender of the message that caused this rebuild.
    view->deleteLater();
  }
  views_.clear();
  for (size_t i = 0; i < entries_->size(); ++i) {
    const std::string& path = (*entries_)[i];
    views_.push_back(
        new MediaEntryView(this, static_cast<int32_t>(i), path, PictureFor(path), window_));
  }
  CenterMediaFile(selected_, true);
  update();
}

void MediaEntriesView::CenterMediaFile(int32_t index, bool select) {
  const int32_t count = static_cast<int32_t>(views_.size());
  if (select) selected_ = count == 0 ? 0 : std::clamp(index, 0, count - 1);
  LayoutEntries();
}

int MediaEntriesView::VisibleCount() const {
  return std::max(1, height() / (EntryHeight() + kGap));
}

void MediaEntriesView::LayoutEntries() {
  const int entry_height = EntryHeight();
  const int step = entry_height + kGap;
  const int centre_top = (height() - entry_height) / 2;
  for (MediaEntryView* view : views_) {
    const int top = centre_top + (view->Index() - selected_) * step;
    view->setGeometry(kSideMargin, top, width() - 2 * kSideMargin, entry_height);
    view->SetSelected(view->Index() == selected_);
    view->setVisible(top + entry_height > 0 && top < height());
  }
  if (notice_->isVisible()) {
    notice_->setGeometry(kSideMargin, height() - 44, width() - 2 * kSideMargin, 36);
    notice_->raise();
  }
}

void MediaEntriesView::SetNotice(const QString& text) {
  notice_->setText(text);
  notice_->setVisible(!text.isEmpty());
  LayoutEntries();
}

bool MediaEntriesView::HandleMessage(uint32_t what) {
  switch (what) {
    case kMediaViewNormal:
      SetEntrySize(kNormal);
      return true;
    case kMediaViewMini:
      SetEntrySize(kMini);
      return true;
    case kMediaViewMaxi:
      SetEntrySize(kMaxi);
      return true;
    default:
      return false;
  }
}

bool MediaEntriesView::KeyDown(int32_t korukey) {
  // "EXIT": the players quit, whatever the list holds.
  if (korukey == 72) {
    window_.SendMessage(Message(kQuitMediaPlayers));
    return true;
  }
  if (views_.empty()) return false;
  const int32_t page = VisibleCount();
  switch (korukey) {
    case kKeyArrowUp:   // up
    case kKeyPrevious:  // |<<
    case kKeyBack:      // <
      CenterMediaFile(selected_ - 1, true);
      return true;
    case kKeyArrowDown:  // down
    case kKeyNext:       // >>|
    case kKeyStop:       // []
      CenterMediaFile(selected_ + 1, true);
      return true;
    case kKeyArrowLeft:  // left: a page up
      CenterMediaFile(selected_ - page, true);
      return true;
    case kKeyArrowRight:  // right: a page down
      CenterMediaFile(selected_ + page, true);
      return true;
    case kKeyOk:      // OK
    case kKeyPause:   // ||
    case kKeyPlay: {  // >
      Message play(kPlayMediaEntry);
      play.AddInt32("ml_nr", selected_);
      window_.SendMessage(play);
      return true;
    }
    case kKeyEject: {  // Eject: the entry's folder
      Message folder(kMediaFilesAction);
      folder.AddInt32("mpl_what", 9);
      folder.AddInt32("mpl_nr", selected_);
      window_.SendMessage(folder);
      return true;
    }
    default:
      return false;
  }
}

void MediaEntriesView::keyPressEvent(QKeyEvent* event) {
  int32_t korukey = 0;
  switch (event->key()) {
    case Qt::Key_Up:
      korukey = 61;
      break;
    case Qt::Key_Down:
      korukey = 62;
      break;
    case Qt::Key_Left:
    case Qt::Key_PageUp:
      korukey = 63;
      break;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
      korukey = 64;
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      korukey = 69;
      break;
    case Qt::Key_Home:
      CenterMediaFile(0, true);
      return;
    case Qt::Key_End:
      CenterMediaFile(static_cast<int32_t>(views_.size()) - 1, true);
      return;
    default:
      break;
  }
  if (korukey == 0 || !KeyDown(korukey)) QWidget::keyPressEvent(event);
}

void MediaEntriesView::wheelEvent(QWheelEvent* event) {
  const int steps = event->angleDelta().y() / 120;
  if (steps != 0) CenterMediaFile(selected_ - steps, true);
  event->accept();
}

void MediaEntriesView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutEntries();
}

void MediaEntriesView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!background_.isNull()) {
    painter.drawPixmap(rect(), background_);
  } else {
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, QColor(48, 52, 64));
    shade.setColorAt(0.5, QColor(72, 78, 96));
    shade.setColorAt(1, QColor(40, 44, 54));
    painter.fillRect(rect(), shade);
  }
  // The band the selected entry sits in.
  const int entry_height = EntryHeight();
  painter.fillRect(0, (height() - entry_height) / 2 - 4, width(), entry_height + 8,
                   QColor(255, 255, 255, 28));
  if (views_.empty()) {
    painter.setPen(QColor(230, 230, 235));
    QFont hint = font();
    hint.setPointSizeF(hint.pointSizeF() * 1.3);
    painter.setFont(hint);
    painter.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap,
                     "Drop audio or video files here");
  }
}

}  // namespace koru
