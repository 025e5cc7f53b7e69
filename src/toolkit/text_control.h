#pragma once
// A label and a one-line text field side by side.
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace koru {

class TextControl : public QWidget {
  Q_OBJECT
 public:
  TextControl(const QString& label, const QString& text, QWidget* parent = nullptr);

  QLabel* Label() const { return label_; }
  QLineEdit* Edit() const { return edit_; }
  QString Text() const { return edit_->text(); }
  void SetText(const QString& text) { edit_->setText(text); }

 private:
  QLabel* label_;
  QLineEdit* edit_;
};

}  // namespace koru
