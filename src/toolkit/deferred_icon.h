#pragma once
// An icon made when it is first drawn or measured. Reading an icon file makes Qt load and try
// every image plugin (GIF, ICO, JPEG and its library), a tenth of the main window's start-up;
// icons nobody looks at yet need not pay it before the window answers.
#include <QIcon>
#include <functional>

namespace koru {

QIcon DeferredIcon(std::function<QIcon()> make);

}  // namespace koru
