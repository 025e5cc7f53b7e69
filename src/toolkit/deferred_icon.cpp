#include "toolkit/deferred_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <memory>
#include <optional>

namespace koru {

namespace {

class DeferredIconEngine : public QIconEngine {
 public:
  explicit DeferredIconEngine(std::function<QIcon()> make)
      : state_(std::make_shared<State>(State{std::move(make), std::nullopt})) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Real().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Real().pixmap(size, mode, state);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    return Real().pixmap(size, scale, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Real().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Real().availableSizes(mode, state);
  }
  // Copies of the icon share what the first use made.
  QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

 private:
  struct State {
    std::function<QIcon()> make;
    std::optional<QIcon> real;
  };

  const QIcon& Real() {
    if (!state_->real) state_->real = state_->make ? state_->make() : QIcon();
    return *state_->real;
  }

  std::shared_ptr<State> state_;
};

}  // namespace

QIcon DeferredIcon(std::function<QIcon()> make) {
  return QIcon(new DeferredIconEngine(std::move(make)));
}

}  // namespace koru
