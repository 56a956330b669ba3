#include "app/frmMain.h"

#include "app/core/Dialogs.h"
#include "backup/BackupFiles.h"
#include "backup/core/BackupFormat.h"
#include "backup/core/UserFile.h"
#include "backup/core/modINI.h"
#include "store/Keywords.h"
#include "store/PathHelpers.h"
#include "store/RegistryStore.h"
#include "store/modRegEdit.h"

#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

namespace zelkar {
namespace {

using backup::kCurrentFormat;

enum class Mode { Load, Import };

struct Entry {
  QString keyword;
  QString target;
};

std::optional<std::int16_t> FileVersion(const QString& path) {
  return backup::ProfileNumber(modINI::ReadINI(backup::kSectionZelkar, backup::kKeyVersion, path));
}

// Every entry with both parts, in the order of their numbers; nothing when the
// count cannot be read (then `countText` holds it). The file is parsed once for
// all of them.
std::optional<std::vector<Entry>> ReadEntries(const QString& path, QString& countText) {
  modINI::Batch batch(path);
  countText = modINI::ReadINI(backup::kSectionCount, backup::kKeyCount, path);
  const auto count = backup::ProfileCount(countText);
  if (!count) return std::nullopt;
  // Numbers past the last entry of the file hold nothing; a count far beyond
  // them costs no time.
  const qint64 last = std::min<qint64>(*count, modINI::HighestNumberedKey(backup::kSectionKeywords, path));
  std::vector<Entry> entries;
  if (last > 0) entries.reserve(std::size_t(last));
  for (qint64 i = 1; i <= last; ++i) {
    const QString number = QString::number(i);
    Entry entry{modINI::ReadINI(backup::kSectionKeywords, number, path),
                modINI::ReadINI(backup::kSectionTargets, number, path)};
    if (!entry.keyword.isEmpty() && !entry.target.isEmpty()) entries.push_back(std::move(entry));
  }
  return entries;
}

QString FormatErrorText(const QString& fileTitle) {
  const QString crlf = QStringLiteral("\r\n");
  const QString version = QString::number(backup::kVersionMajor) + QLatin1Char('.') +
                          QString::number(backup::kVersionMinor);
  return fileTitle + QStringLiteral(" was written in a lower version of Zelkar and cannot be read unless") + crlf +
         QStringLiteral("reformatted for this version (v") + version + QStringLiteral(").") + crlf + crlf +
         QStringLiteral("Would you like to reformat?") + crlf + crlf +
         QStringLiteral("Note: Once reformatted, only Zelkar v") + version +
         QStringLiteral(" and up will be able to read the file.");
}

// True when the file is of the current format, after converting an old one if
// the user wants that. A conversion that failed has shown its own message.
bool EnsureCurrentFormat(frmMain& form, const QString& path, const QString& fileTitle) {
  const auto version = FileVersion(path);
  if (!version) return false;
  if (*version >= kCurrentFormat) return true;
  if (MsgBox(FormatErrorText(fileTitle), mb::YesNo | mb::Critical, QStringLiteral("Format Error")) != answer::Yes)
    return false;
  form.ReformatZKB(path);
  const auto converted = FileVersion(path);
  return converted && *converted >= kCurrentFormat;
}

// Registers the entries, replacing the tree's keywords first when loading. All
// of it is one transaction: on any failure the keywords stay as they were.
bool Register(frmMain& form, const std::vector<Entry>& entries, Mode mode) {
  store::RegistryStore& store = store::RegistryStore::current();
  store::RegistryStore::Transaction transaction(store, store::Hive::LocalMachine);
  if (!transaction.active()) return false;
  if (mode == Mode::Load) form.DeleteKeywords();
  // A refused write is silent towards SaveKeyword's caller; the store counts it.
  const std::uint64_t failedBefore = store.failedWrites();
  for (const Entry& entry : entries)
    if (!form.SaveKeyword(entry.keyword, entry.target, false) || store.failedWrites() != failedBefore) return false;
  return transaction.commit();
}

bool BringIn(frmMain& form, const QString& FileName, Mode mode) {
  try {
    const bool fromDialog = FileName.isEmpty();
    QString path;
    QString fileTitle;
    if (!fromDialog) {
      path = FileName;
      fileTitle = modMain::FileProperty(path, modMain::property::Name);
    } else {
      FileDialogRequest request;
      request.title = mode == Mode::Load ? QStringLiteral("Open a backup list of keywords")
                                         : QStringLiteral("Import keywords from backup file");
      request.filter = backupfiles::kFilter;
      request.initialDir = backupfiles::DirOrHome();
      const std::optional<QString> chosen = Dialogs::current().openFile(request);
      if (!chosen || chosen->isEmpty()) return false;
      path = *chosen;
      fileTitle = backupfiles::FileTitle(path);
    }

    if (mode == Mode::Load &&
        MsgBox(QStringLiteral("Load and save keywords from '") + path + QStringLiteral("'?"),
               mb::YesNo | mb::Exclamation | mb::DefaultButton2,
               QStringLiteral("Load '") + path + QStringLiteral("'?")) != answer::Yes)
      return false;

    // A pipe, a device or a huge file is no backup file, and no conversion
    // would make it one.
    if (const UserFile examined = ExamineUserFile(path, kBackupFileLimit);
        examined.status == UserFile::NotRegular || examined.status == UserFile::TooLarge) {
      MsgBox(QStringLiteral("Zelkar cannot %1 '%2':\r\n%3.")
                 .arg(mode == Mode::Load ? QStringLiteral("load") : QStringLiteral("import"), path, examined.problem),
             mb::Critical, QStringLiteral("Error"));
      return false;
    }
    if (!EnsureCurrentFormat(form, path, fileTitle)) return false;
    if (fromDialog) backupfiles::SaveDir(path, fileTitle);

    // Everything is read and checked before a single keyword changes.
    QString countText;
    const std::optional<std::vector<Entry>> entries = ReadEntries(path, countText);
    if (!entries) {
      MsgBox(QStringLiteral("Zelkar cannot %1 '%2':\r\nits count of keywords (%3) lies beyond what Zelkar can "
                            "read (2147483647).")
                 .arg(mode == Mode::Load ? QStringLiteral("load") : QStringLiteral("import"), path, countText),
             mb::Critical, QStringLiteral("Error"));
      return false;
    }
    if (!Register(form, *entries, mode)) return false;

    if (mode == Mode::Load) form.LoadMRU(path);
    form.LoadTVW(false);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool frmMain::LoadList(const QString& FileName) { return BringIn(*this, FileName, Mode::Load); }

bool frmMain::ImportList(const QString& FileName) { return BringIn(*this, FileName, Mode::Import); }

void frmMain::tvw_OLEDragDrop(const QMimeData* Data) {
  if (Data == nullptr || !Data->hasUrls()) return;
  const QList<QUrl> urls = Data->urls();
  if (urls.isEmpty() || !urls.front().isLocalFile()) return;
  const QString path = urls.front().toLocalFile();
  if (path.isEmpty()) return;
  if (path.right(4).toLower() == QLatin1String(".zkb")) {
    LoadList(path);
  } else if (HasExt(path)) {
    MsgBox(backupfiles::DoesNotHandle(modMain::FileProperty(path, modMain::property::Type)), mb::Information,
           QStringLiteral("Zelkar"));
  } else {
    MsgBox(QStringLiteral("Zelkar cannot load directories"), mb::Information, QStringLiteral("Zelkar"));
  }
}

}  // namespace zelkar
