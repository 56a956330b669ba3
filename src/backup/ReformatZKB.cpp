#include "app/frmMain.h"

#include "app/core/Dialogs.h"
#include "backup/core/BackupFormat.h"

namespace zelkar {

// Converts an old-format backup file in place; when that fails the file stays as
// it was and the reason is shown.
void frmMain::ReformatZKB(const QString& path) {
  QString error;
  if (backup::ConvertOldFormat(path, &error)) return;
  if (error.isEmpty()) error = QStringLiteral("The file could not be converted: ") + path;
  MsgBox(error, mb::Critical, QStringLiteral("Error"));
}

}  // namespace zelkar
