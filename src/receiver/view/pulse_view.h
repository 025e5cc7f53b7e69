#pragma once
// The receiver view: draws the receiver's state, a blinking activity lamp (green in slow-down)
// or "no receiver", and counts the main window's pulses, sending 'RUBR' to clear a shown key.
// The receiver session it shows owns the port and the thread; the view only reads it.
#include <QColor>
#include <QWidget>
#include <cstdint>

#include "platform/messaging/message.h"

namespace koru {

class ReceiverSession;

class PulseView : public QWidget {
  Q_OBJECT
 public:
  // `session` outlives the view.
  PulseView(const QRect& frame, const char* name, const ReceiverSession* session,
            QWidget* parent = nullptr);

  void Pulse();
  // The pulse rests while it has nothing to do. Number of pulses from now to the next one
  // with work: 1 while the lamp blinks or the thread waits to be resumed, the pulses up to
  // the next 'RUBR' while a shown key waits to be cleared, 0 when none has work.
  int32_t PulsesUntilWork() const;
  // Counts `count` pulses that had nothing to do, as if they had come.
  void SkipPulses(int32_t count);
  // A report was shown: the next 'RUBR' clears it.
  void ReportShown() { clear_due_ = true; }

  virtual void SetRemoteDev(int32_t number);
  virtual void OwnPulse();

  int32_t PulseCount() const { return pulse_count_; }
  int32_t RemoteDev() const { return remote_dev_; }
  bool Hold() const { return hold_; }
  void SetHold(bool hold) {
    hold_ = hold;
    emit PulseWanted();
  }

 signals:
  // The pulse may have work again (the lamp shows).
  void PulseWanted();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  const ReceiverSession* session_;
  bool hold_;
  int32_t remote_dev_ = 91;
  int32_t pulse_count_ = 0;
  int32_t shown_number_ = 0;
  bool clear_due_ = false;
  QColor frame_color_;
};

}  // namespace koru
