#pragma once

#include <QString>

// What the backup commands share: the file dialogs' filter, the remembered
// folder "Dir" and the words for a file the program does not handle.
namespace zelkar::backupfiles {

inline const QString kFilter = QStringLiteral("Zelkar Backup (*.zkb)|*.zkb");

// "Dir": the folder of the backup file last chosen in a dialog, "" when none.
QString ReadDir();
// The folder that holds the program file.
QString ProgramFolder();
// "Dir", or the program's own folder when none was chosen yet.
QString DirOrProgramFolder();
// Remembers the chosen file's folder: the path without its file title, so the
// trailing separator stays.
void SaveDir(const QString& path, const QString& fileTitle);
// The name of the file without its folder.
QString FileTitle(const QString& path);

// "Zelkar does not handle " + the type, in the plural unless it ends in "s".
QString DoesNotHandle(const QString& type);

}  // namespace zelkar::backupfiles
