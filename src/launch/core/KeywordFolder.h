#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zelkar::store {
class RegistryStore;
}

namespace zelkar::launch {

// The keyword folder: one entry per keyword, named after it without ".exe" in
// lower case, a symbolic link to zelkar-open, which opens the keyword it is
// called by. Put at the end of PATH, it makes every keyword a command for the
// desktop's run dialogs and launchers. It is turned on by a mark file in it
// that names the store it follows and the zelkar-open its links point to.

// $XDG_DATA_HOME/zelkar/bin (~/.local/share/zelkar/bin).
QString KeywordFolderPath();

struct FolderMark {
  QString store;    // the machine hive file whose keywords the folder holds
  QString program;  // the zelkar-open the links point to
};
// The folder's mark; nothing while the folder is turned off.
std::optional<FolderMark> ReadFolderMark(const QString& folder);

// The entry name for a keyword subkey; empty when the keyword has none (no
// ".exe", a name zelkar-open refuses, or one that cannot be a file name), with
// the reason in `why`.
QString FolderEntryName(const QString& subkey, QString* why = nullptr);

struct LeftOut {
  QString keyword;
  QString reason;
};
struct FolderSync {
  int added = 0;
  int removed = 0;
  QList<LeftOut> leftOut;
};

// Turns the folder on for `store`, its links pointing to `program`, and makes
// it equal to the store's keywords: links added and removed by name, files
// Zelkar did not create left alone (and their keywords left out). False when
// the folder or its mark cannot be written.
bool SyncKeywordFolder(store::RegistryStore& store, const QString& program, FolderSync& sync);

// Turns the folder off: its links and its mark removed, the folder too when
// nothing else is left in it.
void RemoveKeywordFolder();

// Keeps the folder in step with the store's committed keyword writes while it
// is turned on for that store; costs one failed file open per write otherwise.
void FollowKeywordFolder(store::RegistryStore& store);

}  // namespace zelkar::launch
