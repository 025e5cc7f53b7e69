#include "toolkit/view_utilities.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <cstring>

#include "platform/desktop/desktop_messages.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/mnemonics.h"
#include "toolkit/text_control.h"

namespace koru {

void AddToolTip(QWidget* view, const char* text) {
  if (view == nullptr) {
    Trace("AddTT: bad view");
    return;
  }
  view->setToolTip(QString::fromUtf8(text ? text : ""));
}

QColor TintColor(const QColor& color, double tint) {
  auto channel = [tint](int value) {
    const double result = tint >= 1.0 ? value * (2.0 - tint) : value + (255 - value) * (1.0 - tint);
    return std::clamp(static_cast<int>(result), 0, 255);
  };
  return QColor(channel(color.red()), channel(color.green()), channel(color.blue()));
}

void SetViewColor(QWidget* view, const QColor& color) {
  QPalette palette = view->palette();
  palette.setColor(QPalette::Window, color);
  palette.setColor(QPalette::Base, color);
  palette.setColor(QPalette::Button, color);
  view->setPalette(palette);
  view->setAutoFillBackground(true);
  view->update();
}

namespace {
bool IsControl(QWidget* child) {
  return qobject_cast<QCheckBox*>(child) || qobject_cast<QLabel*>(child) ||
         qobject_cast<QPushButton*>(child) || qobject_cast<TextControl*>(child) ||
         qobject_cast<MenuField*>(child) || qobject_cast<QGroupBox*>(child);
}
}  // namespace

void ColorToChilds(QWidget* parent) {
  if (parent == nullptr) {
    Trace("View=NULL");
    return;
  }
  const QColor color = parent->palette().color(QPalette::Window);
  const QObjectList& children = parent->children();
  for (qsizetype i = children.size() - 1; i >= 0; --i) {
    auto* child = qobject_cast<QWidget*>(children[i]);
    if (child == nullptr || !IsControl(child)) continue;
    QPalette palette = child->palette();
    palette.setColor(QPalette::Window, color);
    child->setPalette(palette);
    child->setAutoFillBackground(true);
    child->update();
  }
}

std::unique_ptr<QImage> GetImage(const char* path) {
  QFile file(QString::fromUtf8(path ? path : ""));
  if (!file.open(QIODevice::ReadOnly)) return nullptr;
  QImageReader reader(&file);
  auto image = std::make_unique<QImage>(reader.read());
  if (image->isNull()) {
    Trace(
        "\xc2\xa0"
        "can't translate '%s'",
        path);
    return nullptr;
  }
  return image;
}

namespace {

void MarkItem(QAction* item, bool mark) {
  item->setCheckable(true);
  item->setChecked(mark);
  Trace(mark ? " A-geharkt\n" : " A-entharkt\n");
}

bool SetItemToIn(QMenu* menu, uint32_t code, const char* label, bool enable, bool mark) {
  if (menu == nullptr) {
    Trace(" [Menu==NULL :%s][out]\n", label ? label : "");
    return false;
  }
  if (label == nullptr) {
    Trace(" return ! \n");
    return false;
  }
  if (std::strcmp(label, getLabel(kLabelCodeNotFound)) == 0) {
    Trace(" [forbidden Label :%s][out]\n", label);
    return false;
  }
  const QString text = QString::fromUtf8(label);
  QAction* item = code != 0 ? FindMenuItem(menu, code) : FindMenuItem(menu, text);
  if (item != nullptr) {
    MarkItem(item, mark);
    item->setEnabled(enable);
    return true;
  }
  Trace(" '%s' not found[2 enable]\n", label);
  for (QAction* position : menu->actions()) {
    if (position->menu() != nullptr && SetItemToIn(position->menu(), 0, label, true, mark)) {
      Trace("[SM-out]\n");
      return true;
    }
    if (!position->isSeparator() && WithoutMnemonic(position->text()) == WithoutMnemonic(text)) {
      MarkItem(position, mark);
      Trace("[<out]\n");
      return true;
    }
  }
  return false;
}

}  // namespace

bool SetItemTo(QMenu* menu, uint32_t code, const char* label, bool enable, const char* /*text*/,
               bool mark) {
  return SetItemToIn(menu, code, label, enable, mark);
}

void InstallAlertPresenter(std::function<void(const std::string& text)> also) {
  SetAlertPresenter([also](const std::string& text) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
      Trace("%s\n", text.c_str());
      return;
    }
    // The windows log what they alert about themselves; an alert from an action or from a
    // program KORU started was seen by the trace only.
    const bool from_window = QThread::currentThread() == app->thread();
    QMetaObject::invokeMethod(
        app,
        [text, also, from_window] {
          if (also && !from_window) also(text);
          auto* box = new QMessageBox(QMessageBox::Warning, "KORU_Alert",
                                      QString::fromUtf8(text.c_str()), QMessageBox::Ok);
          box->setDefaultButton(QMessageBox::Ok);  // Enter answers it
          box->setAttribute(Qt::WA_DeleteOnClose);
          box->setModal(false);
          box->show();
        },
        Qt::QueuedConnection);
  });
}

Message KeyDownMessage(const QKeyEvent& event) {
  Message key(kKeyDown);
  int32_t modifiers = 0;
  if (event.modifiers() & Qt::ControlModifier) modifiers |= 0x04;
  if (event.modifiers() & Qt::AltModifier) modifiers |= 0x4000;
  key.AddInt32("modifiers", modifiers);
  const int32_t code = event.key() == Qt::Key_Super_L ? 102
                       : event.key() == Qt::Key_Super_R
                           ? 103
                           : static_cast<int32_t>(event.nativeScanCode());
  key.AddInt32("key", code);
  return key;
}

}  // namespace koru
