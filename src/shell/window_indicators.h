#pragma once
// What the actions show in the main window, from the action thread: the "MUTED" button and the
// status line. Reads come from a mirror; every change is posted to the GUI thread.
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <atomic>

#include "actions/action_services.h"

namespace koru {

class WindowIndicators : public MuteIndicator, public StatusLabel {
 public:
  WindowIndicators(QPushButton* mute_button, QLabel* status_line)
      : mute_button_(mute_button), status_line_(status_line) {}

  bool IsShown() const override { return muted_.load(); }
  void SetShown(bool shown) override {
    muted_.store(shown);
    QPointer<QPushButton> button = mute_button_;
    QMetaObject::invokeMethod(
        button.data(),
        [button, shown] {
          if (!button) return;
          button->setChecked(shown);
          QPalette palette = button->palette();
          palette.setColor(QPalette::ButtonText, shown ? QColor(200, 20, 20) : QColor(60, 60, 60));
          button->setPalette(palette);
        },
        Qt::QueuedConnection);
  }
  void Blank() override {
    QPointer<QLabel> label = status_line_;
    QMetaObject::invokeMethod(
        label.data(),
        [label] {
          if (!label) return;
          label->setText(" ");
          label->hide();
        },
        Qt::QueuedConnection);
  }

 private:
  QPointer<QPushButton> mute_button_;
  QPointer<QLabel> status_line_;
  std::atomic<bool> muted_{false};
};

}  // namespace koru
