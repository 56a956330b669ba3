#pragma once

#include <QIcon>
#include <QString>

#include <cstdint>

class QLabel;

namespace zelkar {

class TrayIcon;
class frmMain;

// The notification-area icon of the main window: add, remove, balloon, and the
// routing of the icon's three events to the window's handlers.
namespace modTray {

// Adds the icon (the picture of `pbTray`, tip "Zelkar") and routes its events
// to `window`.
void AddTrayIcon(TrayIcon& tray, const QLabel& pbTray, frmMain& window);
// Deletes the icon and stops routing its events.
void RemoveTrayIcon(TrayIcon& tray, frmMain& window);
// A balloon over the icon; IconKind 0 none, 1 information, 2 warning, 3 error.
void ShowTrayBalloon(TrayIcon& tray, const QString& Title, const QString& Text, std::int32_t IconKind);

// Left release opens the window, right release pops up the tray menu, a click
// on the balloon turns the reminder off for good.
void HookTray(TrayIcon& tray, frmMain& window);
void UnhookTray(TrayIcon& tray, frmMain& window);

// The program's picture: the one `pbTray` holds, else the application's icon,
// else the style's.
QIcon ProgramIcon(const QLabel& pbTray);

}  // namespace modTray
}  // namespace zelkar
