#pragma once
// Small helpers for views: tool tips, recolouring controls, loading images, marking menu items,
// and the alert window.
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/messaging/message.h"

namespace koru {

void AddToolTip(QWidget* view, const char* text);

// A colour tinted as the classic scale does: above 1 darker, below 1 lighter.
QColor TintColor(const QColor& color, double tint);
// Gives a view a background colour of its own (window, base and button roles) and redraws it.
void SetViewColor(QWidget* view, const QColor& color);

// Gives the direct child controls (check boxes, string views, buttons, text controls, menu
// fields, boxes) the parent's background colour; other children and grandchildren stay as they
// are.
void ColorToChilds(QWidget* parent);

// The image in the file at `path`, or nullptr (unreadable file, or no reader for its format).
std::unique_ptr<QImage> GetImage(const char* path);

// Marks/unmarks and enables/disables one menu item found by message code (non-zero) or label;
// searches sub-menus. `text` is not used.
bool SetItemTo(QMenu* menu, uint32_t code, const char* label, bool enable, const char* text,
               bool mark);

// The key-down message '_KYD' of a key pressed in one of KORU's windows: "modifiers" (Control
// 0x04, Alt 0x4000) and "key", Qt's native scan code standing for the platform key code; the
// two system keys beside the space bar (the Super keys) are 102 and 103.
Message KeyDownMessage(const QKeyEvent& event);

// Shows AnyAlert texts as non-blocking message boxes on the GUI thread; `also` (when set) is
// given there the texts that came from other threads (the actions, watched programs), for the
// main window's log.
void InstallAlertPresenter(std::function<void(const std::string& text)> also = nullptr);

}  // namespace koru
