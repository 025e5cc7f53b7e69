#pragma once
// The "Save changes?" question of a window with unsaved changes: Save, Discard or Cancel.
// It never blocks: the box is window-modal and the reply runs when the user answers. A test
// sets the next answer instead, and the reply then runs at once without showing anything.
//
//   question_.Ask(this, "Save changes to 'x'?", [this](SaveQuestion::Answer answer) { ... });
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace koru {

class SaveQuestion {
 public:
  enum class Answer { kSave, kDiscard, kCancel };
  using Reply = std::function<void(Answer)>;

  void Ask(QWidget* window, const QString& text, const Reply& reply);

  // True while a box waits for its answer (a second close must not ask again).
  bool Pending() const { return pending_; }

  // Tests: the next Ask answers `answer` at once.
  void SetNextAnswer(Answer answer) { next_answer_ = answer; }
  // The text of the last question asked (tests).
  const QString& LastText() const { return last_text_; }
  int AskedCount() const { return asked_; }

 private:
  std::optional<Answer> next_answer_;
  QString last_text_;
  int asked_ = 0;
  bool pending_ = false;
};

}  // namespace koru
