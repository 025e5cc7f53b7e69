#pragma once
// The "Save changes?" question of a window with unsaved changes: Save, Discard or Cancel.
// It never blocks: the box is window-modal and the reply runs when the user answers. A test
// sets the next answer instead, and the reply then runs at once without showing anything.
//
//   fQuestion.Ask(this, "Save changes to 'x'?", [this](SaveQuestion::Answer answer) { ... });
#include <QString>
#include <functional>
#include <optional>

class QWidget;

class SaveQuestion {
 public:
  enum class Answer { kSave, kDiscard, kCancel };
  using Reply = std::function<void(Answer)>;

  void Ask(QWidget* window, const QString& text, const Reply& reply);

  // True while a box waits for its answer (a second close must not ask again).
  bool Pending() const { return fPending; }

  // Tests: the next Ask answers `answer` at once.
  void SetNextAnswer(Answer answer) { fNextAnswer = answer; }
  // The text of the last question asked (tests).
  const QString& LastText() const { return fLastText; }
  int AskedCount() const { return fAsked; }

 private:
  std::optional<Answer> fNextAnswer;
  QString fLastText;
  int fAsked = 0;
  bool fPending = false;
};
