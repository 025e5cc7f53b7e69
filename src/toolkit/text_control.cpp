#include "toolkit/text_control.h"

#include <QHBoxLayout>

namespace koru {

TextControl::TextControl(const QString& label, const QString& text, QWidget* parent)
    : QWidget(parent), label_(new QLabel(label, this)), edit_(new QLineEdit(text, this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(label_);
  layout->addWidget(edit_, 1);
}

}  // namespace koru
