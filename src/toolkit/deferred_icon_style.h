#pragma once
// The application's style with one change: the arrow of a menu bar too narrow for its menus is
// read from its image file when it is first drawn (DeferredIcon), not when the menu bar is
// made; a window wide enough for its menus never reads it.
#include <QProxyStyle>

namespace koru {

class DeferredIconStyle : public QProxyStyle {
 public:
  // A style like the one named `key` ("Fusion", the desktop's, what -style chose).
  explicit DeferredIconStyle(const QString& key);

  QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;
};

}  // namespace koru
