#include "tools/DesktopCommands.h"

#include "launch/core/DesktopSetup.h"
#include "launch/core/KeywordFolder.h"
#include "launch/core/KeywordOpen.h"
#include "store/RegistryStore.h"
#include "tools/Bookmarks.h"
#include "tools/PrintLine.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace zelkar::tools {
namespace {

using launch::DesktopFile;
using store::RegistryStore;

constexpr int kSuccess = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 64;

void Say(const QString& line) { PrintLine(stdout, line); }
int Fail(int code, const QString& message) {
  PrintLine(stderr, QStringLiteral("zelkar-open: ") + message);
  return code;
}

// zelkar-search, installed beside zelkar-open.
QString SearchProgram(const QString& program) {
  const QFileInfo search(QFileInfo(program).dir(), QStringLiteral("zelkar-search"));
  return search.isExecutable() ? search.absoluteFilePath() : QString();
}

// Writes one of our files; a file of that name that Zelkar did not write is kept.
bool Place(const DesktopFile& file) {
  if (QFileInfo::exists(file.path) && !launch::WrittenByZelkar(file.path)) {
    Fail(kFailed, QStringLiteral("%1 was not written by Zelkar; it is left as it is").arg(file.path));
    return false;
  }
  QDir().mkpath(QFileInfo(file.path).absolutePath());
  QSaveFile out(file.path);
  if (out.open(QIODevice::WriteOnly) && out.write(file.text) == file.text.size() && out.commit()) return true;
  Fail(kFailed, QStringLiteral("%1 could not be written: %2").arg(file.path, out.errorString()));
  return false;
}

void Unplace(const QString& path) {
  if (launch::WrittenByZelkar(path)) QFile::remove(path);
}

QString State(const QString& path) {
  if (!QFileInfo::exists(path)) return QStringLiteral("not in place (%1)").arg(path);
  return launch::WrittenByZelkar(path) ? QStringLiteral("in place (%1)").arg(path)
                                       : QStringLiteral("another file is there (%1)").arg(path);
}

bool OnPath(const QString& folder) {
  return qEnvironmentVariable("PATH").split(QLatin1Char(':')).contains(folder);
}

int Sync(const QString& program, bool quiet) {
  launch::FolderSync sync;
  if (!launch::SyncKeywordFolder(RegistryStore::current(), program, sync))
    return Fail(kFailed, QStringLiteral("the keyword folder %1 could not be written").arg(launch::KeywordFolderPath()));
  for (const launch::LeftOut& left : sync.leftOut)
    PrintLine(stderr, QStringLiteral("zelkar-open: left out %1: %2").arg(left.keyword, left.reason));
  if (!quiet)
    Say(QStringLiteral("%1: %2 added, %3 removed, %4 left out")
            .arg(launch::KeywordFolderPath())
            .arg(sync.added)
            .arg(sync.removed)
            .arg(sync.leftOut.size()));
  return kSuccess;
}

int TurnOn(const QString& program) {
  const QString folder = launch::KeywordFolderPath();
  if (const int status = Sync(program, true); status != kSuccess) return status;
  bool complete = Place(launch::EnvironmentFile(folder));
  const QString search = SearchProgram(program);
  if (search.isEmpty()) {
    Fail(kFailed, QStringLiteral("zelkar-search is not installed beside %1; KRunner is left out").arg(program));
    complete = false;
  } else {
    complete = Place(launch::KRunnerEntry()) && Place(launch::SearchServiceFile(search)) && complete;
  }
  Say(QStringLiteral("Keywords are commands in %1, at the end of PATH from the next login.").arg(folder));
  Say(QStringLiteral("In a terminal now: eval \"$(zelkar-open --shell-init bash)\" (or zsh, fish), "
                     "as in ~/.bashrc."));
  Say(QStringLiteral("GNOME's search needs the system install (share/gnome-shell/search-providers)."));
  return complete ? kSuccess : kFailed;
}

int TurnOff() {
  launch::RemoveKeywordFolder();
  Unplace(launch::EnvironmentFile(launch::KeywordFolderPath()).path);
  Unplace(launch::KRunnerEntry().path);
  Unplace(launch::SearchServiceFile(QString()).path);
  Say(QStringLiteral("Keywords are no longer commands outside Zelkar (from the next login)."));
  return kSuccess;
}

int Status() {
  const QString folder = launch::KeywordFolderPath();
  const std::optional<launch::FolderMark> mark = launch::ReadFolderMark(folder);
  const QString hive = RegistryStore::current().hiveFile(store::Hive::LocalMachine);
  if (!mark)
    Say(QStringLiteral("keyword folder: off (%1)").arg(folder));
  else if (mark->store != hive)
    Say(QStringLiteral("keyword folder: on for another store, %1 (%2)").arg(mark->store, folder));
  else
    Say(QStringLiteral("keyword folder: on (%1), links to %2").arg(folder, mark->program));
  Say(QStringLiteral("on this PATH: %1").arg(OnPath(folder) ? QStringLiteral("yes") : QStringLiteral("no")));
  Say(QStringLiteral("graphical sessions: %1").arg(State(launch::EnvironmentFile(folder).path)));
  Say(QStringLiteral("KRunner: %1").arg(State(launch::KRunnerEntry().path)));
  Say(QStringLiteral("search service: %1").arg(State(launch::SearchServiceFile(QString()).path)));
  return kSuccess;
}

}  // namespace

int SyncCommand(const QString& program) {
  if (!launch::ReadFolderMark(launch::KeywordFolderPath()))
    return Fail(kFailed, QStringLiteral("the keyword folder is off; zelkar-open --desktop on turns it on"));
  return Sync(program, false);
}

int DesktopCommand(const QString& action, const QString& program) {
  if (action == QLatin1String("on")) return TurnOn(program);
  if (action == QLatin1String("off")) return TurnOff();
  if (action == QLatin1String("status")) return Status();
  return Fail(kBadUsage, QStringLiteral("--desktop takes on, off or status, not '%1'").arg(action));
}

int BookmarksCommand(const QStringList& args) {
  const QByteArray file = BookmarkFile(launch::ListKeywords());
  if (args.isEmpty()) {
    std::fwrite(file.constData(), 1, static_cast<size_t>(file.size()), stdout);
    return kSuccess;
  }
  QSaveFile out(args.front());
  if (out.open(QIODevice::WriteOnly) && out.write(file) == file.size() && out.commit()) return kSuccess;
  return Fail(kFailed, QStringLiteral("%1 could not be written: %2").arg(args.front(), out.errorString()));
}

}  // namespace zelkar::tools
