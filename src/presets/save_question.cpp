#include "presets/save_question.h"

#include <QMessageBox>

namespace koru {

void SaveQuestion::Ask(QWidget* window, const QString& text, const Reply& reply) {
  last_text_ = text;
  ++asked_;
  if (next_answer_) {
    const Answer answer = *next_answer_;
    next_answer_.reset();
    reply(answer);
    return;
  }
  auto* box =
      new QMessageBox(QMessageBox::Question, "KORU", text,
                      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window);
  box->setObjectName("saveQuestion");
  box->setDefaultButton(QMessageBox::Save);
  box->setEscapeButton(QMessageBox::Cancel);
  box->setAttribute(Qt::WA_DeleteOnClose);
  pending_ = true;
  QObject::connect(box, &QMessageBox::finished, box, [this, box, reply](int) {
    pending_ = false;
    const QMessageBox::StandardButton button = box->standardButton(box->clickedButton());
    reply(button == QMessageBox::Save      ? Answer::kSave
          : button == QMessageBox::Discard ? Answer::kDiscard
                                           : Answer::kCancel);
  });
  box->open();
}

}  // namespace koru
