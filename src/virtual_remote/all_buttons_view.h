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
#include <filesystem>
#include <functional>
#include <string>

#include "platform/messaging/message.h"
#include "virtual_remote/button_table.h"

class QCheckBox;
class QMenu;

namespace koru {

class RemoteButtonView;
class MenuField;
class Prefs;

class AllButtonsView : public QWidget {
  Q_OBJECT
 public:
  // `settings` (may be null) gives the layout name and the dual-button mode; the layout files
  // are in `remote_folder`.
  AllButtonsView(const QRect& frame, const char* name, const Messenger& target,
                 const Prefs* settings, std::filesystem::path remote_folder,
                 QWidget* parent = nullptr);
  ~AllButtonsView() override;

  virtual void Highlight(long slot);
  virtual void FillWithAllPosButtons();
  virtual void LoadPositions();
  virtual void SavePositions();
  virtual void ScanLayoutFiles(QMenu* menu);
  virtual void GetDesRect();
  virtual void MarkRemotesButton(const Message* msg);

  RemoteButtonView* Button(int slot) const {
    return slot >= 0 && slot < kBoardSlots ? buttons_[slot] : nullptr;
  }
  void SetLayoutName(const std::string& name) { layout_name_ = name; }
  void SetShowGrid(bool show) { show_grid_ = show; }
  bool DualMode() const { return dual_mode_; }
  void SetDualMode(bool dual) { dual_mode_ = dual; }

  // Extents from the last GetDesRect: the used area (left, top 1) and the parking area's
  // right and bottom.
  QRect UsedArea() const { return used_area_; }
  QSize ParkingExtent() const { return parking_; }

  QCheckBox* GridBox() const { return grid_box_; }
  QCheckBox* DualBox() const { return dual_box_; }
  MenuField* LayoutField() const { return layout_field_; }
  QMenu* LayoutMenu() const { return layout_menu_; }

  // Where GetDesRect puts the window's size limits (minimum, maximum).
  void SetSizeLimitsHook(std::function<void(QSize, QSize)> hook) { size_limits_ = std::move(hook); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<RemoteButtonView*, kBoardSlots> buttons_{};
  const std::filesystem::path remote_folder_;
  std::string layout_name_ = "_LAYOUT_";
  bool show_grid_ = false;
  bool dual_mode_ = false;
  QRect used_area_{QPoint(1, 1), QPoint(30, 30)};
  QSize parking_;
  int lit_slot_ = 0;
  Messenger target_;
  QCheckBox* grid_box_ = nullptr;
  MenuField* layout_field_ = nullptr;
  QMenu* layout_menu_ = nullptr;
  QCheckBox* dual_box_ = nullptr;
  std::function<void(QSize, QSize)> size_limits_;
};

}  // namespace koru
