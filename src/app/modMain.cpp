#include "app/modMain.h"

#include "app/ProgramOptions.h"
#include "app/QtDialogs.h"
#include "app/SingleInstance.h"
#include "app/core/DesktopIntegration.h"
#include "app/frmMain.h"
#include "app/modXP.h"
#include "shell/TrayIcon.h"
#include "shell/frmAbout.h"
#include "store/RegistryStore.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace zelkar::modMain {

bool BringToFront() {
  frmMain* const form = frmMain::instance();
  if (!form) return false;
  if (!form->isVisible() && form->tray() && form->tray()->shown())
    form->SetTrayMode(false);
  else if (form->isMinimized())
    form->showNormal();
  else
    form->show();
  form->raise();
  form->activateWindow();
  return true;
}

bool TakeCommandLine(const QString& commandLine) {
  frmMain* const form = frmMain::instance();
  if (!form || !BringToFront()) return false;
  // The sender is answered first: it must not wait while the questions are open.
  QTimer::singleShot(0, form, [form, commandLine] { form->ActOnCommandLine(commandLine); });
  return true;
}

bool OpenStore() {
  try {
    store::RegistryStore::current();
    return true;
  } catch (const store::StoreError& e) {
    // The reason says in words whether the file is damaged, cannot be read,
    // is busy or found no room on the disk.
    MsgBox(QStringLiteral("The registry file \"") + e.file() + QStringLiteral("\" ") + e.reason() +
               QStringLiteral(".\r\n\r\nZelkar leaves the file as it is and does not start."),
           mb::Critical, QStringLiteral("Zelkar"));
    return false;
  }
}

int Main(int argc, char** argv) {
  if (const std::optional<int> answered = AnswerProgramOptions(argc, argv)) return *answered;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zelkar"));
  QApplication::setApplicationVersion(QStringLiteral("%1.%2").arg(ZELKAR_VERSION_MAJOR).arg(ZELKAR_VERSION_MINOR));
  // The Wayland app id and the X11 class ("Zelkar", the application's name)
  // match the desktop entry, so docks put the window under its icon.
  QGuiApplication::setDesktopFileName(QString::fromLatin1(desktop::kDesktopFileName));
  modXP::InitVisualStyles();

  QtDialogs dialogs;
  const Dialogs::Scope dialogsInstalled(dialogs);

  const QString commandLine = JoinCommandLine(QApplication::arguments().mid(1));
  SingleInstance instance(SingleInstance::ServerNameFor(store::StoreLocation::fromEnvironment().directory));
  if (!instance.claim()) {
    // A file opened while Zelkar runs goes to the running window.
    if (!commandLine.isEmpty() && instance.handOver(commandLine)) return 0;
    instance.yieldToFirst();
    return 0;
  }
  if (!OpenStore()) return 1;
  // The New Features text of the last run has surely been read by now.
  frmAbout::RemoveNewFeaturesLeftover();

  frmMain form(commandLine);
  instance.setActivationHandler(&BringToFront);
  instance.setCommandLineHandler(&TakeCommandLine);
  form.Form_Load();
  form.show();
  const int code = QApplication::exec();
  instance.setActivationHandler({});
  instance.setCommandLineHandler({});
  return code;
}

QString JoinCommandLine(const QStringList& arguments) { return arguments.join(QLatin1Char(' ')); }

void CenterForm(QWidget* w) {
  const frmMain* const main = frmMain::instance();
  if (!w || !main) return;
  const QRect outer = main->frameGeometry();
  const QSize size = w->frameGeometry().size();
  w->move(outer.left() + (outer.width() - size.width()) / 2, outer.top() + (outer.height() - size.height()) / 2);
}

}  // namespace zelkar::modMain
