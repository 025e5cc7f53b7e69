#include "presets/preset_binding_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "platform/messaging/message.h"
#include "presets/preset_file.h"
#include "presets/preset_messages.h"
#include "settings/label_table.h"
#include "toolkit/message_action.h"
#include "toolkit/view_utilities.h"

namespace koru {

namespace {

PresetBindingView::Chooser g_chooser;

QString AskWithDialog(QWidget* parent, PresetBindingView::Choice choice) {
  switch (choice) {
    case PresetBindingView::Choice::kFile:
      return QFileDialog::getOpenFileName(parent, "File", QString(), QString(), nullptr,
                                          QFileDialog::DontResolveSymlinks);
    case PresetBindingView::Choice::kFolder:
      return QFileDialog::getExistingDirectory(
          parent, "Folder", QString(),
          QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    case PresetBindingView::Choice::kWebAddress:
      return QInputDialog::getText(
          parent, "Web address", "Web address (http://, https://):", QLineEdit::Normal, "https://");
  }
  return QString();
}

}  // namespace

void PresetBindingView::SetChooser(Chooser chooser) {
  g_chooser = std::move(chooser);
}

std::string DroppedPath(const QList<QUrl>& urls) {
  if (urls.isEmpty() || !urls.first().isLocalFile()) return "";
  // The path exactly as the file manager named it: a link is bound, not what it points to.
  return QFile::encodeName(urls.first().toLocalFile()).toStdString();
}

PresetBindingView::PresetBindingView(int slot, const Messenger& window, QWidget* parent)
    : QLabel(parent),
      slot_(slot),
      group_base_(slot / 10 * 10),
      slot_label_(QString::fromStdString(PresetSlotLabel(slot))),
      window_(window) {
  setObjectName(" any");
  setAcceptDrops(true);
  setFocusPolicy(Qt::StrongFocus);
  if (parent != nullptr)
    SetViewColor(this, TintColor(parent->palette().color(QPalette::Window), 1.147));
}

void PresetBindingView::SetValue(const QString& value) {
  setText(value);
  setToolTip(slot_label_ + value);
  update();
}

QMenu* PresetBindingView::AddEPopMenu() {
  if (menu_ != nullptr) return menu_;
  menu_ = new QMenu(this);
  menu_->setObjectName("EView_Menu");
  const auto item = [this](int label, int32_t modus) {
    Message message(kPresetEntryEdited);
    message.AddInt32("e_nr", slot_);
    message.AddInt32("e_grp", group_base_);
    message.AddInt32("e_modus", modus);
    AddMenuItem(menu_, QString::fromUtf8(getLabel(label)), message, window_);
  };
  item(164, 1);  // "Copy"
  item(165, 2);  // "Paste"
  item(166, 0);  // "Clear"
  menu_->addSeparator();
  item(168, 3);  // "Workspace"
  // Binding a file, a folder or a URL without a file manager to drag from.
  const auto choice = [this](const char* text, Choice kind) {
    QAction* action = menu_->addAction(QString::fromUtf8(text));
    connect(action, &QAction::triggered, this, [this, kind] { Choose(kind); });
  };
  choice("File\u2026", Choice::kFile);
  choice("Folder\u2026", Choice::kFolder);
  choice("Web address\u2026", Choice::kWebAddress);
  return menu_;
}

void PresetBindingView::Choose(Choice choice) {
  const QString answer = (g_chooser ? g_chooser : AskWithDialog)(window(), choice);
  if (answer.isEmpty()) return;
  Message message(kPresetEntryEdited);
  message.AddInt32("e_nr", slot_);
  message.AddInt32("e_grp", group_base_);
  message.AddInt32("e_modus", choice == Choice::kWebAddress ? 6 : 5);
  // A path as the file system names it, as a drop gives it.
  message.AddString("e_path", choice == Choice::kWebAddress
                                  ? answer.trimmed().toStdString()
                                  : QFile::encodeName(answer).toStdString());
  window_.SendMessage(message);
}

void PresetBindingView::OpenMenu(const QPoint& screen_position) {
  AddEPopMenu()->popup(screen_position);
}

void PresetBindingView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  const QFontMetrics metrics(font());
  const int label_width = metrics.horizontalAdvance(slot_label_);
  const QRect value_area = rect().adjusted(label_position_.x() + label_width + 4, 0, -4, 0);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(value_area, Qt::AlignRight | Qt::AlignVCenter,
                   metrics.elidedText(text(), Qt::ElideMiddle, value_area.width()));
  painter.drawText(label_position_, slot_label_);
  if (hasFocus()) {
    painter.setPen(palette().color(QPalette::Highlight));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void PresetBindingView::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  OpenMenu(event->globalPosition().toPoint());
}

void PresetBindingView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Menu:
      OpenMenu(mapToGlobal(QPoint(label_position_.x(), height())));
      return;
    default:
      QLabel::keyPressEvent(event);
  }
}

void PresetBindingView::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedPath(event->mimeData()->urls()).empty()) event->acceptProposedAction();
}

void PresetBindingView::dragMoveEvent(QDragMoveEvent* event) {
  if (!DroppedPath(event->mimeData()->urls()).empty()) event->acceptProposedAction();
}

void PresetBindingView::dropEvent(QDropEvent* event) {
  const std::string path = DroppedPath(event->mimeData()->urls());
  if (path.empty()) return;
  Message message(kPresetEntryEdited);
  message.AddInt32("e_nr", slot_);
  message.AddInt32("e_grp", group_base_);
  message.AddInt32("e_modus", 5);
  message.AddString("e_path", path);
  window_.SendMessage(message);
  event->acceptProposedAction();
}

}  // namespace koru
