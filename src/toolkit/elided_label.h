#pragma once
// A label of a fixed size whose text may be longer than the label: it is drawn shortened in the
// middle ("NEC addr 0x…0x0C"), so both ends stay readable, and the whole text is its tool tip.
// text() is always the whole text.
#include <QLabel>

namespace koru {

class ElidedLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

  // True when the text does not fit and is drawn shortened.
  bool Elided() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
};

// `text` shortened in the middle to `width` pixels of `metrics`.
QString ElideMiddle(const QFontMetrics& metrics, const QString& text, int width);

}  // namespace koru
