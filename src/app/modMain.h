#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace zelkar::modMain {

// The program's start: toolkit set-up, the single-instance check, the main
// window. Returns the process's exit code.
int Main(int argc, char** argv);

// The whole command line after the program's name, as one text.
QString JoinCommandLine(const QStringList& arguments);

// Places `w` centred over the main window (in the windows' own units).
void CenterForm(QWidget* w);

}  // namespace zelkar::modMain
