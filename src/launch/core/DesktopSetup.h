#pragma once

#include <QByteArray>
#include <QString>

namespace zelkar::launch {

// The search service's names on the session bus.
inline const QString kSearchBusName = QStringLiteral("example.orbrin.zelkar.Search");
inline const QString kSearchObjectPath = QStringLiteral("/example/orbrin/zelkar/Search");

// The per-user files that put keywords where the desktop starts things.
struct DesktopFile {
  QString path;
  QByteArray text;
};

// $XDG_CONFIG_HOME/environment.d: the keyword folder at the end of the graphical
// session's PATH, so that a real command is never hidden.
DesktopFile EnvironmentFile(const QString& keywordFolder);
// $XDG_DATA_HOME/krunner/dbusplugins: KRunner asks the search service.
DesktopFile KRunnerEntry();
// $XDG_DATA_HOME/dbus-1/services: the session bus starts `searchProgram` on demand.
DesktopFile SearchServiceFile(const QString& searchProgram);

// Whether the file at `path` is one of these, written by Zelkar (and so its to
// replace or remove).
bool WrittenByZelkar(const QString& path);

}  // namespace zelkar::launch
