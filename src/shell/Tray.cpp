#include "app/frmMain.h"

#include "shell/TrayIcon.h"
#include "shell/modTray.h"
#include "store/Keywords.h"
#include "store/modRegEdit.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>

namespace zelkar {

namespace modTray {

QIcon ProgramIcon(const QLabel& pbTray) {
  const QPixmap picture = pbTray.pixmap();
  if (!picture.isNull()) return QIcon(picture);
  const QIcon application = QApplication::windowIcon();
  if (!application.isNull()) return application;
  return pbTray.style()->standardIcon(QStyle::SP_ComputerIcon);
}

void HookTray(TrayIcon& tray, frmMain& window) {
  UnhookTray(tray, window);
  QObject::connect(&tray, &TrayIcon::LeftUp, &window, [&window] { window.mnuHTOpen_Click(); });
  QObject::connect(&tray, &TrayIcon::RightUp, &window,
                   [&window] { window.PopupMenu(window.mnuHT, window.mnuHTOpen); });
  QObject::connect(&tray, &TrayIcon::BalloonClick, &window, [] {
    modRegEdit::SaveDWord(store::Hive::CurrentUser, kSettingsKey, QStringLiteral("DSTR"), 1);
  });
}

void UnhookTray(TrayIcon& tray, frmMain& window) { QObject::disconnect(&tray, nullptr, &window, nullptr); }

void AddTrayIcon(TrayIcon& tray, const QLabel& pbTray, frmMain& window) {
  tray.Add(ProgramIcon(pbTray), QStringLiteral("Zelkar"));
  HookTray(tray, window);
}

void RemoveTrayIcon(TrayIcon& tray, frmMain& window) {
  tray.Remove();
  UnhookTray(tray, window);
}

void ShowTrayBalloon(TrayIcon& tray, const QString& Title, const QString& Text, std::int32_t IconKind) {
  tray.ShowBalloon(Title, Text, IconKind);
}

}  // namespace modTray

void frmMain::Form_Resize() {
  if (!(windowState() & Qt::WindowMinimized)) return;
  // Without a notification area the window stays minimised: hidden, nobody
  // could bring it back.
  if (!tray_->available()) return;
  SetTrayMode(true);
  if (modRegEdit::GetDWord(store::Hive::CurrentUser, kSettingsKey, QStringLiteral("DSTR"), 0) == 0)
    modTray::ShowTrayBalloon(*tray_, QStringLiteral("Reminder"),
                             QStringLiteral("Zelkar is still running in the background.\r\n"
                                            "Click here not to see this message again."),
                             1);
}

void frmMain::SetTrayMode(bool InTray) {
  if (InTray) {
    if (!tray_->available()) return;
    modTray::AddTrayIcon(*tray_, *pbTray, *this);
    hide();
  } else {
    modTray::RemoveTrayIcon(*tray_, *this);
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
    show();
    raise();
    activateWindow();
  }
}

void frmMain::mnuHTOpen_Click() { SetTrayMode(false); }

void frmMain::mnuHTNK_Click() {
  mnuHTOpen_Click();
  cmdClear_Click();
}

void frmMain::mnuHTNF_Click() { mnuHNF_Click(); }

void frmMain::mnuHTU_Click() { mnuHU_Click(); }

void frmMain::mnuHTA_Click() {
  mnuHTOpen_Click();
  mnuHA_Click();
}

void frmMain::mnuHTExit_Click() {
  SetTrayMode(false);
  close();
}

}  // namespace zelkar
