#pragma once
// The media view: the strip of entry views (MediaEntryView), one per listed file, stacked
// vertically with the selected entry centred. The selection moves with the arrow keys (and the
// remote's keys the main window passes on as 'MWse'); three entry sizes.
#include <QWidget>
#include <deque>
#include <string>
#include <vector>

#include "media_list/bitmap_path.h"
#include "platform/messaging/messenger.h"

class QLabel;

namespace koru {

class MediaEntryView;

class MediaEntriesView : public QWidget {
  Q_OBJECT
 public:
  enum EntrySize { kMini, kNormal, kMaxi };

  // `entries` and `pictures` belong to the window and outlive the view; `window` receives the
  // entries' messages.
  MediaEntriesView(QWidget* parent, const std::vector<std::string>* entries,
                   const std::deque<BitmapPath>* pictures, Messenger window);

  // Makes the entry views anew from the entries (after the list changed).
  void RebuildEntries();
  // Selects entry `index` (clamped to the list) and moves the strip so that it is centred.
  void CenterMediaFile(int32_t index, bool select);
  int32_t Selected() const { return selected_; }

  void SetEntrySize(EntrySize size);
  EntrySize Size() const { return size_; }
  int EntryHeight() const;

  // A message of the window's menus ('MWmd', 'MWmi', 'MWmx'); false when it is none of them.
  bool HandleMessage(uint32_t what);
  // A key function from the remote ('MWse' "korukey"); false when the view has no use for it.
  bool KeyDown(int32_t korukey);

  // A line at the foot of the view (empty hides it).
  void SetNotice(const QString& text);

  const std::vector<MediaEntryView*>& EntryViews() const { return views_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void LayoutEntries();
  const QPixmap* PictureFor(const std::string& path) const;
  int VisibleCount() const;

  const std::vector<std::string>* entries_;
  const std::deque<BitmapPath>* pictures_;
  Messenger window_;
  std::vector<MediaEntryView*> views_;
  int32_t selected_ = 0;
  EntrySize size_ = kNormal;
  QLabel* notice_ = nullptr;
  QPixmap background_;
};

}  // namespace koru
