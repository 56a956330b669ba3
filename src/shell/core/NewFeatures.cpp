#include "shell/core/NewFeatures.h"

#include "backup/core/BackupFormat.h"
#include "store/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace zelkar::newfeatures {
namespace {

const QString kSeparator =
    QStringLiteral("<-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=->");

struct Release {
  QString heading;
  QStringList items;
};

QList<Release> History() {
  const QString current = QStringLiteral("New Features for Zelkar (v%1.%2):")
                              .arg(backup::kVersionMajor)
                              .arg(backup::kVersionMinor);
  return {
      {current,
       {QStringLiteral("Keywords are now displayed with their associated icons"),
        QStringLiteral("The addition of a most recently used menu"),
        QStringLiteral("The ability to import/export keywords from/to backup files"),
        QStringLiteral("Clean Up menu item added, which deletes keywords with broken targets"),
        QStringLiteral("A more logical Delete All function, which now prompts you to backup first"),
        QStringLiteral("Faster keyword renaming by using treeview instead of seperate dialogue"),
        QStringLiteral("Inline AutoComplete feature added to keyword textbox"),
        QStringLiteral("Open Containing Folder menu item added"),
        QStringLiteral("Report Bug item added to Help menu"),
        QStringLiteral("Bug fixes")}},
      {QStringLiteral("v1.7:"),
       {QStringLiteral("Windows XP visual style"),
        QStringLiteral("Ability to drag files, directories, or shortcuts onto the target frame"),
        QStringLiteral("Load keyword backup files by dragging them onto the list of keywords"),
        QStringLiteral("Progress displayed when loading keywords"),
        QStringLiteral("Bug fixes")}},
      {QStringLiteral("v1.6:"),
       {QStringLiteral("The total number of keywords is now displayed in the window's title"),
        QStringLiteral("Ability to associate keywords with internet addresses (URLs)"),
        QStringLiteral("More user-friendly button configuration"),
        QStringLiteral("The addition of menus"),
        QStringLiteral("Hide list of keywords option (with sliding animation)"),
        QStringLiteral("Load and save your keyword lists"),
        QStringLiteral("Delete all keywords option"),
        QStringLiteral("Bug fixes")}},
      {QStringLiteral("v1.5:"),
       {QStringLiteral("Ability to associate keywords with directories"),
        QStringLiteral("Ability to execute keywords and internet addresses (URLs) from the execution command textbox"),
        QStringLiteral("Compact window height for higher desktop visibility"),
        QStringLiteral("Window position memory"),
        QStringLiteral("Minimizes to system tray"),
        QStringLiteral("Update option"),
        QStringLiteral("Many bug fixes")}},
      {QStringLiteral("v1.0:"),
       {QStringLiteral("Ability to run, rename, delete, save, and refresh keywords"),
        QStringLiteral("Conveniently adds the keyword 'Zelkar' when launched"),
        QStringLiteral("Close the program with the Esc key")}},
  };
}

QString FileIn(const QString& folder) { return QDir(folder).filePath(kFileName); }

// "Normal attributes": readable by all, writable by its owner, never
// executable. A new file is renamed into place: whatever was at the path (a
// link, a leftover of another owner, a hard link to someone's file) is
// replaced, never written through.
bool WriteAt(const QString& path) { return files::ReplaceFile(path, Content(), 0644); }

}  // namespace

QStringList Lines() {
  QStringList lines;
  bool first = true;
  for (const Release& release : History()) {
    if (first) {
      lines << QString() << release.heading << QString();
      first = false;
    } else {
      lines << QString() << kSeparator << QString() << release.heading << QString();
    }
    for (const QString& item : release.items) lines << QLatin1Char('\t') + item;
  }
  lines << QString() << kSeparator;
  return lines;
}

QByteArray Content() {
  QByteArray bytes;
  for (const QString& line : Lines()) {
    bytes += line.toUtf8();
    bytes += "\r\n";
  }
  return bytes;
}

QString CacheFolder() {
  QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  if (base.isEmpty()) base = QDir::home().filePath(QStringLiteral(".cache"));
  return QDir(base).filePath(QStringLiteral("zelkar"));
}

QString Write(const QString& programFolder) {
  if (!programFolder.isEmpty() && QFileInfo(programFolder).isWritable()) {
    const QString path = FileIn(programFolder);
    if (WriteAt(path)) return path;
  }
  const QString cache = CacheFolder();
  if (!files::MakeFolders(cache)) return QString();
  const QString path = FileIn(cache);
  return WriteAt(path) ? path : QString();
}

void RemoveLeftover(const QString& programFolder) {
  if (!programFolder.isEmpty()) QFile::remove(FileIn(programFolder));
  QFile::remove(FileIn(CacheFolder()));
}

}  // namespace zelkar::newfeatures
