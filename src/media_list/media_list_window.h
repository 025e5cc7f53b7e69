#pragma once
// The media list window: a tool window floating above the other windows with the strip of the
// user's favourite audio and video files (MediaEntriesView). Files dropped on it are added; an
// entry is played with a click or the remote's OK key, its folder opened or the entry removed
// through its pop-up menu. The list is saved when the window closes, only when it changed.
//
// The application object makes it on 'MW_O' and lends it the main window's action thread:
//
//   auto* list = new MediaListWindow(settings,
//                                 [main](ActionThread::Action a) { main->RunAction(a); });
//
// The window deletes itself when closed; on the way out it posts 'MW_Q' and 'irmi' to the
// application, as it posted 'irmi' once built.
#include <QFileSystemWatcher>
#include <QWidget>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>

#include "actions/action_thread.h"
#include "media_list/bitmap_path.h"
#include "media_list/media_file_list.h"
#include "media_list/media_list_text.h"
#include "platform/messaging/message.h"

class QMenu;
class QMimeData;

namespace koru {

class MediaEntriesView;
class Prefs;

class MediaListWindow : public QWidget, public Handler {
  Q_OBJECT
 public:
  using ActionRunner = std::function<void(ActionThread::Action)>;

  MediaListWindow(Prefs* settings, ActionRunner run_action,
                  std::filesystem::path list_file = MediaListFile());
  ~MediaListWindow() override;

  void MessageReceived(Message* message) override;

  status_t DoWithMediaFiles(int32_t operation, const std::string& text, int32_t index);
  // The files of a drop ("refs", one path each): audio and video files are added (`add`
  // true) or lose their file-kind attribute (`add` false); others are refused with an alert.
  void DraggedMediaFiles(const Message* message, bool add);
  // The files of a uri-list (as a file manager drops them) handed on as a 'DATA' drop.
  void DropUris(const QMimeData* data);
  // A picture for every folder that holds an entry; pictures already made stay.
  void CheckFolderImages();
  // Reloads the list when the file was changed by someone else (checked every second).
  void CheckListFile();

  const MediaFileList& List() const { return list_; }
  MediaEntriesView* MediaView() const { return media_view_; }
  bool TabHidden() const;
  // The window's own menu (tab, entry size, edit, close), shown at `global`.
  QMenu* ShowMenu(const QPoint& global);

  // Size limits: five entries of the normal size.
  static constexpr int kEntryHeight = 114;
  static constexpr int kMinWidth = 600, kMaxWidth = 1240;
  static constexpr int kMinHeight = kEntryHeight * 5 + 50, kMaxHeight = 1024;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void Play(int32_t index);
  void SetTabHidden(bool hidden);
  void StoreFrame();
  // Runs a saving operation (save, edit) and shows in the window whether the list was saved.
  status_t SaveReporting(int32_t operation);

  Prefs* settings_;
  ActionRunner run_action_;
  MediaFileList list_;
  std::deque<BitmapPath> pictures_;
  MediaEntriesView* media_view_ = nullptr;
  // The list file and its folder (a save by another program replaces the file): a change on
  // disk is read when it happens, with no polling.
  QFileSystemWatcher disk_check_;
  bool close_warned_ = false;
};

}  // namespace koru
