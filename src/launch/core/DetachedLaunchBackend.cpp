#include "launch/core/DetachedLaunchBackend.h"

#include <QProcess>
#include <QStandardPaths>

namespace zelkar::launch {

bool DetachedLaunchBackend::startDetached(const QString& program, const QStringList& arguments,
                                          const QString& workingDirectory) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  if (!workingDirectory.isEmpty()) process.setWorkingDirectory(workingDirectory);
  // The started program runs on its own and never reads the terminal it was
  // started from.
  process.setStandardInputFile(QProcess::nullDevice());
  return process.startDetached();
}

bool DetachedLaunchBackend::openUrl(const QUrl& url) {
  if (!url.isValid() || url.isEmpty()) return false;
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return false;
  return startDetached(opener, {url.toString(QUrl::FullyEncoded)}, QString());
}

}  // namespace zelkar::launch
