#pragma once
// The button board of the virtual remote: all 56 buttons in 72 slots (slot = key function - 51
// for the keys of a remote), the used area left of x = 235 that forms the remote the user sees,
// and the parking area right of it for the buttons the user does not want. The board loads and
// writes layout files, lists them in its layout menu, works out how large its window may be,
// lights the button of the key just received and marks the keys the shown remote was taught.
//
//   AllButtonsView board(rect, "possibleView", window_messenger, window);
//   board.FillWithAllPosButtons();   // default places, then the current layout file
//   board.GetDesRect();              // extents, controls, the window's size limits
//
// The controls and the buttons send their messages ('VRsg', 'VRdB', 'chLF', 'VR_U') to the
// messenger given at construction.
#include <QRect>
#include <QSize>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "platform/messaging/message.h"
#include "virtual_remote/button_table.h"

class RemoteButtonView;
class QCheckBox;
class QMenu;
class MenuField;
class Prefs;

class AllButtonsView : public QWidget {
  Q_OBJECT
 public:
  // `settings` (may be null) gives the layout name and the dual-button mode.
  AllButtonsView(const QRect& frame, const char* name, const Messenger& target,
                 const Prefs* settings, QWidget* parent = nullptr);
  ~AllButtonsView() override;

  virtual void Highlight(long slot);
  virtual void FillWithAllPosButtons();
  virtual void LoadPositions();
  virtual void SavePositions();
  virtual void ScanLayoutFiles(QMenu* menu);
  virtual void GetDesRect();
  virtual void MarkRemotesButton(const Message* msg);

  RemoteButtonView* Button(int slot) const {
    return slot >= 0 && slot < kBoardSlots ? fButtons[slot] : nullptr;
  }
  void SetLayoutName(const std::string& name) { fLayoutName = name; }
  void SetShowGrid(bool show) { fShowGrid = show; }
  bool DualMode() const { return fDualMode; }
  void SetDualMode(bool dual) { fDualMode = dual; }

  // Extents from the last GetDesRect: the used area (left, top 1) and the parking area's
  // right and bottom.
  QRect UsedArea() const { return fUsedArea; }
  QSize ParkingExtent() const { return fParking; }

  QCheckBox* GridBox() const { return fGridBox; }
  QCheckBox* DualBox() const { return fDualBox; }
  MenuField* LayoutField() const { return fLayoutField; }
  QMenu* LayoutMenu() const { return fLayoutMenu; }

  // Where GetDesRect puts the window's size limits (minimum, maximum).
  void SetSizeLimitsHook(std::function<void(QSize, QSize)> hook) { fSizeLimits = std::move(hook); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<RemoteButtonView*, kBoardSlots> fButtons{};
  std::string fLayoutName = "_LAYOUT_";
  bool fShowGrid = false;
  bool fDualMode = false;
  QRect fUsedArea{QPoint(1, 1), QPoint(30, 30)};
  QSize fParking;
  int fLitSlot = 0;
  Messenger fTarget;
  QCheckBox* fGridBox = nullptr;
  MenuField* fLayoutField = nullptr;
  QMenu* fLayoutMenu = nullptr;
  QCheckBox* fDualBox = nullptr;
  std::function<void(QSize, QSize)> fSizeLimits;
};
