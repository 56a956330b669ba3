#include "launch/core/DetachedLaunchBackend.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace zelkar::launch {
namespace {

// The journal's stream socket, where systemd-cat hands a program's output.
constexpr const char* kJournalStream = "/run/systemd/journal/stdout";

}  // namespace

bool DetachedLaunchBackend::startDetached(const QString& program, const QStringList& arguments,
                                          const QString& workingDirectory) {
  QProcess process;
  // The started program outlives the command that started it: it neither reads
  // that terminal nor writes into it after the prompt has come back. What it
  // says goes to the user's journal, where there is one, else nowhere.
  const QString journal = QFileInfo(QString::fromLatin1(kJournalStream)).exists()
                              ? QStandardPaths::findExecutable(QStringLiteral("systemd-cat"))
                              : QString();
  if (journal.isEmpty()) {
    process.setProgram(program);
    process.setArguments(arguments);
  } else {
    process.setProgram(journal);
    process.setArguments(QStringList{QStringLiteral("--identifier=") + QFileInfo(program).fileName(),
                                     QStringLiteral("--")} +
                         QStringList{program} + arguments);
  }
  if (!workingDirectory.isEmpty()) process.setWorkingDirectory(workingDirectory);
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  return process.startDetached();
}

bool DetachedLaunchBackend::openUrl(const QUrl& url) {
  if (!url.isValid() || url.isEmpty()) return false;
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return false;
  return startDetached(opener, {url.toString(QUrl::FullyEncoded)}, QString());
}

}  // namespace zelkar::launch
