#include "app/frmMain.h"

#include "app/core/Dialogs.h"
#include "backup/BackupFiles.h"
#include "backup/core/BackupFormat.h"
#include "backup/core/ProfileDocument.h"
#include "backup/core/modINI.h"
#include "list/TreeView.h"
#include "store/PathHelpers.h"

#include <QFile>
#include <QFileInfo>

#include <exception>
#include <functional>
#include <optional>
#include <vector>

namespace zelkar {
namespace {

using backup::kKeyCount;
using backup::kSectionCount;
using backup::kSectionKeywords;
using backup::kSectionTargets;
using modINI::WriteINI;

// The file a backup is written to: the target of a link, so that the link
// stays. Nothing when the name is taken by a folder, a device or the like,
// which a backup must never replace.
std::optional<QString> BackupFileFor(const QString& chosen) {
  QFileInfo info(chosen);
  QString file = chosen;
  if (info.isSymLink() && info.exists()) {
    file = info.canonicalFilePath();
    info = QFileInfo(file);
  }
  if (info.exists() && !info.isFile()) return std::nullopt;
  return file;
}

using Writer = std::function<void(const QString& file)>;

// Runs the writes on one parsed copy of `file`, written out whole in the end.
bool WriteWhole(const QString& file, const Writer& write) {
  modINI::Batch batch(file);
  write(file);
  return batch.flush() && batch.ok();
}

// Writes `file` from scratch. An existing file is replaced only by a complete
// new one, in one step and without a named work file that a killed run would
// leave behind; until then it stays as it was.
bool WriteFromScratch(const QString& file, const Writer& write) {
  modINI::Batch batch(file);
  modINI::AdoptSavedProfile(file, modINI::ProfileDocument());
  write(file);
  return batch.flush() && batch.ok();
}

void WriteVersion(const QString& file) {
  WriteINI(backup::kSectionZelkar, backup::kKeyVersion, backup::kVersionString, file);
}

// Whether Export writes the keyword at keyword node `node`.
bool Exported(const TreeView& tree, int node, bool all) { return all || tree.ForeColor(node) == colour::Blue; }

}  // namespace

bool frmMain::SaveList() {
  try {
    FileDialogRequest request;
    request.title = QStringLiteral("Save a backup of your keywords");
    request.filter = backupfiles::kFilter;
    request.initialDir = backupfiles::DirOrHome();
    request.fileName = QStringLiteral("Backup");
    request.overwritePrompt = true;
    const std::optional<QString> chosen = Dialogs::current().saveFile(request);
    if (!chosen || chosen->isEmpty()) return false;
    const QString path = *chosen;
    backupfiles::SaveDir(path, backupfiles::FileTitle(path));

    const std::optional<QString> file = BackupFileFor(path);
    if (!file) return false;
    const TreeView& tree = *tvw;
    const bool written = WriteFromScratch(*file, [&tree](const QString& f) {
      WriteVersion(f);
      int counter = 0;
      for (int i = 1; i <= tree.Count(); ++i) {
        const QString image = tree.Image(i);
        if (image != QLatin1String("key") && image != QLatin1String("path"))
          WriteINI(kSectionKeywords, QString::number(++counter), tree.Text(i), f);
      }
      counter = 0;
      for (int i = 1; i <= tree.Count(); ++i)
        if (tree.Image(i) == QLatin1String("path"))
          WriteINI(kSectionTargets, QString::number(++counter), tree.Text(i), f);
      WriteINI(kSectionCount, kKeyCount, QString::number(counter), f);
    });
    if (!written) return false;
    LoadMRU(path);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool frmMain::Export(bool AllKeywords) {
  try {
    if (!AllKeywords) {
      bool marked = false;
      for (int i = 2; i <= tvw->Count() && !marked; i += 2) marked = tvw->ForeColor(i) == colour::Blue;
      if (!marked) {
        MsgBox(QStringLiteral("You must first mark one or more keywords for exportation"), mb::Information,
               QStringLiteral("Export Marked"));
        return false;
      }
    }

    FileDialogRequest request;
    request.title = QStringLiteral("Export marked keywords to backup file...");
    request.filter = backupfiles::kFilter;
    request.initialDir = backupfiles::DirOrHome();
    request.fileName = QStringLiteral("Backup");
    request.overwritePrompt = false;
    const std::optional<QString> chosen = Dialogs::current().saveFile(request);
    if (!chosen || chosen->isEmpty()) return false;
    const QString path = *chosen;

    const std::optional<QString> file = BackupFileFor(path);
    if (!file) return false;
    // A hidden backup file is appended to all the same, never overwritten unasked.
    std::int32_t start = 0;
    if (FileExists(path) || QFileInfo(*file).isFile()) {
      const QString question = path + QStringLiteral(" already exists.") + QStringLiteral("\r\n") +
                               QStringLiteral("Any duplicate keywords will be overwritten. "
                                              "Would you like to continue anyway?");
      if (MsgBox(question, mb::YesNo | mb::Exclamation | mb::DefaultButton2,
                 QStringLiteral("Overwrite Duplicate Keywords?")) != answer::Yes)
        return false;
      const auto count = backup::ProfileCount(modINI::ReadINI(kSectionCount, kKeyCount, *file));
      if (!count) return false;
      start = *count;
    }
    backupfiles::SaveDir(path, backupfiles::FileTitle(path));

    // The marks go only once the file holds what they stood for.
    std::vector<int> written;
    const TreeView& tree = *tvw;
    const bool saved = WriteWhole(*file, [&](const QString& f) {
      WriteVersion(f);
      std::int64_t number = start;
      for (int i = 2; i <= tree.Count(); i += 2)
        if (Exported(tree, i, AllKeywords)) WriteINI(kSectionKeywords, QString::number(++number), tree.Text(i), f);
      number = start;
      for (int i = 3; i <= tree.Count(); i += 2) {
        const int keyword = tree.Parent(i);
        if (keyword == 0 || !Exported(tree, keyword, AllKeywords)) continue;
        WriteINI(kSectionTargets, QString::number(++number), tree.Text(i), f);
        written.push_back(keyword);
      }
      WriteINI(kSectionCount, kKeyCount, QString::number(number), f);
    });
    if (!saved) return false;
    for (const int keyword : written) tvw->SetForeColor(keyword, colour::Black);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace zelkar
