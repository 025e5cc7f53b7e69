#include "toolkit/deferred_icon_style.h"

#include <QPointer>

#include "toolkit/deferred_icon.h"

namespace koru {

DeferredIconStyle::DeferredIconStyle(const QString& key) : QProxyStyle(key) {}

QIcon DeferredIconStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                      const QWidget* widget) const {
  if (which != SP_ToolBarHorizontalExtensionButton && which != SP_ToolBarVerticalExtensionButton)
    return QProxyStyle::standardIcon(which, option, widget);
  QPointer<const DeferredIconStyle> self(this);
  return DeferredIcon([self, which] {
    return self != nullptr && self->baseStyle() != nullptr ? self->baseStyle()->standardIcon(which)
                                                           : QIcon();
  });
}

}  // namespace koru
