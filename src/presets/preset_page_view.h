#pragma once
// A page of the preset editor that paints its name upwards along its left edge, centred, on
// its own background colour.
#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

namespace koru {

class PresetPageView : public QWidget {
  Q_OBJECT
 public:
  PresetPageView(const QString& name, const QColor& color, QWidget* parent = nullptr);

  const QString& Name() const { return name_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Children keep their left edge and stretch to 10 pixels from the right edge.
  void resizeEvent(QResizeEvent* event) override;

 private:
  QString name_;
  QFont font_;
};

}  // namespace koru
