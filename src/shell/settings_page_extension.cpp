#include "shell/settings_page_extension.h"

namespace koru {

namespace {
SettingsPageExtension g_extension;  // GUI thread only
}

void SetSettingsPageExtension(SettingsPageExtension extension) {
  g_extension = std::move(extension);
}

void ExtendSettingsPage(QWidget* page) {
  if (g_extension) g_extension(page);
}

}  // namespace koru
