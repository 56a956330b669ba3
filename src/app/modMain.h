#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace zelkar::modMain {

// The program's start: toolkit set-up, the single-instance check, the main
// window. Returns the process's exit code.
int Main(int argc, char** argv);

// Opens the process's registry store. A file that is not a store is named in a
// critical box and left as it is; then false.
bool OpenStore();

// The running instance's answer to a later start: the main window to the front,
// back from the notification area or from minimised. False without a window.
bool BringToFront();

// The running instance's answer to a later start with a command line: the
// window to the front, then the command line acted on as at the window's own
// start, once the sender has been answered. False without a window.
bool TakeCommandLine(const QString& commandLine);

// The whole command line after the program's name, as one text.
QString JoinCommandLine(const QStringList& arguments);

// Places `w` centred over the main window (in the windows' own units).
void CenterForm(QWidget* w);

}  // namespace zelkar::modMain
