#include "app/frmMain.h"

#include "app/core/Dialogs.h"
#include "backup/BackupFiles.h"
#include "store/PathHelpers.h"

namespace zelkar {

// The backup file type's two commands pass either the file's path alone (load)
// or the path followed by " -I" (import). The text is taken as it came: neither
// split into words nor stripped of quotes.
void frmMain::DoCommandLine() { ActOnCommandLine(CommandLine()); }

void frmMain::ActOnCommandLine(const QString& c) {
  // The desktop entry's Import action started with no file: the import dialog.
  if (c.trimmed().compare(QLatin1String("-I"), Qt::CaseInsensitive) == 0) {
    ImportList(QString());
    return;
  }
  const QString t = modMain::FileProperty(c, modMain::property::Type);
  if (t == QLatin1String("Zelkar Backup File")) {
    LoadList(c);
    return;
  }
  if (c.isEmpty()) return;
  if (c.right(7).toLower() == QLatin1String(".zkb -i")) {
    const QString f = c.left(c.size() - 3);
    if (MsgBox(QStringLiteral("Import keywords from '") + f + QStringLiteral("'?"),
               mb::YesNo | mb::Exclamation | mb::DefaultButton2, QStringLiteral("Import?")) == answer::Yes)
      ImportList(f);
    return;
  }
  MsgBox(backupfiles::DoesNotHandle(t), mb::Information, QStringLiteral("Zelkar"));
}

}  // namespace zelkar
