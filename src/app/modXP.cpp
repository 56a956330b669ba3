#include "app/modXP.h"

#include <QApplication>
#include <QIcon>

// Resources of a static library are registered by name, outside any namespace.
static void RegisterResources() { Q_INIT_RESOURCE(zelkar); }

namespace zelkar::modXP {

bool InitVisualStyles() {
  RegisterResources();
  // Desktops without a theme of their own still get the tree's and menus' icons.
  if (QIcon::themeName().isEmpty()) QIcon::setThemeName(QStringLiteral("hicolor"));
  if (QIcon::fallbackThemeName().isEmpty()) QIcon::setFallbackThemeName(QStringLiteral("hicolor"));

  QIcon icon;
  for (const char* size : {"16", "32", "48", "128"})
    icon.addFile(QStringLiteral(":/zelkar/zelkar-%1.png").arg(QLatin1String(size)));
  icon.addFile(QStringLiteral(":/zelkar/zelkar.svg"));
  if (icon.availableSizes().isEmpty()) return false;
  QApplication::setWindowIcon(icon);
  return true;
}

}  // namespace zelkar::modXP
