#include "media_list/media_list_window.h"

#include <algorithm>

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include "actions/actions.h"
#include "media_list/media_entries_view.h"
#include "media_list/media_file_kind.h"
#include "media_list/media_list_messages.h"
#include "platform/desktop/desktop_messages.h"
#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "platform/files/paths.h"
#include "platform/launcher/launcher.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/trace.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "toolkit/message_action.h"
#include "toolkit/window_placement.h"

namespace koru {

namespace {

QString Label(int n) {
  return QString::fromUtf8(getLabel(n));
}

constexpr Qt::WindowFlags kFloating = Qt::Tool | Qt::WindowStaysOnTopHint;

}  // namespace

MediaListWindow::MediaListWindow(Prefs* settings, ActionRunner run_action,
                                 std::filesystem::path list_file)
    : QWidget(nullptr, kFloating),
      settings_(settings),
      run_action_(std::move(run_action)),
      list_(std::move(list_file)) {
  setObjectName("KORU-MEDIA-FILES");
  setWindowTitle(Label(kLabelMediaListTitle));
  setAttribute(Qt::WA_DeleteOnClose);
  setAcceptDrops(true);
  setMinimumSize(kMinWidth, kMinHeight);
  setMaximumSize(kMaxWidth, kMaxHeight);
  if (settings_ != nullptr) {
    const Rect& frame = settings_->lt_window_rect;
    move(static_cast<int>(frame.left), static_cast<int>(frame.top));
    resize(static_cast<int>(frame.Width()), static_cast<int>(frame.Height()));
    if (settings_->window_mtab) setWindowFlag(Qt::FramelessWindowHint, true);
  }
  KeepOnScreen(this);

  list_.SetHooks({
      .refresh =
          [this] {
            CheckFolderImages();
            if (media_view_ != nullptr) media_view_->RebuildEntries();
          },
      .open_folder =
          [this](const std::string& folder) {
            run_action_(
                [folder](ActionServices& services) { IOpenThisFile(services, folder, true); });
          },
      .edit =
          [this](const std::string& file) {
            run_action_([file](ActionServices& services) {
              if (services.launcher == nullptr ||
                  services.launcher->OpenWithPreferredApp(file) != kOk) {
                Trace(" oops: couldn't execute \n");
              }
            });
            return kOk;
          },
  });
  list_.DoWithMediaFiles(MediaFileList::kBuild, "", -1);
  list_.DoWithMediaFiles(MediaFileList::kLoad, "", -1);
  CheckFolderImages();

  media_view_ = new MediaEntriesView(this, &list_.Entries(), &pictures_, GetMessenger());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(media_view_);
  // The entry size the list was last left with.
  if (settings_ != nullptr) {
    media_view_->SetEntrySize(static_cast<MediaEntriesView::EntrySize>(
        std::clamp(settings_->LINK_SIZE, 0, int32_t{MediaEntriesView::kMaxi})));
  }
  media_view_->RebuildEntries();
  if (settings_ != nullptr) media_view_->CenterMediaFile(settings_->LAST_PLAY, true);
  // Keys typed anywhere in the window move the selection.
  setFocusProxy(media_view_);
  media_view_->setFocus();

  const QString file = QString::fromStdString(list_.File().string());
  const QString folder = QString::fromStdString(list_.File().parent_path().string());
  auto changed = [this, file] {
    // A file replaced by a rename is no longer watched: the new one is.
    if (!disk_check_.files().contains(file)) disk_check_.addPath(file);
    CheckListFile();
  };
  connect(&disk_check_, &QFileSystemWatcher::fileChanged, this, changed);
  connect(&disk_check_, &QFileSystemWatcher::directoryChanged, this, changed);
  if (!folder.isEmpty()) disk_check_.addPath(folder);
  disk_check_.addPath(file);
  AppMessenger().SendMessage(kToggleMiniView);
}

MediaListWindow::~MediaListWindow() {
  disk_check_.blockSignals(true);
  DetachHandler();
  // Normally saved on closing already; this is for a window deleted without closing.
  if (list_.Changed()) list_.DoWithMediaFiles(MediaFileList::kSave, "", -1);
  list_.SetHooks({});
  // The view shows the list: it goes first.
  delete media_view_;
  media_view_ = nullptr;
  list_.DoWithMediaFiles(MediaFileList::kDelete, "", -1);
  AppMessenger().SendMessage(kMediaListClosed);
  AppMessenger().SendMessage(kToggleMiniView);
  Trace("\n ~MEDIAWin  goodbye \n");
}

status_t MediaListWindow::DoWithMediaFiles(int32_t operation, const std::string& text,
                                           int32_t index) {
  return list_.DoWithMediaFiles(operation, text, index);
}

void MediaListWindow::CheckFolderImages() {
  Trace(" ::CheckFolderImages \n");
  for (const std::string& entry : list_.Entries()) {
    const std::string folder = std::filesystem::path(MapStoredPath(entry)).parent_path().string();
    const bool known = std::any_of(pictures_.begin(), pictures_.end(),
                                   [&](const BitmapPath& p) { return p.folder == folder; });
    if (!known) pictures_.push_back(LoadFolderPicture(folder));
  }
}

void MediaListWindow::CheckListFile() {
  list_.ReloadIfChangedOnDisk();
}

void MediaListWindow::DraggedMediaFiles(const Message* message, bool add) {
  std::string path;
  bool added = false;
  for (int32_t i = 0; message->FindString("refs", &path, i) == kOk; ++i) {
    const std::filesystem::path file(path);
    // A name with a line break cannot be a line of the list file.
    const int32_t kind =
        path.find_first_of("\r\n") == std::string::npos ? MediaKindOf(file) : kNoMediaFile;
    if (kind == kNoMediaFile) {
      AnyAlert(file.filename().string() + "\n.. not supported Filetype", false);
      Trace(".. no audio or video-files\n");
      continue;
    }
    if (add) {
      Trace("+mt%d:  '%s' \n", kind, path.c_str());
      if (list_.Exists()) {
        const size_t before = list_.Entries().size();
        list_.DoWithMediaFiles(MediaFileList::kAdd, path, -1);
        added = added || list_.Entries().size() > before;
      }
    } else {
      Trace("-mt%d:  '%s' \n", kind, path.c_str());
      FileNode node(file);
      if (const status_t status = node.RemoveAttr(kKoruTypeAttr); status != kOk) {
        Trace("Unknown error remove %s: %s\n", kKoruTypeAttr, StatusText(status).c_str());
      }
    }
  }
  // One rebuild for the whole drop (a drop of a whole album is common), showing the last file.
  if (added) {
    list_.DoWithMediaFiles(MediaFileList::kRefresh, "", -1);
    media_view_->CenterMediaFile(static_cast<int32_t>(list_.Entries().size()) - 1, true);
  }
}

void MediaListWindow::Play(int32_t index) {
  const auto& entries = list_.Entries();
  if (index < 0 || static_cast<size_t>(index) >= entries.size()) return;
  if (settings_ != nullptr) settings_->LAST_PLAY = index;
  const std::string path = entries[static_cast<size_t>(index)];
  run_action_([path](ActionServices& services) {
    IAudioApps(services, 93);
    snooze(10000);
    IOpenThisFile(services, path, false);
  });
  media_view_->CenterMediaFile(index, true);
}

void MediaListWindow::MessageReceived(Message* message) {
  switch (message->what) {
    case kPlayMediaEntry: {
      int32_t index = 0;
      if (message->FindInt32("ml_nr", &index) == kOk) {
        Play(index);
      } else {
        Trace("%s\n", message->Dump().c_str());
      }
      return;
    }
    case kMediaFilesAction:
      DoWithMediaFiles(message->GetInt32("mpl_what", -1), "--", message->GetInt32("mpl_nr", -1));
      return;
    case kEditMediaListFile:
      SaveReporting(MediaFileList::kEditFile);
      return;
    case kDroppedData:
      DraggedMediaFiles(message, true);
      return;
    case kMediaViewNormal:
    case kMediaViewMini:
    case kMediaViewMaxi:
      media_view_->HandleMessage(message->what);
      if (settings_ != nullptr) settings_->LINK_SIZE = media_view_->Size();
      return;
    case kQuitMediaPlayers:
      // The remote's "EXIT" and the menu: every running media player is asked to quit.
      run_action_([](ActionServices& services) { ICloseMediaApp(services); });
      return;
    case kMediaListKey:
    case kKeyDown:
      media_view_->KeyDown(message->GetInt32("korukey", 0));
      return;
    case kHideMediaTab:
      SetTabHidden(true);
      return;
    case kShowMediaTab:
      SetTabHidden(false);
      return;
    case kToggleMediaTab:
      SetTabHidden(!TabHidden());
      return;
    case kCloseMediaList:
      close();
      return;
    case kKeyUp:
    case kUnmappedKeyDown:
    case kUnmappedKeyUp:
    case kMouseWheelChanged:
      return;
    default:
      Trace("ME_Window::MessageReceived\n");
      Trace("%s\n", message->Dump().c_str());
      return;
  }
}

bool MediaListWindow::TabHidden() const {
  return windowFlags().testFlag(Qt::FramelessWindowHint);
}

void MediaListWindow::SetTabHidden(bool hidden) {
  if (settings_ != nullptr) settings_->window_mtab = hidden;
  if (TabHidden() == hidden) return;
  const QRect frame = geometry();
  const bool shown = isVisible();
  // Changing the flags makes a new native window: hidden until shown again.
  setWindowFlag(Qt::FramelessWindowHint, hidden);
  setGeometry(frame);
  if (shown) {
    show();
    activateWindow();
    media_view_->setFocus();
  }
}

void MediaListWindow::StoreFrame() {
  if (settings_ == nullptr || !isVisible()) return;
  settings_->lt_window_rect = FrameToStore(this, settings_->lt_window_rect);
}

void MediaListWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  StoreFrame();
}

void MediaListWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  StoreFrame();
}

status_t MediaListWindow::SaveReporting(int32_t operation) {
  const status_t status = list_.DoWithMediaFiles(operation, "--", 0);
  // The edit operation saves first; what it reports after that is the editor's affair.
  if (!list_.Changed()) {
    media_view_->SetNotice({});
  } else {
    media_view_->SetNotice(QString::fromStdString(
        "The list could not be saved to '" + list_.File().string() + "': " + StatusText(status)));
  }
  return status;
}

void MediaListWindow::closeEvent(QCloseEvent* event) {
  // A list that cannot be written keeps the window open once, saying so; closing again gives
  // the changes up.
  if (SaveReporting(MediaFileList::kSave) != kOk && !close_warned_) {
    close_warned_ = true;
    event->ignore();
    return;
  }
  event->accept();
}

void MediaListWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MediaListWindow::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  DropUris(event->mimeData());
}

void MediaListWindow::DropUris(const QMimeData* data) {
  Message refs(kDroppedData);
  for (const QUrl& url : data->urls()) {
    refs.AddString("refs", (url.isLocalFile() ? url.toLocalFile() : url.toString()).toStdString());
  }
  MessageReceived(&refs);
}

QMenu* MediaListWindow::ShowMenu(const QPoint& global) {
  delete findChild<QMenu*>("MediaWin_Menu");
  auto* menu = new QMenu(this);
  menu->setObjectName("MediaWin_Menu");
  menu->setAttribute(Qt::WA_DeleteOnClose);
  const Messenger self = GetMessenger();
  if (TabHidden()) {
    AddMenuItem(menu, Label(kLabelShowTab), Message(kShowMediaTab), self);
  } else {
    AddMenuItem(menu, Label(kLabelToggleTab), Message(kHideMediaTab), self);
  }
  QMenu* sizes = menu->addMenu(Label(kLabelBoxSize).trimmed());
  const struct {
    int label;
    uint32_t what;
    MediaEntriesView::EntrySize size;
  } kSizes[] = {{207, kMediaViewMini, MediaEntriesView::kMini},
                {208, kMediaViewNormal, MediaEntriesView::kNormal},
                {209, kMediaViewMaxi, MediaEntriesView::kMaxi}};
  for (const auto& size : kSizes) {
    QAction* item = AddMenuItem(sizes, Label(size.label), Message(size.what), self);
    item->setCheckable(true);
    item->setChecked(media_view_->Size() == size.size);
  }
  AddMenuItem(menu, Label(kLabelEdit), Message(kEditMediaListFile), self);
  AddMenuItem(menu, "Quit the players", Message(kQuitMediaPlayers), self);
  menu->addSeparator();
  AddMenuItem(menu, Label(kLabelClose), Message(kCloseMediaList), self);
  menu->popup(global);
  return menu;
}

void MediaListWindow::contextMenuEvent(QContextMenuEvent* event) {
  ShowMenu(event->globalPos());
  event->accept();
}

void MediaListWindow::mousePressEvent(QMouseEvent* event) {
  // Without a tab the window is moved by dragging its background.
  if (event->button() == Qt::LeftButton && windowHandle() != nullptr) {
    windowHandle()->startSystemMove();
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

bool MediaListWindow::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) CheckListFile();
  return QWidget::event(event);
}

}  // namespace koru
