#include "receiver/view/pulse_view.h"

#include <QPainter>

#include "platform/messaging/messenger.h"
#include "platform/messaging/trace.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_messages.h"
#include "receiver/receiver_session.h"
#include "settings/prefs.h"
#include "toolkit/view_utilities.h"

namespace koru {

PulseView::PulseView(const QRect& frame, const char* name, const ReceiverSession* session,
                     QWidget* parent)
    : QWidget(parent), session_(session) {
  setObjectName(name);
  setGeometry(frame);
  QFont small = font();
  small.setPointSize(10);
  setFont(small);
  frame_color_ = TintColor(palette().color(QPalette::Window), 1.295);
  const Prefs* settings = session_ ? session_->Settings() : nullptr;
  hold_ = settings && settings->hold_irInfo;
}

void PulseView::Pulse() {
  if (++pulse_count_ > 21) pulse_count_ = 0;
  if (session_->Flags().receiving == 0) return;
  if (!hold_ && pulse_count_ == 20) {
    AppMessenger().SendMessage(kClearShownKey);
    clear_due_ = false;
  }
  update();
}

namespace {
constexpr int32_t kPulseCycle = 22;  // the pulse count runs 0..21
constexpr int32_t kClearAt = 20;     // 'RUBR' goes out at this count
}  // namespace

int32_t PulseView::PulsesUntilWork() const {
  const ReceiverFlags& flags = session_->Flags();
  if (flags.receiving == 0) return 0;
  const bool lamp = session_->Port() != nullptr && isVisible();
  if (lamp || flags.resume_wanted) return 1;
  if (!clear_due_ || hold_) return 0;
  const int32_t until = (kClearAt - pulse_count_ + kPulseCycle) % kPulseCycle;
  return until == 0 ? kPulseCycle : until;
}

void PulseView::SkipPulses(int32_t count) {
  if (count > 0) pulse_count_ = (pulse_count_ + count) % kPulseCycle;
}

void PulseView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  emit PulseWanted();
}

void PulseView::OwnPulse() {
  if (++pulse_count_ > 200) pulse_count_ = 0;
}

void PulseView::paintEvent(QPaintEvent*) {
  if (!isVisible()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bounds = rect();
  painter.fillRect(bounds, palette().color(QPalette::Window));
  painter.setPen(frame_color_);
  painter.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  painter.setPen(QColor(15, 15, 15));
  if (session_->Port() == nullptr) {
    // No blinking lamp for a receiver that is not there.
    painter.setPen(QColor(190, 20, 20));
    painter.drawText(bounds, Qt::AlignCenter, "no receiver");
    return;
  }
  painter.drawText(QPointF(4, bounds.height() - 6), QString::number(shown_number_));
  const ReceiverFlags& flags = session_->Flags();
  if (flags.receiving != 0 && (pulse_count_ & 1)) {
    const QColor lamp = flags.slow_down ? QColor(20, 150, 20) : QColor(250, 20, 20);
    const double side = bounds.height();
    const QRectF square = QRectF(bounds.right() - side, 0, side, side).adjusted(3, 3, -3, -3);
    painter.setBrush(lamp);
    painter.setPen(TintColor(lamp, 0.59));
    painter.drawRoundedRect(square, 7, 7, Qt::AbsoluteSize);
  }
}

void PulseView::SetRemoteDev(int32_t number) {
  if (number > 99) {
    Trace("oops (%d)RemoteDev..", number);
    remote_dev_ = 0;
    return;
  }
  remote_dev_ = number;
}

}  // namespace koru
