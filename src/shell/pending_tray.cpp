// DEVELOPMENT SCAFFOLD: removed when the tray layer lands.
#include "shell/TrayIcon.h"

#include <QSystemTrayIcon>

namespace zelkar {
TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}
TrayIcon::~TrayIcon() = default;
bool TrayIcon::available() const { qFatal("not built yet"); }
void TrayIcon::setAvailableForTests(int) { qFatal("not built yet"); }
void TrayIcon::Add(const QIcon&, const QString&) { qFatal("not built yet"); }
void TrayIcon::Remove() { qFatal("not built yet"); }
bool TrayIcon::shown() const { qFatal("not built yet"); }
void TrayIcon::ShowBalloon(const QString&, const QString&, int) { qFatal("not built yet"); }
}  // namespace zelkar
