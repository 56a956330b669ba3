#include "backup/BackupFiles.h"

#include "store/Keywords.h"
#include "store/modRegEdit.h"

#include <QDir>
#include <QFileInfo>

namespace zelkar::backupfiles {
namespace {
const QString kDirValue = QStringLiteral("Dir");
}

QString ReadDir() {
  return modRegEdit::GetString(store::Hive::CurrentUser, kSettingsKey, kDirValue, QString());
}

QString DirOrHome() {
  const QString dir = ReadDir();
  return dir.isEmpty() ? QDir::homePath() : dir;
}

void SaveDir(const QString& path, const QString& fileTitle) {
  modRegEdit::SaveString(store::Hive::CurrentUser, kSettingsKey, kDirValue,
                         path.left(path.size() - fileTitle.size()));
}

QString FileTitle(const QString& path) { return QFileInfo(path).fileName(); }

QString DoesNotHandle(const QString& type) {
  QString text = QStringLiteral("Zelkar does not handle ") + type;
  if (!type.endsWith(QLatin1Char('s'), Qt::CaseInsensitive)) text += QLatin1Char('s');
  return text;
}

}  // namespace zelkar::backupfiles
