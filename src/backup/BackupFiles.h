#pragma once

#include <QString>

// What the backup commands share: the file dialogs' filter, the remembered
// folder "Dir" and the words for a file the program does not handle.
namespace zelkar::backupfiles {

inline const QString kFilter = QStringLiteral("Zelkar Backup (*.zkb)|*.zkb");

// "Dir": the folder of the backup file last chosen in a dialog, "" when none.
QString ReadDir();
// "Dir", or the user's home folder when none was chosen yet (never the
// program's own folder, which an installed program's user cannot write).
QString DirOrHome();
// Remembers the chosen file's folder: the path without its file title, so the
// trailing separator stays.
void SaveDir(const QString& path, const QString& fileTitle);
// The name of the file without its folder.
QString FileTitle(const QString& path);

// "Zelkar does not handle " + the type, in the plural unless it ends in "s".
QString DoesNotHandle(const QString& type);

}  // namespace zelkar::backupfiles
